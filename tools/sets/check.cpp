#include "check.h"

#include "codec932.h"
#include "fileutil.h"
#include "json.h"
#include "read5tq.h"
#include "textfit.h"

#include <QFile>

#include <algorithm>
#include <bit>
#include <memory>
#include <optional>
#include <set>

namespace montera::check {

namespace {

// Beyond this many, byte-level findings of one file are summed up in one line.
constexpr int kMaxByteFindings = 20;

QString hex(qint64 value, int digits = 2)
{
    return QStringLiteral("0x%1").arg(value, digits, 16, QChar(u'0')).toUpper().replace(u'X', u'x');
}

class Collector {
public:
    explicit Collector(Report& report)
        : m_report(report)
    {}

    void atLine(Severity severity, int line, const QString& message)
    {
        m_report.findings.push_back({severity, line, -1, message});
    }

    void atOffset(Severity severity, qint64 offset, const QString& message)
    {
        m_report.findings.push_back({severity, 0, offset, message});
    }

    void file(Severity severity, const QString& message)
    {
        m_report.findings.push_back({severity, 0, -1, message});
    }

    // Bytes that are no character of the encoding (each decodes to a stand-in
    // character), one finding per run of them. The note, if any, is added to
    // the message of a run that ends the bytes.
    void invalidBytes(QByteArrayView bytes, qint64 fileOffset, int line, const QString& noteAtEnd = QString())
    {
        qsizetype runStart = -1;
        qsizetype runEnd = -1;
        const auto flush = [&] {
            if (runStart < 0)
                return;
            const qsizetype length = runEnd - runStart;
            QString shownBytes;
            for (qsizetype k = 0; k < std::min<qsizetype>(length, 4); ++k)
                shownBytes += (k > 0 ? QStringLiteral(" ") : QString()) +
                              hex(static_cast<unsigned char>(bytes[runStart + k]));
            if (length > 4)
                shownBytes += QStringLiteral(" ... (%1 bytes)").arg(length);
            const bool plural = length > 1;
            const QString what = m_encoding == TextEncoding::Utf8
                                     ? QStringLiteral("not UTF-8")
                                     : QStringLiteral("no code page 932 character") + (plural ? "s" : "");
            QString message = QStringLiteral("byte%1 %2 at offset %3 %4 %5")
                                  .arg(plural ? QStringLiteral("s") : QString(), shownBytes)
                                  .arg(fileOffset + runStart)
                                  .arg(plural ? QStringLiteral("are") : QStringLiteral("is"), what);
            if (runEnd == bytes.size() && !noteAtEnd.isEmpty())
                message += QStringLiteral(" (") + noteAtEnd + u')';
            const qint64 at = fileOffset + runStart;
            runStart = -1;
            if (++m_byteFindings > kMaxByteFindings)
                return;
            if (line > 0)
                atLine(Severity::Warning, line, message);
            else
                atOffset(Severity::Warning, at, message);
        };
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            qsizetype length = 0;
            if (m_encoding == TextEncoding::Utf8) {
                // A byte that starts no well-formed sequence is not UTF-8.
                const int sequence = utf8SequenceLength(bytes.sliced(i));
                if (sequence > 0)
                    i += sequence - 1;
                else
                    length = 1;
            } else if (cp932::isLeadByte(byte)) {
                const bool paired = i + 1 < bytes.size() &&
                                    cp932::pairToUnicode(byte, static_cast<unsigned char>(bytes[i + 1])) != 0;
                length = paired ? 0 : (i + 1 < bytes.size() ? 2 : 1);
                if (paired)
                    ++i;
            } else if (byte == 0x80 || byte == 0xA0 || byte >= 0xFD) {
                length = 1;
            }
            if (length == 0) {
                flush();
                continue;
            }
            if (runStart < 0)
                runStart = i;
            runEnd = i + length;
            i += length - 1;
        }
        flush();
    }

    void finish()
    {
        if (m_byteFindings > kMaxByteFindings)
            file(Severity::Warning,
                 QStringLiteral("%1 more runs of bytes that are %2")
                     .arg(m_byteFindings - kMaxByteFindings)
                     .arg(m_encoding == TextEncoding::Utf8 ? QStringLiteral("not UTF-8")
                                                           : QStringLiteral("no code page 932 character")));
    }

