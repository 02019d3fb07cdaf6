// montera-sets: looks at question-set files the way the program loads them,
// and writes QIZ sets from tables and from sets of any format.

#include "bank.h"
#include "check.h"
#include "consoletext.h"
#include "dump.h"
#include "fileutil.h"
#include "findings.h"
#include "flashcardcommand.h"
#include "importtable.h"
#include "qizwriter.h"
#include "stats.h"
#include "userfolders.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace {

using namespace montera;

constexpr const char* kUsage =
    "Usage: montera-sets dump FILE\n"
    "       montera-sets check [--json] FILE...\n"
    "       montera-sets import TABLE -o SET.qiz [--title T] [--creator C] [--version V]\n"
    "                           [--encoding cp932|utf-8]\n"
    "       montera-sets import DECK.apkg|COLLECTION.colpkg (-o SET.qiz | --out-dir DIR)\n"
    "                           [--deck NAME] [FLASHCARD OPTIONS]\n"
    "       montera-sets import --pairs LIST.csv|.tsv|.txt -o SET.qiz [--heading]\n"
    "                           [FLASHCARD OPTIONS]\n"
    "       montera-sets convert SET -o OUT.qiz [--encoding cp932|utf-8]\n"
    "       montera-sets stats [--json] [--history FILE] SET...\n"
    "\n"
    "  dump FILE   Load FILE exactly as the screensaver does and print the question\n"
    "              bank as one JSON object (UTF-8): the load status (ok, unrecognised,\n"
    "              unreadable or invalid), the encoding the text was read in (cp932\n"
    "              or utf-8), last_question, the set's title, creator and\n"
    "              version, and the questions 0 to last_question with their title,\n"
    "              text, five choices and the 0-based answer. After a failed load the\n"
    "              one question is the error entry the screensaver would show.\n"
    "              Exit status: 0 when the set loads, 1 when it does not, 2 on a usage\n"
    "              error.\n"
    "\n"
    "  check FILE...  For people who write question sets: load each FILE as the\n"
    "              screensaver does and list what it makes of it. A first line per\n"
    "              file gives the format, the number of questions and the set's\n"
    "              title, creator and version; then one line per finding, as\n"
    "              FILE:LINE: warning|error: message (text sets) or\n"
    "              FILE:OFFSET (block N): warning|error: message (5TQ sets).\n"
    "              Warnings are problems the screensaver accepts silently (a line\n"
    "              that ends a set early, a question without an answer or with\n"
    "              missing or repeated choices or an empty correct choice, an\n"
    "              answer outside 1 to 5, no correct choice in the whole set, an\n"
    "              incomplete last question, overlapping 5TQ blocks, bytes that are\n"
    "              no code page 932 character); errors are why it would show its\n"
    "              error entry instead of the set. A text set is read as UTF-8 when\n"
    "              it starts with a byte-order mark or is UTF-8 that is no clean\n"
    "              code page 932; the first line says which encoding was used.\n"
    "              --json prints the same as one JSON array (UTF-8).\n"
    "              Exit status: 0 when every set loads without an error, 1 when one\n"
    "              does not, 2 on a usage error.\n"
    "\n"
    "  import TABLE  Make a QIZ set from a table saved by a spreadsheet: CSV\n"
    "              (.csv) or tab-separated (.tsv, .txt), code page 932 or UTF-8.\n"
    "              One question per row: the question, choices 1 to 5, the answer\n"
    "              as 1 to 5, and optionally a title for the question (empty: the\n"
    "              set title). A first row that is no question is a header.\n"
    "              --title defaults to the table's name without its extension.\n"
    "              The set is code page 932 unless --encoding utf-8 is given.\n"
    "              Problems are listed as TABLE:ROW: error: message, and nothing\n"
    "              is written. Exit status: 0 when the set was written, 1 when not.\n"
    "\n"
    "  import DECK.apkg  Make five-choice sets from flashcards: an Anki package or\n"
    "              collection (one set per deck, titled with its full name; --out-dir\n"
    "              names each file after its deck, :: becoming -), or with --pairs a\n"
    "              two-column list (the CSV rules above; #separator:, #html: and\n"
    "              #columns: header lines as Anki's text export writes them; --heading\n"
    "              for a first row of headings). The wrong choices are other cards'\n"
    "              answers of the same kind. FLASHCARD OPTIONS: --question FIELD and\n"
    "              --answer FIELD (a name, or a number from 1), --reverse, --title T,\n"
    "              --creator C, --version V, --seed N, --encoding cp932|utf-8 (by\n"
    "              default code page 932 when every character fits, else UTF-8).\n"
    "              Cards the show cannot draw are skipped with a warning; a set holds\n"
    "              at most 2048 questions, and a larger deck makes NAME-1.qiz, ...\n"
    "              Problems are listed as FILE:NOTE-ID: or LIST:ROW:. Exit status: 0\n"
    "              when the sets were written, 1 when nothing was.\n"
    "\n"
    "  convert SET  Write any set that loads (QIZ, 5TX or 5TQ) as a QIZ set that\n"
    "              loads to the same questions. Exit status as for import.\n"
    "\n"
    "  stats SET...  What the answer history holds of each set: questions asked\n"
    "              and answered right, overall and in the last 7 days, the last\n"
    "              30 days one by one (local time), and the ten questions missed\n"
    "              most often with their right answers. A set is known by its file\n"
    "              name and its title; a question left open when a show ended is\n"
    "              not counted. The history is the show's own (beside this program,\n"
    "              or in the user's data folder when this program's folder is not\n"
    "              writable) unless --history names another; it is only read.\n"
    "              --json prints one JSON array (UTF-8) in which \"asked\" is the\n"
    "              number asked.\n"
    "              Exit status: 0, or 1 when the history cannot be read.\n";

