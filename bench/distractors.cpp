// How well the wrong choices hide the right one: a reader who sees only the
// five choices, never the question, guesses with simple rules, and the share
// it gets right is the set's guess rate (chance is 20 %). Printed for the
// chosen wrong choices and for random ones from the same deck, per deck and
// over all, with the share of wrong choices of the answer's own script and
// shape ("kin"); then the share of a 500-card deck's questions left byte-identical
// when 10 cards are added to it.
//
//     build/bench/distractors [DECK.apkg|LIST.csv|LIST.tsv|LIST.txt ...]
//
// Without arguments it reads the test decks of tests/data/anki/.

#include "distractors.h"
#include "ankipackage.h"
#include "flashcardset.h"
#include "pairtable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>
#include <cstdio>
#include <optional>
#include <random>

namespace {

using namespace montera;
using namespace montera::sets;

enum class Script { Kanji, Kana, Latin, Digit, Other };

Script scriptOf(const QString& text)
{
    int counts[5] = {};
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if ((c >= 0x4E00 && c <= 0x9FFF) || c == u'々')
            ++counts[int(Script::Kanji)];
        else if (c >= 0x3041 && c <= 0x30FF)
            ++counts[int(Script::Kana)];
        else if (ch.isDigit())
            ++counts[int(Script::Digit)];
        else if (ch.isLetter() && c < 0x250)
            ++counts[int(Script::Latin)];
        else if (ch.isLetter())
            ++counts[int(Script::Other)];
    }
    return Script(std::max_element(std::begin(counts), std::end(counts)) - std::begin(counts));
}

bool hasUnit(const QString& text)
{
    static const QRegularExpression unit(QStringLiteral("[0-9]\\s*[^0-9\\s.,]+$"));
    return unit.match(text).hasMatch();
}

// The one choice whose mark no other has, or -1.
template<typename Mark>
int oddOneOut(const std::array<QString, kChoiceCount>& choices, Mark mark)
{
    for (int c = 0; c < kChoiceCount; ++c) {
        bool othersAgree = true;
        const auto own = mark(choices[size_t(c)]);
        std::optional<std::remove_const_t<decltype(own)>> shared;
        for (int o = 0; o < kChoiceCount && othersAgree; ++o) {
            if (o == c)
                continue;
            const auto other = mark(choices[size_t(o)]);
            othersAgree = (!shared || *shared == other) && other != own;
            shared = other;
        }
        if (othersAgree)
            return c;
    }
    return -1;
}

double likeness(const QString& a, const QString& b)
{
    double shared = 0;
    for (const QChar ch : a)
        shared += b.contains(ch) ? 1 : 0;
    return shared / double(std::max<qsizetype>(1, std::max(a.size(), b.size()))) -
           std::abs(double(a.size() - b.size())) / double(std::max<qsizetype>(1, a.size() + b.size()));
}

// The reader's guess, 0-based: the odd script out, the only one with a unit,
// the odd length out, else the choice most like the other four.
int guess(const std::array<QString, kChoiceCount>& choices)
{
    if (const int odd = oddOneOut(choices, scriptOf); odd >= 0)
        return odd;
    if (const int odd = oddOneOut(choices, hasUnit); odd >= 0)
        return odd;
    for (int c = 0; c < kChoiceCount; ++c) {
        double sum = 0;
        double sumSquares = 0;
        for (int o = 0; o < kChoiceCount; ++o) {
            if (o != c) {
                sum += double(choices[size_t(o)].size());
                sumSquares += double(choices[size_t(o)].size() * choices[size_t(o)].size());
            }
        }
        const double mean = sum / 4;
        const double spread = std::sqrt(std::max(0.0, sumSquares / 4 - mean * mean));
        if (std::abs(double(choices[size_t(c)].size()) - mean) > std::max(3.0, 3 * spread))
            return c;
    }
    int best = 0;
    double bestScore = -1e9;
    for (int c = 0; c < kChoiceCount; ++c) {
        double score = 0;
        for (int o = 0; o < kChoiceCount; ++o) {
            if (o != c)
                score += likeness(choices[size_t(c)], choices[size_t(o)]);
        }
        if (score > bestScore) {
            bestScore = score;
            best = c;
        }
    }
    return best;
}

struct Rate {
    int right = 0;
    int asked = 0;
    int sameKind = 0; // wrong choices of the answer's script and shape
    double percent() const { return asked ? 100.0 * right / asked : 0; }
    double sameKindPercent() const { return asked ? 100.0 * sameKind / (4 * asked) : 0; }
};

Rate rateOf(const std::vector<WrittenQuestion>& questions)
{
    Rate rate;
    for (const WrittenQuestion& question : questions) {
        rate.right += guess(question.choices) == question.answer - 1 ? 1 : 0;
        ++rate.asked;
        const AnswerKind answer = kindOf(question.choices[size_t(question.answer - 1)]);
        for (int c = 0; c < kChoiceCount; ++c) {
            const AnswerKind kind = kindOf(question.choices[size_t(c)]);
            rate.sameKind +=
                c != question.answer - 1 && kind.script == answer.script && kind.shape == answer.shape;
        }
    }
    return rate;
}

