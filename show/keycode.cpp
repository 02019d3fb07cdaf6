#include "keycode.h"

namespace montera {

KeySource keySourceForPlatform(const QString& platformName)
{
    if (platformName == u"windows")
        return KeySource::Windows;
    if (platformName == u"xcb")
        return KeySource::X11;
    return KeySource::Other;
}

int windowsKeyCode(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode,
                   quint32 nativeVirtualKey, KeySource source)
{
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    switch (source) {
    case KeySource::Windows:
        // Windows hands over the virtual-key code itself.
        if ((nativeVirtualKey >= 0x30 && nativeVirtualKey <= 0x39) ||
            (nativeVirtualKey >= 0x60 && nativeVirtualKey <= 0x69))
            return static_cast<int>(nativeVirtualKey);
        return 0;
    case KeySource::X11:
        // X keycodes 10 to 19 are the main keyboard's 1 to 9 and 0, whatever
        // the layout and the Shift state make them type.
        if (!keypad && nativeScanCode >= 10 && nativeScanCode <= 19)
            return nativeScanCode == 19 ? 48 : static_cast<int>(nativeScanCode) + 39;
        break;
    case KeySource::Other:
        break;
    }
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return keypad ? 96 + (qtKey - Qt::Key_0) : qtKey;
    return 0;
}

} // namespace montera