int checkSets(const QStringList& args)
{
    bool asJson = false;
    QStringList files;
    for (const QString& arg : args) {
        if (arg == u"--json")
            asJson = true;
        else if (arg.startsWith(u'-') && arg.size() > 1)
            return -1;
        else
            files << arg;
    }
    if (files.isEmpty())
        return -1;
    std::vector<check::Report> reports;
    bool allLoad = true;
    for (const QString& file : files) {
        reports.push_back(check::checkFile(file));
        const auto& findings = reports.back().findings;
        allLoad = allLoad && reports.back().outcome == LoadOutcome::Ok &&
                  std::none_of(findings.begin(), findings.end(),
                               [](const Finding& finding) { return finding.severity == Severity::Error; });
        if (!asJson) {
            const QByteArray out = check::formatText(reports.back());
            writeConsoleText(ConsoleStream::Out, out);
        }
    }
    if (asJson) {
        const QByteArray out = check::formatJson(reports);
        writeConsoleText(ConsoleStream::Out, out);
    }
    return allLoad ? 0 : 1;
}

int showStats(const QStringList& args)
{
    bool asJson = false;
    // The show's own history unless another is named.
    QString historyPath = UserFolders::forProgram(QCoreApplication::applicationDirPath()).historyFile();
    QStringList files;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--json")
            asJson = true;
        else if (args[i] == u"--history" && i + 1 < args.size())
            historyPath = args[++i];
        else if (args[i].startsWith(u'-') && args[i].size() > 1)
            return -1;
        else
            files << args[i];
    }
    if (files.isEmpty())
        return -1;
    HistoryStore history;
    const bool missing = !QFileInfo::exists(historyPath);
    if (!missing && history.open(historyPath, HistoryAccess::ReadOnly) != HistoryState::ReadOnly)
        return 1;
    const QDateTime now = QDateTime::currentDateTime();
    std::vector<sets::SetStats> stats;
    for (const QString& file : files)
        stats.push_back(sets::statsOf(history, file, now.toSecsSinceEpoch(), now.offsetFromUtc()));
    const QByteArray out =
        asJson ? sets::formatStatsJson(stats, now.date()) : sets::formatStatsText(stats, now.date());
    writeConsoleText(ConsoleStream::Out, out);
    return 0;
}

int dump(const QString& fileName)
{
    auto bank = std::make_unique<QuestionBank>();
    std::int16_t mode = 0;
    LoadReport report;
    const LoadOutcome outcome = LoadQuestion(*bank, mode, fileName, &report);
    const QByteArray out = sets::dumpJson(*bank, outcome, report.encoding);
    writeConsoleText(ConsoleStream::Out, out);
    return outcome == LoadOutcome::Ok ? 0 : 1;
}

void printError(const QString& where, const QString& message)
{
    const QByteArray line = (where + QStringLiteral(": error: ") + message + u'\n').toUtf8();
    writeConsoleText(ConsoleStream::Error, line);
}

const QString kUtf16Error = QStringLiteral("UTF-16 is not supported: save as UTF-8 or Shift_JIS");

// The options of import and convert: one input, -o OUT, and the named
// options given in `allowed`, each followed by its value.
struct WriteOptions {
    QString input;
    QString output;
    QString title;
    bool hasTitle = false;
    QString creator;
    QString version;
    TextEncoding encoding = TextEncoding::Cp932;
};

std::optional<WriteOptions> parseWriteOptions(const QStringList& args, const QStringList& allowed)
{
    WriteOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool named = arg == u"-o" || allowed.contains(arg);
        if (named && i + 1 >= args.size())
            return std::nullopt;
        if (arg == u"-o") {
            options.output = args[++i];
        } else if (named && arg == u"--title") {
            options.title = args[++i];
            options.hasTitle = true;
        } else if (named && arg == u"--creator") {
            options.creator = args[++i];
        } else if (named && arg == u"--version") {
            options.version = args[++i];
        } else if (named && arg == u"--encoding") {
            const QString value = args[++i];
            if (value != u"cp932" && value != u"utf-8")
                return std::nullopt;
            options.encoding = value == u"utf-8" ? TextEncoding::Utf8 : TextEncoding::Cp932;
        } else if (arg.startsWith(u'-') || !options.input.isEmpty()) {
            return std::nullopt;
        } else {
            options.input = arg;
        }
    }
    if (options.input.isEmpty() || options.output.isEmpty())
        return std::nullopt;
    return options;
}

