// The QIZ reader on any content, split into lines as ReadTextLines does.

#include "fuzzutil.h"
#include "readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QStringList lines = fuzzutil::fileLines(fuzzutil::view(data, size));
    lines << QString();
    const int result = montera::ReadQIZ(fuzzutil::bank(), lines);
    fuzzutil::checkBank(result);
    // The reader writes no entry past the last question it counts.
    fuzzutil::clearEntries(fuzzutil::bank(), result);
    return 0;
}
