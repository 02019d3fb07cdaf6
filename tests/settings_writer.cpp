// Rewrites the settings file in the folder given as its argument through
// INIWrite, without end, alternating two contents of different lengths. The
// settings kill test starts it and kills it at random moments.

#include "globals.h"
#include "settingsfile.h"
#include "settingsview.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

namespace {

// A settings window whose list has one set selected.
class SelectedSet final : public montera::SettingsView {
public:
    explicit SelectedSet(QString name)
        : m_name(std::move(name))
    {}
    void setListFolders(const QStringList&) override {}
    int itemCount() const override { return 1; }
    QString itemText(int) const override { return m_name; }
    void selectItem(int) override {}
    QString selectedItemText() const override { return m_name; }
    void setModeChecked(int) override {}
    bool isModeChecked(int) const override { return false; }
    void setDisplaySize(montera::DisplaySize) override {}
    montera::DisplaySize displaySize() const override { return montera::DisplaySize::Standard; }
    void setShowAnswer(bool) override {}
    bool isShowAnswerChecked() const override { return false; }
    void setLearn(bool) override {}
    bool isLearnChecked() const override { return false; }
    void setHeader(const QString&, const QString&, const QString&) override {}
    void showBrowserError() override {}
    void showSaveError(const QString&, const QString&) override {}
    void unload() override {}

private:
    QString m_name;
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2 || !QDir::setCurrent(QString::fromLocal8Bit(argv[1])))
        return 2;
    const SelectedSet shortName(QStringLiteral("a.qiz"));
    const SelectedSet longName(QStringLiteral("一般教養サンプル第二集.5tq"));
    montera::Settings settings;
    for (long round = 0;; ++round) {
        settings.SelectedMode = round % 2 == 0 ? 0 : 3;
        montera::INIWrite(round % 2 == 0 ? shortName : longName, settings, montera::kSettingsFileName);
        if (round == 1) {
            // Both contents are on disk once: the test may start killing.
            std::puts("writing");
            std::fflush(stdout);
        }
    }
}
