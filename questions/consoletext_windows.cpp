#include "consoletext.h"

#include <QString>

#include <cstdio>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace montera {

void writeConsoleText(ConsoleStream stream, QByteArrayView utf8)
{
    FILE* file = stream == ConsoleStream::Out ? stdout : stderr;
    const HANDLE handle = GetStdHandle(stream == ConsoleStream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    // A console shows bytes in its own code page, which is seldom UTF-8: it
    // gets wide characters instead. Anything else gets the UTF-8 bytes.
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode)) {
        std::fflush(file);
        const QString text = QString::fromUtf8(utf8);
        const auto* wide = reinterpret_cast<const wchar_t*>(text.utf16());
        qsizetype left = text.size();
        while (left > 0) {
            // Consoles refuse very long writes; 8 K characters at a time.
            const DWORD chunk = static_cast<DWORD>(std::min<qsizetype>(left, 8192));
            DWORD written = 0;
            if (!WriteConsoleW(handle, wide, chunk, &written, nullptr) || written == 0)
                break;
            wide += written;
            left -= written;
        }
        return;
    }
    std::fwrite(utf8.data(), 1, static_cast<size_t>(utf8.size()), file);
}

} // namespace montera
