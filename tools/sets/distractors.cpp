#include "distractors.h"

#include "textfit.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <unordered_map>
#include <unordered_set>

namespace montera::sets {

namespace {

// A hash that stays the same across runs, builds and platforms, unlike
// qHash: the choices of a card must not change with the program.
std::uint64_t mixed(std::uint64_t value)
{
    value += 0x9E3779B97F4A7C15ULL;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ULL;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBULL;
    return value ^ (value >> 31);
}

std::uint64_t hashOf(const QString& text, std::uint64_t seed)
{
    std::uint64_t hash = 0xCBF29CE484222325ULL ^ mixed(seed);
    for (const QChar ch : text)
        hash = (hash ^ ch.unicode()) * 0x100000001B3ULL;
    return mixed(hash);
}

bool isHan(char16_t ch)
{
    return (ch >= 0x4E00 && ch <= 0x9FFF) || (ch >= 0x3400 && ch <= 0x4DBF) || ch == u'々';
}

bool isKana(char16_t ch)
{
    return (ch >= 0x3041 && ch <= 0x30FF) || (ch >= 0xFF66 && ch <= 0xFF9F);
}

struct Candidate {
    QString text; // as the first card that has it writes it
    std::uint64_t hash = 0;
};

// The candidates that share a kind, at each level of likeness.
using GroupKey = std::uint32_t;
constexpr int kLevels = 4;

std::array<GroupKey, kLevels> groupsOf(const AnswerKind& kind)
{
    const auto script = GroupKey(kind.script) + 1;
    const auto shape = GroupKey(kind.shape) + 1;
    return {script << 16 | shape << 8 | GroupKey(kind.lengthBand + 1), script << 16 | shape << 8,
            script << 16, 0};
}

struct Pool {
    std::vector<Candidate> candidates;
    std::unordered_map<QString, int> byKey;
    std::array<std::unordered_map<GroupKey, std::vector<int>>, kLevels> groups;
    std::vector<QString> cardKeys; // the answer key of each card
    // The answers that other cards with the same question have.
    std::unordered_map<QString, std::vector<int>> answersOfQuestion;
    std::vector<QString> questionKeys;
};

Pool poolOf(const std::vector<Card>& cards, std::uint64_t seed)
{
    Pool pool;
    for (const Card& card : cards) {
        const QString key = answerKey(card.answer);
        pool.cardKeys.push_back(key);
        auto [at, added] = pool.byKey.try_emplace(key, int(pool.candidates.size()));
        if (added) {
            pool.candidates.push_back({card.answer.trimmed(), hashOf(key, seed)});
            const auto groups = groupsOf(kindOf(card.answer));
            for (int level = 0; level < kLevels; ++level)
                pool.groups[size_t(level)][groups[size_t(level)]].push_back(at->second);
        }
        const QString question = answerKey(card.question);
        pool.questionKeys.push_back(question);
        pool.answersOfQuestion[question].push_back(at->second);
    }
    return pool;
}

// Places the five choices in an order drawn from the card and the choices
// alone; the answer's place is where the right one lands.
WrittenQuestion ordered(const Card& card, std::array<QString, kChoiceCount> choices, std::uint64_t cardHash)
{
    std::array<std::pair<std::uint64_t, int>, kChoiceCount> order;
    for (int c = 0; c < kChoiceCount; ++c)
        order[size_t(c)] = {hashOf(choices[size_t(c)], cardHash), c};
    std::sort(order.begin(), order.end());
    WrittenQuestion question;
    question.text = card.question;
    question.origin = card.origin;
    for (int c = 0; c < kChoiceCount; ++c) {
        question.choices[size_t(c)] = choices[size_t(order[size_t(c)].second)];
        if (order[size_t(c)].second == 0)
            question.answer = c + 1;
    }
    return question;
}

const QString kTooFew =
    QStringLiteral("the card is skipped: its deck has fewer than four other answers for it");

} // namespace

QString answerKey(const QString& answer)
{
    return answer.normalized(QString::NormalizationForm_KC).trimmed().toCaseFolded();
}

AnswerKind kindOf(const QString& answer)
{
    static const QRegularExpression year(QStringLiteral("^(紀元前)?[0-9]{3,4}年?$"));
    static const QRegularExpression number(QStringLiteral("^[-+]?[0-9][0-9,]*(\\.[0-9]+)?$"));
    static const QRegularExpression withUnit(QStringLiteral("^[^0-9]{0,3}[-+]?[0-9][0-9,.]*\\s*\\S{1,6}$"));
    static const QRegularExpression phrase(QStringLiteral("[\\s、。,;・]"));
    const QString text = answer.normalized(QString::NormalizationForm_KC).trimmed();
    AnswerKind kind;
    int han = 0;
    int kana = 0;
    int latin = 0;
    int digits = 0;
    int other = 0;
    for (const QChar ch : text) {
        if (isHan(ch.unicode()))
            ++han;
        else if (isKana(ch.unicode()))
            ++kana;
        else if (ch.isDigit())
            ++digits;
        else if (ch.isLetter() && ch.unicode() < 0x250)
            ++latin;
        else if (ch.isLetter())
            ++other;
    }
    if (year.match(text).hasMatch())
        kind.shape = AnswerKind::Shape::Year;
    else if (number.match(text).hasMatch())
        kind.shape = AnswerKind::Shape::Number;
    else if (digits > 0 && withUnit.match(text).hasMatch())
        kind.shape = AnswerKind::Shape::NumberWithUnit;
    else if (text.contains(phrase))
        kind.shape = AnswerKind::Shape::Phrase;
    if (kind.shape == AnswerKind::Shape::Year || kind.shape == AnswerKind::Shape::Number ||
        kind.shape == AnswerKind::Shape::NumberWithUnit)
        kind.script = AnswerKind::Script::Digits;
    else if (han > 0 && kana > 0)
        kind.script = AnswerKind::Script::KanjiKana;
    else if (han > 0)
        kind.script = AnswerKind::Script::Kanji;
    else if (kana > 0)
        kind.script = AnswerKind::Script::Kana;
    else if (latin > 0 && latin >= other)
        kind.script = AnswerKind::Script::Latin;
    else if (digits > 0 && other == 0)
        kind.script = AnswerKind::Script::Digits;
    // Bands of width that grow with it: a few characters more matter less
    // in a long answer.
    static constexpr int kBandEnds[] = {2, 4, 6, 9, 13, 19, 28, 40};
    const int width = halfWidthUnits(text);
    kind.lengthBand =
        int(std::upper_bound(std::begin(kBandEnds), std::end(kBandEnds), width - 1) - std::begin(kBandEnds));
    return kind;
}

std::vector<WrittenQuestion> questionsOf(const std::vector<Card>& cards, std::uint64_t seed,
                                         CardProblems& problems)
{
    const Pool pool = poolOf(cards, seed);
    std::vector<WrittenQuestion> questions;
    questions.reserve(cards.size());
    for (size_t i = 0; i < cards.size(); ++i) {
        const Card& card = cards[i];
        const int own = pool.byKey.at(pool.cardKeys[i]);
        const std::vector<int>& sameQuestion = pool.answersOfQuestion.at(pool.questionKeys[i]);
        const std::uint64_t cardHash = hashOf(pool.questionKeys[i] + QChar(0x1F) + pool.cardKeys[i], seed);
        // Of each group, the candidates whose hash mixed with the card's is
        // lowest: adding a card to the deck changes a card's choices only
        // when the new answer beats one of them.
        std::array<int, 4> chosen{};
        int count = 0;
        const auto groups = groupsOf(kindOf(card.answer));
        for (int level = 0; level < kLevels && count < 4; ++level) {
            const int before = count;
            std::array<std::pair<std::uint64_t, int>, 4> best;
            int bestCount = 0;
            const std::vector<int>& group = pool.groups[size_t(level)].at(groups[size_t(level)]);
            for (const int candidate : group) {
                if (candidate == own ||
                    std::find(chosen.begin(), chosen.begin() + before, candidate) !=
                        chosen.begin() + before ||
                    std::find(sameQuestion.begin(), sameQuestion.end(), candidate) != sameQuestion.end())
                    continue;
                const std::pair<std::uint64_t, int> entry{
                    mixed(cardHash ^ pool.candidates[size_t(candidate)].hash), candidate};
                const int room = 4 - before;
                if (bestCount < room) {
                    best[size_t(bestCount++)] = entry;
                    std::push_heap(best.begin(), best.begin() + bestCount);
                } else if (entry < best[0]) {
                    std::pop_heap(best.begin(), best.begin() + bestCount);
                    best[size_t(bestCount - 1)] = entry;
                    std::push_heap(best.begin(), best.begin() + bestCount);
                }
            }
            std::sort_heap(best.begin(), best.begin() + bestCount);
            for (int k = 0; k < bestCount; ++k)
                chosen[size_t(count++)] = best[size_t(k)].second;
        }
        if (count < 4) {
            problems.push_back({ProblemKind::Warning, card.origin, kTooFew});
            continue;
        }
        std::array<QString, kChoiceCount> choices;
        choices[0] = card.answer.trimmed();
        for (int k = 0; k < 4; ++k)
            choices[size_t(k + 1)] = pool.candidates[size_t(chosen[size_t(k)])].text;
        questions.push_back(ordered(card, choices, cardHash));
    }
    return questions;
}

std::vector<WrittenQuestion> questionsWithRandomChoices(const std::vector<Card>& cards, std::uint64_t seed)
{
    const Pool pool = poolOf(cards, seed);
    std::vector<WrittenQuestion> questions;
    const auto size = std::uint64_t(pool.candidates.size());
    for (size_t i = 0; i < cards.size(); ++i) {
        const int own = pool.byKey.at(pool.cardKeys[i]);
        const std::vector<int>& sameQuestion = pool.answersOfQuestion.at(pool.questionKeys[i]);
        std::uint64_t state = hashOf(pool.questionKeys[i] + QChar(0x1F) + pool.cardKeys[i], seed);
        std::vector<int> chosen;
        for (int tries = 0; chosen.size() < 4 && tries < 1000; ++tries) {
            state = mixed(state);
            const int candidate = int(state % size);
            if (candidate != own && std::find(chosen.begin(), chosen.end(), candidate) == chosen.end() &&
                std::find(sameQuestion.begin(), sameQuestion.end(), candidate) == sameQuestion.end())
                chosen.push_back(candidate);
        }
        if (chosen.size() < 4)
            continue;
        std::array<QString, kChoiceCount> choices;
        choices[0] = cards[i].answer.trimmed();
        for (int k = 0; k < 4; ++k)
            choices[size_t(k + 1)] = pool.candidates[size_t(chosen[size_t(k)])].text;
        questions.push_back(ordered(cards[i], choices, state));
    }
    return questions;
}

} // namespace montera::sets
