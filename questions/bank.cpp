#include "bank.h"

#include "fileutil.h"
#include "globals.h"
#include "readers.h"

namespace montera {

QuestionBank::QuestionBank()
    : QuestionText(kBankCapacity)
    , QuestionTitle(kBankCapacity)
    , Choices(kBankCapacity)
    , AnswerIndex(kBankCapacity, 0)
{}

void QuestionBank::clear()
{
    for (int i = 0; i < kBankCapacity; ++i) {
        QuestionText[i].clear();
        QuestionTitle[i].clear();
        for (QString& choice : Choices[i])
            choice.clear();
        AnswerIndex[i] = 0;
    }
    LastQuestion = 0;
    SetTitle.clear();
    SetCreator.clear();
    SetVersion.clear();
}

QuestionBank& globalBank()
{
    static QuestionBank bank;
    return bank;
}

Settings& globalSettings()
{
    static Settings settings;
    return settings;
}

const char* loadOutcomeName(LoadOutcome outcome)
{
    switch (outcome) {
    case LoadOutcome::Ok:
        return "ok";
    case LoadOutcome::Unrecognised:
        return "unrecognised";
    case LoadOutcome::Unreadable:
        return "unreadable";
    case LoadOutcome::Invalid:
        return "invalid";
    }
    return "invalid";
}

bool hasRightChoice(const QuestionBank& bank)
{
    const int last = qBound(0, bank.LastQuestion, kBankCapacity - 1);
    for (int q = 0; q <= last; ++q) {
        if (bank.AnswerIndex[q] >= 0 && bank.AnswerIndex[q] < kChoiceCount)
            return true;
    }
    return false;
}

void QError(QuestionBank& bank, std::int16_t& mode, const QString& message)
{
    mode = 0;
    bank.LastQuestion = 0;
    bank.QuestionText[0] = message;
    bank.AnswerIndex[0] = -1;
}

namespace {

template<typename Content, typename ReadFile, typename Reader>
LoadOutcome loadWith(QuestionBank& bank, std::int16_t& mode, const QString& fileName, ReadFile readFile,
                     Reader reader)
{
    Content content;
    if (!readFile(fileName, content)) {
        QError(bank, mode, kErrorUnreadable);
        return LoadOutcome::Unreadable;
    }
    if (reader(bank, content) == 0) {
        QError(bank, mode, kErrorInvalid);
        return LoadOutcome::Invalid;
    }
    return LoadOutcome::Ok;
}

} // namespace

LoadOutcome LoadQuestion(QuestionBank& bank, std::int16_t& mode, const QString& fileName)
{
    bank.clear();
    const QString ending = fileName.right(3).toUpper();
    if (ending == u"QIZ")
        return loadWith<QStringList>(bank, mode, fileName, ReadTextLines, ReadQIZ);
    if (ending == u"5TX")
        return loadWith<QString>(bank, mode, fileName, ReadTextFile, Read5TX);
    if (ending == u"5TQ")
        return loadWith<QByteArray>(bank, mode, fileName, ReadBinaryFile, Read5TQ);
    QError(bank, mode, kErrorNoSet);
    return LoadOutcome::Unrecognised;
}

} // namespace montera
