#include "dump.h"

#include "json.h"

namespace montera::sets {

QByteArray dumpJson(const QuestionBank& bank, LoadOutcome outcome, TextEncoding encoding)
{
    QByteArray out = "{\"status\": \"";
    out += loadOutcomeName(outcome);
    out += "\", \"encoding\": \"";
    out += textEncodingName(encoding);
    out += "\", \"last_question\": " + QByteArray::number(bank.LastQuestion);
    out += ", \"set_title\": " + json::quote(bank.SetTitle);
    out += ", \"set_creator\": " + json::quote(bank.SetCreator);
    out += ", \"set_version\": " + json::quote(bank.SetVersion);
    out += ", \"questions\": [";
    for (int q = 0; q <= bank.LastQuestion; ++q) {
        if (q > 0)
            out += ", ";
        out += "{\"title\": " + json::quote(bank.QuestionTitle[q]);
        out += ", \"text\": " + json::quote(bank.QuestionText[q]);
        out += ", \"choices\": [";
        for (int c = 0; c < kChoiceCount; ++c) {
            if (c > 0)
                out += ", ";
            out += json::quote(bank.Choices[q][c]);
        }
        out += "], \"answer\": " + QByteArray::number(bank.AnswerIndex[q]) + "}";
    }
    out += "]}\n";
    return out;
}

} // namespace montera::sets