    // The encoding that the byte scan checks against.
    void setEncoding(TextEncoding encoding) { m_encoding = encoding; }

private:
    Report& m_report;
    int m_byteFindings = 0;
    TextEncoding m_encoding = TextEncoding::Cp932;
};

// The bytes of each line of a text set, checked against the encoding it was
// read with. A file read as code page 932 that is also UTF-8 was most likely
// saved as UTF-8 without the mark that tells it apart.
void checkTextBytes(Collector& out, QByteArrayView bytes, TextEncoding encoding)
{
    const TextLayout layout = textLayoutOf(bytes);
    out.setEncoding(encoding);
    if (encoding == TextEncoding::Cp932 && hasNonAscii(bytes) && isWellFormedUtf8(bytes))
        out.file(Severity::Warning, QStringLiteral("the file was read as code page 932 but is also UTF-8: "
                                                   "if this file was saved as UTF-8, save it with a BOM "
                                                   "(UTF-8 with signature)"));
    int lineNumber = 0;
    forEachLine(layout.body, layout.lineBreak, [&](QByteArrayView line) {
        out.invalidBytes(line, line.data() - bytes.data(), ++lineNumber);
    });
}

// What the loaded questions of a QIZ set lack: choices are given by tag, so
// any of them may be missing, repeated, or the one the answer names.
void checkQizContent(Collector& out, const QuestionBank& bank, const LoadReport& load)
{
    for (int q = 0; q <= bank.LastQuestion && q < int(load.questionStarts.size()); ++q) {
        const int line = int(load.questionStarts[q]);
        const auto& choices = bank.Choices[q];
        const auto given =
            std::count_if(choices.begin(), choices.end(), [](const QString& c) { return !c.isEmpty(); });
        if (given < kChoiceCount)
            out.atLine(Severity::Warning, line,
                       QStringLiteral("question %1 has %2 of 5 choices; the others are empty")
                           .arg(q + 1)
                           .arg(given));
        const int answer = bank.AnswerIndex[q];
        if (answer >= 0 && answer < kChoiceCount && choices[answer].isEmpty() && given > 0)
            out.atLine(
                Severity::Warning, line,
                QStringLiteral("the correct choice %1 of question %2 is empty").arg(answer + 1).arg(q + 1));
        for (int a = 0; a < kChoiceCount; ++a) {
            for (int b = a + 1; b < kChoiceCount; ++b) {
                if (!choices[a].isEmpty() && choices[a] == choices[b])
                    out.atLine(Severity::Warning, line,
                               QStringLiteral("choices %1 and %2 of question %3 are the same: %4")
                                   .arg(a + 1)
                                   .arg(b + 1)
                                   .arg(q + 1)
                                   .arg(quotedForMessage(choices[a])));
            }
        }
    }
}

void check5tq(Collector& out, const QByteArray& raw)
{
    if (raw.size() > kBinaryBufferSize)
        out.atOffset(Severity::Warning, kBinaryBufferSize,
                     QStringLiteral("the file has %1 bytes; only its first 640001 are read").arg(raw.size()));
    // The headers are read whole, zeros after a shorter file; a block is
    // looked at only where the file has it.
    QByteArray bytes = raw.first(std::min<qsizetype>(raw.size(), kBinaryBufferSize));
    if (bytes.size() < kSectionCount * kBlockSize)
        bytes.resize(kSectionCount * kBlockSize, '\0');

    struct Range {
        int section = 0;
        int first = 0;
        int last = 0;
    };
    std::vector<Range> ranges;
    std::set<int> checkedBlocks;
    for (int s = 0; s < kSectionCount; ++s) {
        const qint64 o = qint64(s) * kBlockSize;
        const QString section = QStringLiteral("section %1: ").arg(s + 1);
        if (o + kBlockSize > raw.size())
            out.atOffset(Severity::Warning, o,
                         section + QStringLiteral("the header lies beyond the end of the file "
                                                  "and is read as zero bytes"));
        out.invalidBytes(QByteArrayView(bytes).sliced(o, kSectionNameSize), o, 0);
        out.invalidBytes(QByteArrayView(bytes).sliced(o + kSetNameOffset, kSetNameSize + kExtraTextSize),
                         o + kSetNameOffset, 0);
        // Faults of the header itself are the reader's to report.
        const std::optional<SectionHeader> header = GetSectionHeader(bytes, o);
        if (!header || header->Count == 0)
            continue;
        const int first = header->FirstBlock;
        const int last = first + header->Count - 1;
        const QString blocks = QStringLiteral("blocks %1 to %2").arg(first).arg(last);
        if (first < kSectionCount)
            out.atOffset(Severity::Warning, o + kFirstBlockOffset,
                         section + blocks + QStringLiteral(" overlap the headers (blocks 0 to 7)"));
        for (const Range& other : ranges) {
            if (first <= other.last && other.first <= last)
                out.atOffset(Severity::Warning, o + kFirstBlockOffset,
                             section + blocks +
                                 QStringLiteral(" overlap section %1's blocks %2 to %3")
                                     .arg(other.section + 1)
                                     .arg(other.first)
                                     .arg(other.last));
        }
        ranges.push_back({s, first, last});
        const qint64 fileBlocks = raw.size() / kBlockSize;
        if (qint64(last) >= fileBlocks && qint64(first) * kBlockSize < kLastReadableOffset)
            out.atOffset(Severity::Warning, o + kFirstBlockOffset,
                         section +
                             QStringLiteral("blocks %1 to %2 lie beyond the end of the file and are read as "
                                            "zero bytes")
                                 .arg(std::max<qint64>(first, fileBlocks))
                                 .arg(last));
        for (int k = 0; k < header->Count; ++k) {
            const int block = first + k;
            const qint64 start = qint64(block) * kBlockSize;
            if (start + kBlockSize - 1 > kLastReadableOffset)
                break;
            // Blocks beyond the end of the file were reported above; a block that
            // two sections share is looked at once.
            if (start + kBlockSize > raw.size() || !checkedBlocks.insert(block).second)
                continue;
            QByteArray block256 = bytes.sliced(start, kBlockSize);
            block256.append('\0');
            for (int field = 0; field <= kChoiceCount; ++field) {
                const int from = field == 0 ? 0 : choiceOffset(field - 1);
                const int size = field == 0 ? kTextSize : kChoiceSize;
                const QByteArray taken = GetMaskedBytes(block256, from, size);
                if (field == 0 && taken.isEmpty())
                    out.atOffset(Severity::Warning, start,
                                 section + QStringLiteral("question %1 has an empty text").arg(k + 1));
                // A last character whose second byte unmasks to 0xA0 forms the
                // end mark with the blank after it and loses that byte.
                const bool cut = taken.size() < size && !taken.isEmpty() &&
                                 cp932::isLeadByte(static_cast<unsigned char>(taken.back()));
                out.invalidBytes(
                    taken, start + from, 0,
                    cut ? QStringLiteral("the last character's second byte is stored as 0x20 and ends "
                                         "the text together with the blank after it")
                        : QString());
            }
        }
    }
}

} // namespace

