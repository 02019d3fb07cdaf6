// The settings-file reader on any file content, with a list of sets in which
// the stored name may or may not be found.

#include "fuzzutil.h"
#include "globals.h"
#include "settingsfile.h"
#include "settingsview.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

class ListView final : public montera::SettingsView {
public:
    void setListFolders(const QStringList&) override {}
    int itemCount() const override { return 3; }
    QString itemText(int index) const override { return m_items[index]; }
    void selectItem(int index) override
    {
        if (index < 0 || index >= 3)
            std::abort();
        m_selected = index;
    }
    QString selectedItemText() const override { return m_selected < 0 ? QString() : m_items[m_selected]; }
    void setModeChecked(int mode) override
    {
        if (mode < 0 || mode > 3)
            std::abort();
        m_mode = mode;
    }
    bool isModeChecked(int mode) const override { return mode == m_mode; }
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
    const QString m_items[3] = {QStringLiteral("a.qiz"), QStringLiteral("問題.5tq"), QStringLiteral("b.qiz")};
    int m_selected = -1;
    int m_mode = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(montera::kSettingsFileName);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.close();

    ListView view;
    montera::Settings settings;
    montera::INIRead(view, settings, path);
    if (settings.Mode < 0 || settings.Mode > 3)
        std::abort();
    return 0;
}
