#include "flashcardcommand.h"

#include "ankipackage.h"
#include "codec932.h"
#include "consoletext.h"
#include "distractors.h"
#include "flashcardset.h"
#include "pairtable.h"
#include "qizwriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <set>

namespace montera::sets {

namespace {

enum class Source { Anki, Pairs };
enum class EncodingChoice { Automatic, Cp932, Utf8 };

struct Options {
    Source source = Source::Anki;
    QString input;
    QString output;
    QString outDir;
    QString deck;
    std::optional<QString> title;
    QString creator;
    QString version;
    EncodingChoice encoding = EncodingChoice::Automatic;
    HeadingRow heading = HeadingRow::Absent;
    FieldChoice fields;
    std::uint64_t seed = kDefaultSeed;
};

std::optional<Options> parse(const QStringList& args)
{
    Options options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        std::optional<QString> given;
        if (arg == u"--pairs") {
            options.source = Source::Pairs;
        } else if (arg == u"--heading") {
            options.heading = HeadingRow::Present;
        } else if (arg == u"--reverse") {
            options.fields.side = FieldChoice::Side::Reversed;
        } else if (arg == u"-o" || arg == u"--out-dir" || arg == u"--deck" || arg == u"--title" ||
                   arg == u"--creator" || arg == u"--version" || arg == u"--question" || arg == u"--answer" ||
                   arg == u"--encoding" || arg == u"--seed") {
            given = value();
            if (!given)
                return std::nullopt;
            if (arg == u"-o")
                options.output = *given;
            else if (arg == u"--out-dir")
                options.outDir = *given;
            else if (arg == u"--deck")
                options.deck = *given;
            else if (arg == u"--title")
                options.title = *given;
            else if (arg == u"--creator")
                options.creator = *given;
            else if (arg == u"--version")
                options.version = *given;
            else if (arg == u"--question")
                options.fields.question = *given;
            else if (arg == u"--answer")
                options.fields.answer = *given;
            else if (arg == u"--encoding" && *given == u"cp932")
                options.encoding = EncodingChoice::Cp932;
            else if (arg == u"--encoding" && *given == u"utf-8")
                options.encoding = EncodingChoice::Utf8;
            else if (arg == u"--encoding")
                return std::nullopt;
            else {
                bool ok = false;
                options.seed = given->toULongLong(&ok);
                if (!ok)
                    return std::nullopt;
            }
        } else if (arg.startsWith(u'-') || !options.input.isEmpty()) {
            return std::nullopt;
        } else {
            options.input = arg;
        }
    }
    // A list makes one set, named by -o; a package one set per deck.
    const bool oneOutput = !options.output.isEmpty() != !options.outDir.isEmpty();
    if (options.input.isEmpty() || !oneOutput ||
        (options.source == Source::Pairs && options.output.isEmpty()))
        return std::nullopt;
    return options;
}

void print(const QString& line)
{
    writeConsoleText(ConsoleStream::Error, (line + u'\n').toUtf8());
}

QString located(const QString& file, const QString& where)
{
    return where.isEmpty() ? file : file + u':' + where;
}

struct Output {
    QString fileName;
    WrittenSet set;
    TextEncoding encoding = TextEncoding::Cp932;
};

// The file names of each deck's sets: one named by -o, or one per deck in
// --out-dir; a deck that makes several sets numbers them from 1.
std::vector<QString> namesFor(const Options& options, const std::vector<std::pair<QString, size_t>>& decks)
{
    std::vector<QString> names;
    std::set<QString> taken;
    for (const auto& [deckName, count] : decks) {
        QString stem;
        if (!options.output.isEmpty()) {
            const QFileInfo info(options.output);
            stem = info.dir().filePath(info.completeBaseName());
        } else {
            const QString base = fileStemOf(deckName);
            stem = base;
            for (int n = 2; taken.contains(stem.toCaseFolded()); ++n)
                stem = base + QStringLiteral("-%1").arg(n);
            taken.insert(stem.toCaseFolded());
            stem = QDir(options.outDir).filePath(stem);
        }
        const QString suffix =
            options.output.isEmpty() ? QStringLiteral(".qiz") : u'.' + QFileInfo(options.output).suffix();
        if (count == 1 && !options.output.isEmpty())
            names.push_back(options.output);
        else if (count == 1)
            names.push_back(stem + suffix);
        else
            for (size_t part = 1; part <= count; ++part)
                names.push_back(stem + QStringLiteral("-%1").arg(part) + suffix);
    }
    return names;
}

} // namespace

