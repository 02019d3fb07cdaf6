// montera-sets: looks at question-set files the way the program loads them.

#include "bank.h"
#include "fileutil.h"
#include "json.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <memory>

namespace {

using namespace montera;

constexpr const char* kUsage =
    "Usage: montera-sets dump FILE\n"
    "\n"
    "  dump FILE   Load FILE exactly as the screensaver does and print the question\n"
    "              bank as one JSON object (UTF-8): the load status (ok, unrecognised,\n"
    "              unreadable or invalid), last_question, the set's title, creator and\n"
    "              version, and the questions 0 to last_question with their title,\n"
    "              text, five choices and the 0-based answer. After a failed load the\n"
    "              one question is the error entry the screensaver would show.\n"
    "              Exit status: 0 when the set loads, 1 when it does not, 2 on a usage\n"
    "              error.\n";

const char* statusName(LoadOutcome outcome)
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

QByteArray dumpJson(const QuestionBank& bank, LoadOutcome outcome)
{
    QByteArray out = "{\"status\": \"";
    out += statusName(outcome);
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

int dump(const QString& fileName)
{
    auto bank = std::make_unique<QuestionBank>();
    std::int16_t mode = 0;
    const LoadOutcome outcome = LoadQuestion(*bank, mode, fileName);
    const QByteArray out = dumpJson(*bank, outcome);
    std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
    return outcome == LoadOutcome::Ok ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    setOversizeWarning([] { std::fputs("montera-sets: warning: ファイルサイズが大きすぎます (the file is longer "
                                       "than 640001 bytes; only its start is read)\n",
                                       stderr); });
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 1 && (args[0] == u"--help" || args[0] == u"-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.size() == 2 && args[0] == u"dump")
        return dump(args[1]);
    std::fputs(kUsage, stderr);
    return 2;
}