namespace {

enum class Position { Line, Offset };

// What the show cannot draw whole: a question taller than its box, a choice
// wider than its line or broken over two.
void checkFit(Collector& out, const QuestionBank& bank, const LoadReport& load, Position position)
{
    for (int q = 0; q <= bank.LastQuestion; ++q) {
        const qint64 start = size_t(q) < load.questionStarts.size() ? load.questionStarts[size_t(q)] : 0;
        const auto warn = [&](const QString& message) {
            if (position == Position::Offset)
                out.atOffset(Severity::Warning, start, message);
            else
                out.atLine(Severity::Warning, int(start), message);
        };
        const QString tall = sets::questionFitProblem(bank.QuestionText[q]);
        if (!tall.isEmpty())
            warn(tall);
        for (int c = 0; c < kChoiceCount; ++c) {
            const QString wide = sets::choiceFitProblem(bank.Choices[size_t(q)][size_t(c)]);
            if (!wide.isEmpty())
                warn(QStringLiteral("choice %1: ").arg(c + 1) + wide);
        }
    }
}

} // namespace

Report checkFile(const QString& fileName)
{
    Report report;
    report.file = fileName;
    // One bank for every file checked: building one per file costs more than
    // checking a small set.
    static const auto kept = std::make_unique<QuestionBank>();
    QuestionBank& bank = *kept;
    std::int16_t mode = 0;
    LoadReport load;
    report.outcome = LoadQuestion(bank, mode, fileName, &load);
    report.encoding = load.encoding;
    if (report.outcome == LoadOutcome::Ok)
        report.questions = bank.LastQuestion + 1;
    report.title = bank.SetTitle;
    report.creator = bank.SetCreator;
    report.version = bank.SetVersion;

    Collector out(report);
    const QString ending = fileName.right(3).toUpper();
    if (ending == u"QIZ" || ending == u"5TX" || ending == u"5TQ")
        report.format = ending;
    if (report.outcome == LoadOutcome::Unrecognised) {
        out.file(Severity::Error, QStringLiteral("the name ends in none of qiz, 5tx and 5tq"));
        return report;
    }
    // The file once more, whole: the checks need its real length.
    QFile file(fileName);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (report.outcome == LoadOutcome::Unreadable || file.error() != QFileDevice::NoError) {
        out.file(Severity::Error, QStringLiteral("the file cannot be read"));
        return report;
    }
    if (report.format != u"5TQ" && startsWithUtf16Bom(bytes)) {
        // Read as code page 932, such a file is noise: one error says it all.
        out.file(Severity::Error, QStringLiteral("UTF-16 is not supported: save as UTF-8 or Shift_JIS"));
        return report;
    }
    // The reader's findings come after the byte scan of a line and before
    // what a 5TQ block holds.
    const auto addReaderFindings = [&report, &load] {
        report.findings.insert(report.findings.end(), load.findings.begin(), load.findings.end());
    };
    if (report.format == u"5TQ") {
        addReaderFindings();
        check5tq(out, bytes);
    } else {
        checkTextBytes(out, bytes, report.encoding);
        addReaderFindings();
        if (report.format == u"QIZ")
            checkQizContent(out, bank, load);
    }
    out.finish();
    if (report.outcome == LoadOutcome::Ok)
        checkFit(out, bank, load, report.format == u"5TQ" ? Position::Offset : Position::Line);

    // The show cannot end a study, exam or oni run on a set that no answer
    // can get right, so it runs such a set in the normal mode.
    const auto hasCorrectChoice = [&bank](int q) {
        return bank.AnswerIndex[q] >= 0 && bank.AnswerIndex[q] < kChoiceCount;
    };
    if (report.outcome == LoadOutcome::Ok) {
        bool any = false;
        for (int q = 0; q <= bank.LastQuestion && !any; ++q)
            any = hasCorrectChoice(q);
        if (!any)
            out.file(Severity::Warning,
                     QStringLiteral("no question has a correct choice: the set runs in the "
                                    "normal mode whatever the settings say"));
    }
    const bool hasError = std::any_of(report.findings.begin(), report.findings.end(),
                                      [](const Finding& f) { return f.severity == Severity::Error; });
    if (report.outcome == LoadOutcome::Invalid && !hasError)
        out.file(Severity::Error, QStringLiteral("the set does not load"));
    std::stable_sort(report.findings.begin(), report.findings.end(), [](const Finding& a, const Finding& b) {
        return std::pair(a.line, a.offset) < std::pair(b.line, b.offset);
    });
    return report;
}

