// The QIZ reader on any content, split into lines as ReadTextLines does.

#include "fuzzutil.h"
#include "readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QStringList lines = fuzzutil::fileLines(fuzzutil::view(data, size));
    lines << QString();
    const int result = montera::ReadQIZ(fuzzutil::bank(), lines);
    fuzzutil::checkBank(result);
    fuzzutil::bank().clear();
    return 0;
}
