#include "bank.h"

#include "fileutil.h"
#include "findings.h"
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
    for (int i = 0; i < std::min(m_filled, kBankCapacity); ++i) {
        QuestionText[i].clear();
        QuestionTitle[i].clear();
        for (QString& choice : Choices[i])
            choice.clear();
        AnswerIndex[i] = 0;
    }
    m_filled = 0;
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
    bank.markFilled(0);
    bank.LastQuestion = 0;
    bank.QuestionText[0] = message;
    bank.AnswerIndex[0] = -1;
}

namespace {

template<typename Content, typename ReadFile, typename Reader>
LoadOutcome loadWith(QuestionBank& bank, std::int16_t& mode, const QString& fileName, LoadReport* report,
                     ReadFile readFile, Reader reader)
{
    Content content;
    if (!readFile(fileName, content)) {
        QError(bank, mode, kErrorUnreadable);
        return LoadOutcome::Unreadable;
    }
    if (reader(bank, content, report) == 0) {
        QError(bank, mode, kErrorInvalid);
        return LoadOutcome::Invalid;
    }
    return LoadOutcome::Ok;
}

} // namespace

LoadOutcome LoadQuestion(QuestionBank& bank, std::int16_t& mode, const QString& fileName, LoadReport* report)
{
    bank.clear();
    TextEncoding encoding = TextEncoding::Cp932;
    const auto readLines = [&encoding](const QString& name, TextLines& lines) {
        return ReadTextLines(name, lines, encoding);
    };
    const auto readQiz = [](QuestionBank& target, const TextLines& lines, LoadReport* findings) {
        return ReadQIZ(target, lines.lines, findings);
    };
    const auto readText = [&encoding](const QString& name, QString& text) {
        return ReadTextFile(name, text, encoding);
    };
    const QString ending = fileName.right(3).toUpper();
    LoadOutcome outcome = LoadOutcome::Unrecognised;
    if (ending == u"QIZ")
        outcome = loadWith<TextLines>(bank, mode, fileName, report, readLines, readQiz);
    else if (ending == u"5TX")
        outcome = loadWith<QString>(bank, mode, fileName, report, readText, Read5TX);
    else if (ending == u"5TQ")
        outcome = loadWith<QByteArray>(bank, mode, fileName, report, ReadBinaryFileStart, Read5TQ);
    else
        QError(bank, mode, kErrorNoSet);
    if (report)
        report->encoding = encoding;
    return outcome;
}

} // namespace montera
