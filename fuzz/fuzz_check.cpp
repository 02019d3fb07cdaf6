// `montera-sets check` on any file: the first byte picks the format. Besides
// not crashing, its verdict must match the loader's: an error finding exactly
// when the set does not load.

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
                    [](const auto& finding) { return finding.severity == montera::check::Severity::Error; });
    if (hasError == (report.outcome == montera::LoadOutcome::Ok))
        std::abort();
    if (montera::check::formatText(report).isEmpty() || montera::check::formatJson({report}).isEmpty())
        std::abort();
    return 0;
}
