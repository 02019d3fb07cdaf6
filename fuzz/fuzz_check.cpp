// `montera-sets check` on any file: the first byte picks the format. Besides
// not crashing, its verdict must match the loader's: an error finding exactly
// when the set does not load, or when a text set is UTF-16, which the loader
// reads as noise.

#include "check.h"
#include "fuzzutil.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString name = fuzzutil::writeSetFile(data, size);
    if (name.isEmpty())
        return 0;
    const montera::check::Report report = montera::check::checkFile(name);
    const bool hasError =
        std::any_of(report.findings.begin(), report.findings.end(),
                    [](const auto& finding) { return finding.severity == montera::Severity::Error; });
    QFile file(name);
    const bool utf16 =
        file.open(QIODevice::ReadOnly) && montera::startsWithUtf16Bom(file.read(2)) && !name.endsWith(u"5tq");
    if (hasError != (report.outcome != montera::LoadOutcome::Ok || utf16))
        std::abort();
    if (montera::check::formatText(report).isEmpty() || montera::check::formatJson({report}).isEmpty())
        std::abort();
    return 0;
}
