#pragma once

#include <QString>
#include <Qt>

namespace montera {

// Which window system delivered a key event: the native codes mean different
// things on each.
enum class KeySource { Windows, X11, Other };

KeySource keySourceForPlatform(const QString& platformName);

// The Windows virtual-key code the show judges answers by: 49 to 57 and 48
// for the digit keys of the main keyboard, 96 to 105 for the keypad digits.
// The physical key counts, not the character it types, so that a held Shift
// or another keyboard layout does not change the answer. Keys other than
// digits give 0.
int windowsKeyCode(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode,
                   quint32 nativeVirtualKey, KeySource source);

} // namespace montera
