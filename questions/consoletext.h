#pragma once

#include <QByteArrayView>

// Text for the user on standard output or standard error. Our text is UTF-8;
// each system shows it in its own way (consoletext_posix.cpp,
// consoletext_windows.cpp).
namespace montera {

enum class ConsoleStream {
    Out,
    Error,
};

// Writes UTF-8 text to the stream. On a Windows console the text goes through
// the console's wide-character interface, so that Japanese shows whatever the
// console's code page; a pipe or a file gets the UTF-8 bytes as they are.
void writeConsoleText(ConsoleStream stream, QByteArrayView utf8);

} // namespace montera
