#include "check.h"

#include "codec932.h"
#include "fileutil.h"
#include "json.h"
#include "read5tq.h"

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

// A text for a message: quoted, with control characters escaped.
QString shown(QStringView text)
{
    return QString::fromUtf8(json::quote(text));
}

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

// A line of a text file as the text readers see it, by its place in the file.
struct Line {
    qsizetype start = 0;
    qsizetype size = 0;
};

std::vector<Line> fileLines(QByteArrayView bytes, const TextLayout& layout)
{
    std::vector<Line> lines;
    forEachLine(layout.body, layout.lineBreak, [&lines, &bytes](QByteArrayView line) {
        lines.push_back({line.data() - bytes.data(), line.size()});
    });
    return lines;
}

// The lines, decoded, and their bytes checked against the encoding. A file
// read as code page 932 that is also UTF-8 was most likely saved as UTF-8
// without the mark that tells it apart.
std::vector<Line> checkTextLines(Collector& out, QByteArrayView bytes, const TextLayout& layout,
                                 std::vector<QString>& decoded)
{
    const std::vector<Line> lines = fileLines(bytes, layout);
    out.setEncoding(layout.encoding);
    if (layout.encoding == TextEncoding::Cp932 && hasNonAscii(bytes) && isWellFormedUtf8(bytes))
        out.file(Severity::Warning, QStringLiteral("the file was read as code page 932 but is also UTF-8: "
                                                   "if this file was saved as UTF-8, save it with a BOM "
                                                   "(UTF-8 with signature)"));
    for (size_t i = 0; i < lines.size(); ++i) {
        const QByteArrayView line = bytes.sliced(lines[i].start, lines[i].size);
        out.invalidBytes(line, lines[i].start, int(i + 1));
        decoded.push_back(decodeText(line, layout.encoding));
    }
    return lines;
}

int countNonEmpty(const std::vector<QString>& lines, size_t from)
{
    int count = 0;
    for (size_t i = from; i < lines.size(); ++i)
        count += lines[i].isEmpty() ? 0 : 1;
    return count;
}

QString linesNotRead(int count)
{
    return count == 1 ? QStringLiteral("1 line after it is not read")
                      : QStringLiteral("%1 lines after it are not read").arg(count);
}

