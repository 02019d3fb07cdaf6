// montera-sets: looks at question-set files the way the program loads them.

#include "bank.h"
#include "check.h"
#include "fileutil.h"
#include "findings.h"
#include "json.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace montera;

constexpr const char* kUsage =
    "Usage: montera-sets dump FILE\n"
    "       montera-sets check [--json] FILE...\n"
    "\n"
    "  dump FILE   Load FILE exactly as the screensaver does and print the question\n"
    "              bank as one JSON object (UTF-8): the load status (ok, unrecognised,\n"
    "              unreadable or invalid), last_question, the set's title, creator and\n"
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
    "              missing or repeated choices, an answer outside 1 to 5, an\n"
    "              incomplete last question, overlapping 5TQ blocks, bytes that are\n"
    "              no code page 932 character); errors are why it would show its\n"
    "              error entry instead of the set.\n"
    "              --json prints the same as one JSON array (UTF-8).\n"
    "              Exit status: 0 when every set loads, 1 when one does not, 2 on a\n"
    "              usage error.\n";

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
            std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
        }
    }
    if (asJson) {
        const QByteArray out = check::formatJson(reports);
        std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
    }
    return allLoad ? 0 : 1;
}

int dump(const QString& fileName)
{
    auto bank = std::make_unique<QuestionBank>();
    std::int16_t mode = 0;
    LoadReport report;
    const LoadOutcome outcome = LoadQuestion(*bank, mode, fileName, &report);
    const QByteArray out = dumpJson(*bank, outcome, report.encoding);
    std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
    return outcome == LoadOutcome::Ok ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    setOversizeWarning([] {
        std::fputs("montera-sets: warning: ファイルサイズが大きすぎます (the file is longer "
                   "than 640001 bytes; only its start is read)\n",
                   stderr);
    });
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 1 && (args[0] == u"--help" || args[0] == u"-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.size() == 2 && args[0] == u"dump")
        return dump(args[1]);
    if (!args.isEmpty() && args[0] == u"check") {
        const int status = checkSets(args.mid(1));
        if (status >= 0)
            return status;
    }
    std::fputs(kUsage, stderr);
    return 2;
}
