#include "consoletext.h"

#include <cstdio>

namespace montera {

void writeConsoleText(ConsoleStream stream, QByteArrayView utf8)
{
    std::fwrite(utf8.data(), 1, static_cast<size_t>(utf8.size()),
                stream == ConsoleStream::Out ? stdout : stderr);
}

} // namespace montera