void checkQiz(Collector& out, QByteArrayView bytes, const TextLayout& layout)
{
    std::vector<QString> lines;
    checkTextLines(out, bytes, layout, lines);

    int questions = 0;
    int questionLine = 0; // of the current question, 0 before the first
    bool hasAnswer = false;
    int choicesSeen = 0; // bit d-1 for choice d
    int highestChoice = 0;
    const auto finishQuestion = [&] {
        if (questionLine == 0)
            return;
        if (!hasAnswer)
            out.atLine(
                Severity::Warning, questionLine,
                QStringLiteral("question %1 has no answer line (\"A =\"): its first choice counts as correct")
                    .arg(questions));
        const int given = std::popcount(unsigned(choicesSeen));
        if (given < kChoiceCount)
            out.atLine(Severity::Warning, questionLine,
                       QStringLiteral("question %1 has %2 of 5 choices; the others are empty")
                           .arg(questions)
                           .arg(given));
    };

    for (size_t i = 0; i <= lines.size(); ++i) {
        const int lineNumber = int(i + 1);
        const QString line = i < lines.size() ? lines[i] : QString();
        const QChar tag = line.isEmpty() ? QChar() : line.front();
        if (tag == u'[' || tag == u'S' || tag == u'C' || tag == u'V')
            continue;
        if (tag == u'Q') {
            if (questions == kBankCapacity) {
                out.atLine(Severity::Warning, lineNumber,
                           QStringLiteral(
                               "more than 2048 questions: this one and the %1 lines after it are not read")
                               .arg(lines.size() - i - 1));
                break;
            }
            finishQuestion();
            ++questions;
            questionLine = lineNumber;
            hasAnswer = false;
            choicesSeen = 0;
            highestChoice = 0;
            continue;
        }
        if (tag == u'A') {
            if (questionLine == 0) {
                out.atLine(Severity::Warning, lineNumber,
                           QStringLiteral("\"A\" line before the first question is ignored"));
                continue;
            }
            const QChar second = line.size() > 1 ? line[1] : QChar();
            if (second == u' ') {
                if (hasAnswer)
                    out.atLine(Severity::Warning, lineNumber,
                               QStringLiteral("second answer line of question %1 replaces the first")
                                   .arg(questions));
                hasAnswer = true;
                const QString value = GetDoc(line).trimmed();
                bool ok = false;
                const int answer = value.toInt(&ok);
                if (!ok)
                    out.atLine(Severity::Warning, lineNumber,
                               QStringLiteral(
                                   "answer %1 is not a number: no choice of question %2 counts as correct")
                                   .arg(shown(value))
                                   .arg(questions));
                else if (answer < 1 || answer > kChoiceCount)
                    out.atLine(Severity::Warning, lineNumber,
                               QStringLiteral(
                                   "answer %1 is outside 1 to 5: no choice of question %2 counts as correct")
                                   .arg(answer)
                                   .arg(questions));
            } else if (second >= u'1' && second <= u'5') {
                const int d = second.unicode() - u'0';
                if (choicesSeen & (1 << (d - 1)))
                    out.atLine(
                        Severity::Warning, lineNumber,
                        QStringLiteral("choice %1 of question %2 is given again and replaces the earlier one")
                            .arg(d)
                            .arg(questions));
                else if (d < highestChoice)
                    out.atLine(Severity::Warning, lineNumber,
                               QStringLiteral("choice %1 of question %2 comes after choice %3")
                                   .arg(d)
                                   .arg(questions)
                                   .arg(highestChoice));
                choicesSeen |= 1 << (d - 1);
                highestChoice = std::max(highestChoice, d);
            } else {
                out.atLine(
                    Severity::Warning, lineNumber,
                    QStringLiteral("\"A\" line names no choice (\"A1\" to \"A5\" or \"A \") and is ignored"));
            }
            continue;
        }
        // Any other line ends the set.
        finishQuestion();
        const bool atEnd = i == lines.size();
        const int after = atEnd ? 0 : countNonEmpty(lines, i + 1);
        if (!atEnd && (after > 0 || !line.isEmpty())) {
            QString why;
            if (line.isEmpty())
                why = QStringLiteral("an empty line ends the set");
            else if (tag.isLower())
                why = QStringLiteral("the lower-case tag %1 ends the set (tags are upper case)")
                          .arg(shown(line.left(1)));
            else
                why = QStringLiteral("%1 is no tag and ends the set").arg(shown(line.left(2)));
            out.atLine(Severity::Warning, lineNumber,
                       why + QStringLiteral("; ") + linesNotRead(int(lines.size() - i - 1)) +
                           (after < int(lines.size() - i - 1)
                                ? QStringLiteral(" (%1 of them not empty)").arg(after)
                                : QString()));
        }
        if (questions == 0)
            out.atLine(Severity::Error, lineNumber,
                       QStringLiteral("no question (\"Q\" line) before the end of the set"));
        break;
    }
}

