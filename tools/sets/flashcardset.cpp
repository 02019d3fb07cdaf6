#include "flashcardset.h"

#include "distractors.h"
#include "textfit.h"

#include <set>

namespace montera::sets {

QString skipReasonOf(const Card& card)
{
    if (!card.skipReason.isEmpty())
        return card.skipReason;
    if (card.question.trimmed().isEmpty())
        return QStringLiteral("its question is empty as text");
    if (card.answer.trimmed().isEmpty())
        return QStringLiteral("its answer is empty as text");
    const QString wide = choiceFitProblem(card.answer.trimmed());
    if (!wide.isEmpty())
        return wide;
    return questionFitProblem(card.question);
}

std::vector<WrittenSet> setsOfDeck(const Deck& deck, std::uint64_t seed, CardProblems& problems)
{
    if (deck.cards.empty())
        return {};
    std::vector<Card> usable;
    std::set<QString> answers;
    for (const Card& card : deck.cards) {
        const QString reason = skipReasonOf(card);
        if (!reason.isEmpty()) {
            problems.push_back(
                {ProblemKind::Warning, card.origin, QStringLiteral("the card is skipped: ") + reason});
            continue;
        }
        usable.push_back(card);
        answers.insert(answerKey(card.answer));
    }
    if (answers.size() < size_t(kChoiceCount)) {
        problems.push_back({ProblemKind::Warning,
                            {},
                            QStringLiteral("the deck %1 is skipped: its cards have %2 distinct answers, "
                                           "and a question takes five")
                                .arg(deck.name)
                                .arg(answers.size())});
        return {};
    }
    const std::vector<WrittenQuestion> questions = questionsOf(usable, seed, problems);
    std::vector<WrittenSet> sets;
    for (size_t at = 0; at < questions.size(); at += size_t(kBankCapacity)) {
        WrittenSet set;
        set.title = deck.name;
        const size_t end = std::min(questions.size(), at + size_t(kBankCapacity));
        set.questions.assign(questions.begin() + qsizetype(at), questions.begin() + qsizetype(end));
        for (WrittenQuestion& question : set.questions)
            question.title = deck.name;
        sets.push_back(std::move(set));
    }
    return sets;
}

QString fileStemOf(const QString& deckName)
{
    QString stem = deckName;
    stem.replace(QStringLiteral("::"), QStringLiteral("-"));
    for (QChar& ch : stem) {
        if (QStringLiteral("/\\:*?\"<>|").contains(ch) || ch.unicode() < 0x20)
            ch = u'_';
    }
    return stem.isEmpty() ? QStringLiteral("deck") : stem;
}

} // namespace montera::sets