int importFlashcards(const QStringList& args)
{
    const std::optional<Options> parsed = parse(args);
    if (!parsed)
        return -1;
    const Options& options = *parsed;
    CardProblems problems;
    std::vector<Deck> decks;
    if (options.source == Source::Pairs) {
        QFile file(options.input);
        if (!file.open(QIODevice::ReadOnly)) {
            print(options.input + QStringLiteral(": error: cannot be read: ") + file.errorString());
            return 1;
        }
        const QString suffix = QFileInfo(options.input).suffix().toLower();
        if (suffix != u"csv" && suffix != u"tsv" && suffix != u"txt") {
            print(options.input + QStringLiteral(": error: the name ends in none of .csv, .tsv and .txt"));
            return 1;
        }
        const QByteArray bytes = file.readAll();
        if (startsWithUtf16Bom(bytes)) {
            print(options.input +
                  QStringLiteral(": error: UTF-16 is not supported: save as UTF-8 or Shift_JIS"));
            return 1;
        }
        Deck deck = readPairTable(bytes, suffix == u"csv" ? TableFormat::Csv : TableFormat::Tsv,
                                  options.heading, options.fields, problems);
        deck.name = options.title.value_or(QFileInfo(options.input).completeBaseName());
        decks.push_back(std::move(deck));
    } else {
        decks = readAnkiPackage(options.input, options.fields, problems);
        if (!options.deck.isEmpty()) {
            std::erase_if(decks, [&options](const Deck& deck) { return deck.name != options.deck; });
            if (decks.empty() && problems.empty())
                problems.push_back(
                    {ProblemKind::Error, {}, QStringLiteral("no deck is named %1").arg(options.deck)});
        }
        if (options.title)
            for (Deck& deck : decks)
                deck.name = *options.title;
    }
    // Cards read from a file with errors are not judged: they may be wrong.
    const bool readFailed = std::any_of(problems.begin(), problems.end(), [](const CardProblem& problem) {
        return problem.kind == ProblemKind::Error;
    });
    std::vector<std::vector<WrittenSet>> made(decks.size());
    for (size_t d = 0; d < decks.size() && !readFailed; ++d)
        made[d] = setsOfDeck(decks[d], options.seed, problems);

    bool failed = false;
    int skipped = 0;
    for (const CardProblem& problem : problems) {
        failed = failed || problem.kind == ProblemKind::Error;
        if (problem.kind == ProblemKind::Warning && !problem.where.isEmpty())
            ++skipped;
        print(located(options.input, problem.where) +
              (problem.kind == ProblemKind::Error ? QStringLiteral(": error: ")
                                                  : QStringLiteral(": warning: ")) +
              problem.message);
    }
    std::vector<std::pair<QString, size_t>> usable;
    std::vector<WrittenSet> sets;
    for (size_t d = 0; d < decks.size(); ++d) {
        if (made[d].empty())
            continue;
        usable.emplace_back(decks[d].name, made[d].size());
        for (WrittenSet& set : made[d]) {
            set.creator = options.creator;
            set.version = options.version;
            sets.push_back(std::move(set));
        }
    }
    if (!failed && usable.empty()) {
        print(options.input + QStringLiteral(": error: no deck makes a set"));
        failed = true;
    }
    if (!failed && usable.size() > 1 && !options.output.isEmpty()) {
        QStringList names;
        for (const auto& [name, count] : usable)
            names << name;
        print(options.input + QStringLiteral(": error: -o names one set, and %1 decks make sets: %2; "
                                             "pick one with --deck or use --out-dir")
                                  .arg(usable.size())
                                  .arg(names.join(QStringLiteral(", "))));
        failed = true;
    }
    if (failed)
        return 1;

    const std::vector<QString> names = namesFor(options, usable);
    std::vector<Output> outputs;
    for (size_t s = 0; s < sets.size(); ++s) {
        Output output{names[s], std::move(sets[s]), TextEncoding::Cp932};
        const std::vector<Unencodable> unencodable = unencodableCharacters(output.set, TextEncoding::Cp932);
        if (options.encoding == EncodingChoice::Utf8) {
            output.encoding = TextEncoding::Utf8;
        } else if (!unencodable.empty() && options.encoding == EncodingChoice::Automatic) {
            output.encoding = TextEncoding::Utf8;
            print(located(options.input, unencodable.front().origin) + QStringLiteral(": note: ") +
                  output.fileName + QStringLiteral(" is written in UTF-8: ") + unencodable.front().message);
        } else {
            for (const Unencodable& entry : unencodable)
                print(located(options.input, entry.origin) + QStringLiteral(": error: ") + entry.message);
            failed = failed || !unencodable.empty();
        }
        outputs.push_back(std::move(output));
    }
    if (failed)
        return 1;
    if (!options.outDir.isEmpty() && !QDir().mkpath(options.outDir)) {
        print(options.outDir + QStringLiteral(": error: the folder cannot be made"));
        return 1;
    }
    std::vector<QString> written;
    for (const Output& output : outputs) {
        QString error;
        if (!writeFileAtomically(output.fileName, qizBytes(output.set, output.encoding), error)) {
            print(output.fileName + QStringLiteral(": error: cannot be written: ") + error);
            // All or nothing: the sets written so far go again.
            for (const QString& name : written)
                QFile::remove(name);
            return 1;
        }
        written.push_back(output.fileName);
        print(output.fileName + QStringLiteral(": note: %1 questions from %2")
                                    .arg(output.set.questions.size())
                                    .arg(output.set.title));
    }
    if (skipped > 0)
        print(options.input + (skipped == 1 ? QStringLiteral(": 1 card skipped")
                                            : QStringLiteral(": %1 cards skipped").arg(skipped)));
    return 0;
}

} // namespace montera::sets
