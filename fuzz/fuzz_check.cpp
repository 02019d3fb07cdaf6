// `montera-sets check` on any file: the first byte picks the format. Besides
// not crashing, its verdict must match the loader's: an error finding exactly
// when the set does not load.

#include "check.h"
#include "fuzzutil.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    static const QString names[] = {dir.filePath("set.qiz"), dir.filePath("set.5tx"),
                                    dir.filePath("set.5tq")};
    if (size == 0)
        return 0;
    const QString& name = names[data[0] % 3];
    {
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        file.write(reinterpret_cast<const char*>(data + 1), static_cast<qint64>(size - 1));
    }
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