QByteArray formatText(const Report& report)
{
    const QByteArray file = report.file.toUtf8();
    QByteArray out = file + ": note: ";
    if (report.format.isEmpty())
        out += "no question-set format";
    else
        out += report.format.toUtf8() + " set, " + textEncodingName(report.encoding) + ", ";
    if (report.outcome == LoadOutcome::Ok) {
        out += QByteArray::number(report.questions) + (report.questions == 1 ? " question" : " questions");
        out += ", title " + json::quote(report.title) + ", creator " + json::quote(report.creator) +
               ", version " + json::quote(report.version);
    } else if (!report.format.isEmpty()) {
        out += "does not load";
    }
    out += '\n';
    for (const Finding& finding : report.findings) {
        out += file + ':';
        if (finding.line > 0)
            out += QByteArray::number(finding.line) + ':';
        else if (finding.offset >= 0)
            out += QByteArray::number(finding.offset) + " (block " +
                   QByteArray::number(finding.offset / kBlockSize) + "):";
        out += finding.severity == Severity::Error ? " error: " : " warning: ";
        out += finding.message.toUtf8() + '\n';
    }
    return out;
}

QByteArray formatJson(const std::vector<Report>& reports)
{
    QByteArray out = "[";
    for (size_t r = 0; r < reports.size(); ++r) {
        const Report& report = reports[r];
        out += r > 0 ? ",\n " : "";
        out += "{\"file\": " + json::quote(report.file);
        out += ", \"format\": " + json::quote(report.format);
        out += ", \"status\": \"" + QByteArray(loadOutcomeName(report.outcome)) + '"';
        out += ", \"encoding\": \"" + QByteArray(textEncodingName(report.encoding)) + '"';
        out += ", \"questions\": " + QByteArray::number(report.questions);
        out += ", \"title\": " + json::quote(report.title);
        out += ", \"creator\": " + json::quote(report.creator);
        out += ", \"version\": " + json::quote(report.version);
        out += ", \"findings\": [";
        for (size_t i = 0; i < report.findings.size(); ++i) {
            const Finding& finding = report.findings[i];
            out += i > 0 ? ", " : "";
            out += "{\"severity\": ";
            out += finding.severity == Severity::Error ? "\"error\"" : "\"warning\"";
            if (finding.line > 0)
                out += ", \"line\": " + QByteArray::number(finding.line);
            if (finding.offset >= 0)
                out += ", \"offset\": " + QByteArray::number(finding.offset) +
                       ", \"block\": " + QByteArray::number(finding.offset / kBlockSize);
            out += ", \"message\": " + json::quote(finding.message) + '}';
        }
        out += "]}";
    }
    out += "]\n";
    return out;
}

} // namespace montera::check