void check5tx(Collector& out, QByteArrayView bytes, const TextLayout& layout, int loaded)
{
    std::vector<QString> decoded;
    const std::vector<Line> spans = checkTextLines(out, bytes, layout, decoded);

    // The reader's lines: the text between line feeds of the text that
    // ReadTextFile rebuilds. A lone LF inside a file line splits it, and only
    // the last piece of a file line keeps the CR.
    struct ReaderLine {
        int fileLine = 0;
        QString text; // without the CR
        bool empty = false;
    };
    // Lines are split after decoding, as the reader splits them: a lead byte
    // before a line feed takes it as its second byte.
    std::vector<ReaderLine> lines;
    for (size_t i = 0; i < spans.size(); ++i) {
        const QString& line = decoded[i];
        qsizetype from = 0;
        for (;;) {
            const qsizetype lineFeed = line.indexOf(u'\n', from);
            const qsizetype end = lineFeed < 0 ? line.size() : lineFeed;
            const bool last = lineFeed < 0;
            lines.push_back({int(i + 1), line.sliced(from, end - from), !last && end == from});
            if (last)
                break;
            from = lineFeed + 1;
        }
    }

    constexpr int kHeaderLines = 5;
    constexpr int kRecordLines = 6;
    if (lines.size() < size_t(kHeaderLines)) {
        out.file(Severity::Error,
                 QStringLiteral("%1 line%2: a 5TX set has 5 header lines and then 6 lines per question")
                     .arg(lines.size())
                     .arg(lines.size() == 1 ? "" : "s"));
        return;
    }
    const QString countLine = lines[4].text.trimmed();
    bool isNumber = false;
    const int count = countLine.toInt(&isNumber);
    if (!isNumber)
        out.atLine(Severity::Warning, lines[4].fileLine,
                   QStringLiteral("the fifth line %1 is no number of questions").arg(shown(countLine)));
    else if (loaded > 0 && count != loaded)
        out.atLine(Severity::Warning, lines[4].fileLine,
                   QStringLiteral("the fifth line says %1 questions, the set has %2").arg(count).arg(loaded));

    int n = 0;
    size_t L = kHeaderLines;
    const QStringList roles{"the text", "choice 1", "choice 2", "choice 3", "choice 4", "choice 5"};
    for (; L < lines.size() && n < kBankCapacity; ++L) {
        const ReaderLine& line = lines[L];
        const int k = int(L - kHeaderLines) % kRecordLines;
        if (line.empty) {
            out.atLine(Severity::Warning, line.fileLine,
                       QStringLiteral("two line feeds in a row (a line feed inside a line) end the set; %1")
                           .arg(linesNotRead(int(spans.size()) - line.fileLine)));
            break;
        }
        if (line.text.isEmpty())
            out.atLine(Severity::Warning, line.fileLine,
                       QStringLiteral("empty line taken as %1 of question %2").arg(roles[k]).arg(n + 1));
        if (k == kRecordLines - 1)
            ++n;
    }
    if (n == kBankCapacity && L < lines.size())
        out.atLine(Severity::Warning, lines[L].fileLine,
                   QStringLiteral("more than 2048 questions: this line and the %1 after it are not read")
                       .arg(int(spans.size()) - lines[L].fileLine));
    const int partial = int(L - kHeaderLines) % kRecordLines;
    if (n < kBankCapacity && partial > 0)
        out.atLine(Severity::Warning, lines[L - size_t(partial)].fileLine,
                   QStringLiteral("the last question is incomplete (%1 of its 6 lines) and is not loaded")
                       .arg(partial));
    if (n == 0)
        out.file(Severity::Error,
                 QStringLiteral("no complete question: each takes 6 lines after the 5 header lines"));
}

// The bytes GetMaskedText takes from a field of a block, unmasked.
QByteArray maskedBytes(QByteArrayView block, int start, int length)
{
    QByteArray taken;
    for (int p = start; p < start + length; ++p) {
        const auto d = static_cast<unsigned char>(static_cast<unsigned char>(block[p]) ^ 0x80);
        const auto next = p + 1 < block.size()
                              ? static_cast<unsigned char>(static_cast<unsigned char>(block[p + 1]) ^ 0x80)
                              : 0x80;
        if (d == 0xA0 && next == 0xA0)
            break;
        taken += char(d);
    }
    return taken;
}

