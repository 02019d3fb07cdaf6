#pragma once

#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace montera {

inline constexpr int kBankCapacity = 2048;
inline constexpr int kChoiceCount = 5;

// The one table of questions the program works on: filled by the readers,
// drawn from by the show, and read for its header by the settings window.
// Entries are addressed 0 to kBankCapacity - 1; LastQuestion is the index of
// the last valid one.
struct QuestionBank {
    QuestionBank();

    // Empties every entry and the set strings; the extent stays. Only the
    // entries up to the highest one marked filled are touched, so that
    // clearing after a small set costs little.
    void clear();

    // Whoever writes an entry marks it first: the readers and QError.
    void markFilled(int entry) { m_filled = std::max(m_filled, entry + 1); }

    std::vector<QString> QuestionText;
    std::vector<QString> QuestionTitle;
    std::vector<std::array<QString, kChoiceCount>> Choices; // [question][choice]
    std::vector<std::int16_t> AnswerIndex;
    int LastQuestion = 0;
    QString SetTitle;
    QString SetCreator;
    QString SetVersion;

private:
    int m_filled = 0; // entries 0 to m_filled - 1 may hold something
};

// The process's bank. The program has exactly one; tests may build their own.
QuestionBank& globalBank();

enum class LoadOutcome {
    Ok,
    Unrecognised, // the name ends in none of the three formats
    Unreadable,   // the file could not be read
    Invalid,      // the reader found no question
};

// The outcome's name in the set tool's output: ok, unrecognised, unreadable
// or invalid.
const char* loadOutcomeName(LoadOutcome outcome);

inline const QString kErrorNoSet = QStringLiteral("エラー：問題集ファイルを設定してください");
inline const QString kErrorUnreadable = QStringLiteral("エラー：問題集ファイルが読み込めません");
inline const QString kErrorInvalid = QStringLiteral("エラー：問題集ファイルの内容が不正です");

struct LoadReport;

// Empties the bank and fills it from the file, choosing the reader by the last
// three characters of the name. Every failure leaves the single error entry of
// QError in the bank and sets the mode to 0. A report, when given, receives
// the encoding of a text set and the readers' findings.
LoadOutcome LoadQuestion(QuestionBank& bank, std::int16_t& mode, const QString& fileName,
                         LoadReport* report = nullptr);

// True when at least one question of the bank has an answer number that a
// slot can show, 0 to 4. The error entry has none.
bool hasRightChoice(const QuestionBank& bank);

// Turns the bank into the error entry: exactly these four assignments.
void QError(QuestionBank& bank, std::int16_t& mode, const QString& message);

} // namespace montera