void printRow(const QString& name, const Rate& chosen, const Rate& random)
{
    std::printf("%-44s %6d %7.1f%% %7.1f%% %9.1f%% %9.1f%%\n", name.toUtf8().constData(), chosen.asked,
                chosen.percent(), random.percent(), chosen.sameKindPercent(), random.sameKindPercent());
}

std::vector<Deck> decksOf(const QString& file)
{
    CardProblems problems;
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == u"apkg" || suffix == u"colpkg")
        return readAnkiPackage(file, FieldChoice{}, problems);
    QFile list(file);
    if (!list.open(QIODevice::ReadOnly))
        return {};
    Deck deck = readPairTable(list.readAll(), suffix == u"csv" ? TableFormat::Csv : TableFormat::Tsv,
                              HeadingRow::Absent, FieldChoice{}, problems);
    deck.name = QFileInfo(file).completeBaseName();
    return {deck};
}

// A deck of 500 made-up cards of several kinds: years, words in kana and in
// Latin letters, kanji, numbers with units.
std::vector<Card> madeUpDeck(int size, std::mt19937& random)
{
    static const QString kana =
        QStringLiteral("かきくけこさしすせそたちつてとなにぬねのまみむめもらりるれろ");
    static const QString kanji = QStringLiteral("山川海空森林木火水金土日月年人大小中上下");
    std::vector<Card> cards;
    for (int i = 0; i < size; ++i) {
        QString answer;
        const int length = 2 + int(random() % 5);
        switch (random() % 5) {
        case 0:
            answer = QStringLiteral("%1年").arg(600 + random() % 1400);
            break;
        case 1:
            for (int k = 0; k < length; ++k)
                answer += kana[qsizetype(random() % kana.size())];
            break;
        case 2:
            for (int k = 0; k < length + 2; ++k)
                answer += QChar(u'a' + char16_t(random() % 26));
            break;
        case 3:
            for (int k = 0; k < length / 2 + 1; ++k)
                answer += kanji[qsizetype(random() % kanji.size())];
            break;
        default:
            answer = QStringLiteral("%1 km").arg(random() % 1000);
            break;
        }
        cards.push_back(Card{QStringLiteral("問%1").arg(i), answer, QString::number(i), {}});
    }
    return cards;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList files = app.arguments().mid(1);
    if (files.isEmpty()) {
        const QDir data(QStringLiteral(MONTERA_TEST_DATA "/anki"));
        for (const QString& name : data.entryList({"npm-*.apkg", "schema*.apkg"}, QDir::Files, QDir::Name))
            files << data.filePath(name);
    }
    Rate chosenAll;
    Rate randomAll;
    std::printf("%-44s %6s %8s %8s %10s %10s\n", "deck", "cards", "chosen", "random", "kin chosen",
                "kin random");
    for (const QString& file : files) {
        for (const Deck& deck : decksOf(file)) {
            std::vector<Card> usable;
            for (const Card& card : deck.cards) {
                if (skipReasonOf(card).isEmpty())
                    usable.push_back(card);
            }
            if (usable.size() < 5)
                continue;
            CardProblems problems;
            const Rate chosen = rateOf(questionsOf(usable, kDefaultSeed, problems));
            const Rate random = rateOf(questionsWithRandomChoices(usable, kDefaultSeed));
            for (auto [all, one] : {std::pair(&chosenAll, &chosen), std::pair(&randomAll, &random)}) {
                all->right += one->right;
                all->asked += one->asked;
                all->sameKind += one->sameKind;
            }
            printRow(QFileInfo(file).fileName() + u':' + deck.name, chosen, random);
        }
    }
    printRow(QStringLiteral("all"), chosenAll, randomAll);

    // A deck whose answers are of many kinds, where random choices give the
    // answer away.
    std::mt19937 random(1);
    {
        const std::vector<Card> mixed = madeUpDeck(500, random);
        CardProblems problems;
        printRow(QStringLiteral("made up, five kinds of answer"),
                 rateOf(questionsOf(mixed, kDefaultSeed, problems)),
                 rateOf(questionsWithRandomChoices(mixed, kDefaultSeed)));
    }

    // Stability: 10 cards added to a 500-card deck, ten times over.
    int same = 0;
    int total = 0;
    for (int run = 0; run < 10; ++run) {
        std::vector<Card> deck = madeUpDeck(510, random);
        const std::vector<Card> before(deck.begin(), deck.begin() + 500);
        CardProblems problems;
        const auto small = questionsOf(before, kDefaultSeed, problems);
        const auto grown = questionsOf(deck, kDefaultSeed, problems);
        for (size_t i = 0; i < small.size(); ++i) {
            same += small[i].choices == grown[i].choices && small[i].answer == grown[i].answer ? 1 : 0;
            ++total;
        }
    }
    std::printf("questions left byte-identical after adding 10 cards to 500: %.1f%%\n", 100.0 * same / total);
    return 0;
}