void check5tq(Collector& out, const QByteArray& raw)
{
    if (raw.size() > kBinaryBufferSize)
        out.atOffset(Severity::Warning, kBinaryBufferSize,
                     QStringLiteral("the file has %1 bytes; only its first 640001 are read").arg(raw.size()));
    QByteArray bytes = raw.first(std::min<qsizetype>(raw.size(), kBinaryBufferSize));
    bytes.resize(kBinaryBufferSize, '\0');

    struct Range {
        int section = 0;
        int first = 0;
        int last = 0;
    };
    std::vector<Range> ranges;
    std::set<int> checkedBlocks;
    int total = 0;
    bool overCapacity = false;
    bool anyQuestions = false;
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
        bool valid = true;
        for (const int field : {kCountOffset, kFirstBlockOffset}) {
            if (static_cast<unsigned char>(bytes[o + field + 1]) >= 0x80) {
                out.atOffset(Severity::Error, o + field + 1,
                             section +
                                 QStringLiteral("the %1 (bytes %2 %3) is above 32767")
                                     .arg(field == kCountOffset ? "question count" : "first block number",
                                          hex(static_cast<unsigned char>(bytes[o + field])),
                                          hex(static_cast<unsigned char>(bytes[o + field + 1]))));
                valid = false;
            }
        }
        const QString setName = trimTrailingBlanks(GetFieldText(bytes, o + kSetNameOffset, kSetNameSize));
        if (setName.size() < 4)
            out.atOffset(
                Severity::Error, o + kSetNameOffset,
                section + QStringLiteral("the set name %1 has fewer than 4 characters").arg(shown(setName)));
        if (!valid)
            continue;
        const std::optional<SectionHeader> header = GetSectionHeader(bytes, o);
        if (!header || header->Count == 0)
            continue;
        anyQuestions = true;
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
            if (start + kBlockSize - 1 > kLastReadableOffset) {
                out.atOffset(Severity::Error, start,
                             section + QStringLiteral(
                                           "question %1 is in block %2, beyond the last readable block 2499")
                                           .arg(k + 1)
                                           .arg(block));
                break;
            }
            if (total + k >= kBankCapacity && !overCapacity) {
                overCapacity = true;
                out.atOffset(
                    Severity::Error, start,
                    section +
                        QStringLiteral("question %1 is the 2049th of the set; the limit is 2048").arg(k + 1));
            }
            // Blocks beyond the end of the file were reported above; a block that
            // two sections share is looked at once.
            if (start + kBlockSize > raw.size() || !checkedBlocks.insert(block).second)
                continue;
            QByteArray block256 = bytes.sliced(start, kBlockSize);
            block256.append('\0');
            for (int field = 0; field <= kChoiceCount; ++field) {
                const int from = field == 0 ? 0 : choiceOffset(field - 1);
                const int size = field == 0 ? kTextSize : kChoiceSize;
                const QByteArray taken = maskedBytes(block256, from, size);
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
        total += header->Count;
    }
    if (!anyQuestions)
        out.file(Severity::Error,
                 QStringLiteral("no section has questions: all eight question counts are 0"));
}

} // namespace

Report checkFile(const QString& fileName)
{
    Report report;
    report.file = fileName;
    auto bank = std::make_unique<QuestionBank>();
    std::int16_t mode = 0;
    LoadReport load;
    report.outcome = LoadQuestion(*bank, mode, fileName, &load);
    report.encoding = load.encoding;
    if (report.outcome == LoadOutcome::Ok)
        report.questions = bank->LastQuestion + 1;
    report.title = bank->SetTitle;
    report.creator = bank->SetCreator;
    report.version = bank->SetVersion;

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
    const TextLayout layout = textLayoutOf(bytes);
    if (report.format != u"5TQ" && startsWithUtf16Bom(bytes)) {
        // Read as code page 932, such a file is noise: one error says it all.
        out.file(Severity::Error, QStringLiteral("UTF-16 is not supported: save as UTF-8 or Shift_JIS"));
        return report;
    }
    if (report.format == u"QIZ")
        checkQiz(out, bytes, layout);
    else if (report.format == u"5TX")
        check5tx(out, bytes, layout, report.questions);
    else
        check5tq(out, bytes);
    out.finish();

    // The show cannot end a study, exam or oni run on a set that no answer
    // can get right, so it runs such a set in the normal mode.
    const auto hasCorrectChoice = [&bank](int q) {
        return bank->AnswerIndex[q] >= 0 && bank->AnswerIndex[q] < kChoiceCount;
    };
    if (report.outcome == LoadOutcome::Ok) {
        bool any = false;
        for (int q = 0; q <= bank->LastQuestion && !any; ++q)
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