// Reads the input whole; reports why not.
std::optional<QByteArray> readInput(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        printError(fileName, QStringLiteral("cannot be read: ") + file.errorString());
        return std::nullopt;
    }
    return file.readAll();
}

// Checks the characters and writes the set; the exit status.
int writeSet(const sets::WrittenSet& set, const WriteOptions& options)
{
    if (QFileInfo(options.output).absoluteFilePath() == QFileInfo(options.input).absoluteFilePath() ||
        (QFileInfo::exists(options.output) &&
         QFileInfo(options.output).canonicalFilePath() == QFileInfo(options.input).canonicalFilePath())) {
        printError(options.input, QStringLiteral("the output would replace the input"));
        return 1;
    }
    const std::vector<sets::Unencodable> unencodable = sets::unencodableCharacters(set, options.encoding);
    // A table names its rows as file:ROW; a set names its questions in the message.
    for (const sets::Unencodable& entry : unencodable) {
        bool isRow = false;
        entry.origin.toInt(&isRow);
        if (isRow)
            printError(options.input + u':' + entry.origin, entry.message);
        else
            printError(options.input, entry.origin.isEmpty()
                                          ? entry.message
                                          : entry.origin + QStringLiteral(": ") + entry.message);
    }
    if (!unencodable.empty())
        return 1;
    QString error;
    if (!sets::writeFileAtomically(options.output, sets::qizBytes(set, options.encoding), error)) {
        printError(options.output, QStringLiteral("cannot be written: ") + error);
        return 1;
    }
    return 0;
}

int importTable(const QStringList& args)
{
    const std::optional<WriteOptions> options =
        parseWriteOptions(args, {"--title", "--creator", "--version", "--encoding"});
    if (!options)
        return -1;
    const QString suffix = QFileInfo(options->input).suffix().toLower();
    if (suffix != u"csv" && suffix != u"tsv" && suffix != u"txt") {
        printError(options->input, QStringLiteral("the name ends in none of .csv, .tsv and .txt"));
        return 1;
    }
    const std::optional<QByteArray> bytes = readInput(options->input);
    if (!bytes)
        return 1;
    if (startsWithUtf16Bom(*bytes)) {
        printError(options->input, kUtf16Error);
        return 1;
    }
    std::vector<sets::TableProblem> problems;
    sets::WrittenSet set = sets::readTable(
        *bytes, suffix == u"csv" ? sets::TableFormat::Csv : sets::TableFormat::Tsv,
        options->hasTitle ? options->title : QFileInfo(options->input).completeBaseName(), problems);
    for (const sets::TableProblem& problem : problems)
        printError(problem.row > 0 ? options->input + u':' + QString::number(problem.row) : options->input,
                   problem.message);
    if (!problems.empty())
        return 1;
    set.creator = options->creator;
    set.version = options->version;
    return writeSet(set, *options);
}

int convertSet(const QStringList& args)
{
    const std::optional<WriteOptions> options = parseWriteOptions(args, {"--encoding"});
    if (!options)
        return -1;
    const std::optional<QByteArray> bytes = readInput(options->input);
    if (!bytes)
        return 1;
    if (!options->input.endsWith(u"5tq", Qt::CaseInsensitive) && startsWithUtf16Bom(*bytes)) {
        printError(options->input, kUtf16Error);
        return 1;
    }
    auto bank = std::make_unique<QuestionBank>();
    std::int16_t mode = 0;
    const LoadOutcome outcome = LoadQuestion(*bank, mode, options->input);
    if (outcome != LoadOutcome::Ok) {
        printError(options->input,
                   QStringLiteral("the set does not load (%1)").arg(loadOutcomeName(outcome)));
        return 1;
    }
    return writeSet(sets::setFromBank(*bank), *options);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    setOversizeWarning([] {
        writeConsoleText(ConsoleStream::Error,
                         "montera-sets: warning: ファイルサイズが大きすぎます (the file is longer "
                         "than 640001 bytes; only its start is read)\n");
    });
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 1 && (args[0] == u"--help" || args[0] == u"-h")) {
        writeConsoleText(ConsoleStream::Out, kUsage);
        return 0;
    }
    if (args.size() == 2 && args[0] == u"dump")
        return dump(args[1]);
    if (!args.isEmpty()) {
        int status = -1;
        if (args[0] == u"check")
            status = checkSets(args.mid(1));
        else if (args[0] == u"import" && sets::isFlashcardImport(args.mid(1)))
            status = sets::importFlashcards(args.mid(1));
        else if (args[0] == u"import")
            status = importTable(args.mid(1));
        else if (args[0] == u"convert")
            status = convertSet(args.mid(1));
        else if (args[0] == u"stats")
            status = showStats(args.mid(1));
        if (status >= 0)
            return status;
    }
    writeConsoleText(ConsoleStream::Error, kUsage);
    return 2;
}
