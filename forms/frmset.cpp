#include "frmset.h"
#include "idlestart.h"
#include "twips.h"

#include <QCloseEvent>
#include <QDir>

#include <algorithm>

namespace montera {

FileListBox::FileListBox(const QString& pattern, QWidget* parent)
    : QListWidget(parent)
    , m_pattern(pattern)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
}

QItemSelectionModel::SelectionFlags FileListBox::selectionCommand(const QModelIndex& index,
                                                                  const QEvent* event) const
{
    const QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
    // Ctrl with a click or Space deselects the selected item, and a click
    // beside the items may clear the selection: either would leave the list
    // without a set while the header still shows the old one.
    const bool deselects =
        command.testAnyFlags(QItemSelectionModel::Deselect | QItemSelectionModel::Toggle) ||
        (command.testFlag(QItemSelectionModel::Clear) && !index.isValid());
    return deselects ? QItemSelectionModel::NoUpdate : command;
}

namespace {

// A text as case-folded code points: two characters that are the same without
// regard to case fold to the same code point.
QList<uint> foldedCodePoints(const QString& text)
{
    QList<uint> codePoints = text.toUcs4();
    for (uint& codePoint : codePoints)
        codePoint = QChar::toCaseFolded(codePoint);
    return codePoints;
}

// Whether the whole name matches the wildcard, both as folded code points: "*"
// stands for any run of characters, "?" for any one, every other character for
// itself. Matched by hand rather than as a regular expression, which would
// load and compile the regular-expression engine at every start of the show.
bool wildcardMatches(const QList<uint>& wildcard, const QList<uint>& name)
{
    qsizetype w = 0;
    qsizetype n = 0;
    // Where the last star was met, and the name's place then: on a mismatch
    // that star takes one character more.
    qsizetype star = -1;
    qsizetype starName = 0;
    while (n < name.size()) {
        if (w < wildcard.size() && wildcard[w] == u'*') {
            star = w++;
            starName = n;
        } else if (w < wildcard.size() && (wildcard[w] == u'?' || wildcard[w] == name[n])) {
            ++w;
            ++n;
        } else if (star >= 0) {
            w = star + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (w < wildcard.size() && wildcard[w] == u'*')
        ++w;
    return w == wildcard.size();
}

} // namespace

QStringList FileListBox::matchingFiles(const QStringList& folders, const QString& pattern)
{
    QList<QList<uint>> wildcards;
    for (const QString& wildcard : pattern.split(u';', Qt::SkipEmptyParts))
        wildcards.append(foldedCodePoints(wildcard.trimmed()));
    QStringList names;
    for (const QString& folder : folders) {
        if (folder.isEmpty())
            continue;
        // Only plain files are listed; hidden ones are left out as the
        // system's file lists leave them out.
        const QStringList entries = QDir(folder).entryList(QDir::Files, QDir::Unsorted);
        for (const QString& entry : entries) {
            const QList<uint> name = foldedCodePoints(entry);
            const bool matches =
                std::any_of(wildcards.cbegin(), wildcards.cend(),
                            [&](const QList<uint>& wildcard) { return wildcardMatches(wildcard, name); });
            if (matches) {
                names.append(entry);
            }
        }
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = QString::compare(a, b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    // A name in several folders stands for one set, the first folder's.
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

void FileListBox::setFolders(const QStringList& folders)
{
    clear();
    addItems(matchingFiles(folders, m_pattern));
}

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, QRect geometry, const QString& text)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(geometry);
    label->setText(text);
    return label;
}

// The three caption labels are right-justified towards their values.
QLabel* makeCaption(QWidget* parent, const char* name, QRect geometry, const QString& text)
{
    QLabel* label = makeLabel(parent, name, geometry, text);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

// The value labels show the set's header inside a single-line border.
QLabel* makeValue(QWidget* parent, const char* name, QRect geometry)
{
    QLabel* label = makeLabel(parent, name, geometry, {});
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    return label;
}

// Command buttons: Enter presses the one that has the focus, as Space does.
// Outside a dialog an auto-default button is never the window's default, so
// Enter on any other control presses nothing.
QPushButton* makeButton(QWidget* parent, const char* name, QRect geometry, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setAutoDefault(true);
    button->setDefault(false);
    return button;
}

QCheckBox* makeCheckBox(QWidget* parent, const char* name, QRect geometry, const QString& caption)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    return box;
}

QRadioButton* makeOption(QWidget* parent, int index, QRect geometry, const QString& caption)
{
    auto* option = new QRadioButton(caption, parent);
    option->setObjectName(QStringLiteral("optMode%1").arg(index));
    option->setGeometry(geometry);
    return option;
}

} // namespace

frmSet::frmSet(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmSet"));
    setWindowTitle(QString::fromUtf8(kTitle));
    setFixedSize(twipsRect(0, 0, 8760, 4560).size());
    // The places were drawn for a proportional Japanese dialog font. Where the
    // desktop's font has no Japanese of its own, the system's fallback may be
    // a fixed-width face, whose wider kana push texts out of their places:
    // the proportional Gothic of the show takes the Japanese instead.
    QFont dialogFont = font();
    dialogFont.setFamilies({dialogFont.family(), drawnFamily(QStringLiteral("ＭＳ Ｐゴシック"))});
    setFont(dialogFont);

    // Made from back to front, since siblings created later are drawn in front.
    Frame1[0] = new QGroupBox(QStringLiteral("問題集の選択"), this);
    Frame1[0]->setObjectName(QStringLiteral("Frame1_0"));
    Frame1[0]->setGeometry(twipsRect(120, 120, 5775, 2055));
    QWidget* sets = Frame1[0];
    Label1 = makeCaption(sets, "Label1", twipsRect(1920, 240, 855, 255), QStringLiteral("タイトル"));
    Label2 = makeCaption(sets, "Label2", twipsRect(1920, 600, 855, 255), QStringLiteral("バージョン"));
    Label3 = makeCaption(sets, "Label3", twipsRect(1920, 960, 855, 255), QStringLiteral("作成者"));
    lblTitle = makeValue(sets, "lblTitle", twipsRect(2880, 240, 2775, 255));
    lblVersion = makeValue(sets, "lblVersion", twipsRect(2880, 600, 2775, 255));
    lblCreater = makeValue(sets, "lblCreater", twipsRect(2880, 960, 2775, 255));
    cmdGetQuestion = makeButton(sets, "cmdGetQuestion", twipsRect(1920, 1440, 3735, 495),
                                QStringLiteral("新しい問題集をダウンロードする"));
    lstSetList = new FileListBox(QString::fromLatin1(kListPattern), sets);
    lstSetList->setObjectName(QStringLiteral("lstSetList"));
    lstSetList->setGeometry(twipsRect(120, 240, 1695, 1710));

    cmdOK = makeButton(this, "cmdOK", twipsRect(1680, 4080, 1215, 375), QStringLiteral("OK"));
    cmdCancel = makeButton(this, "cmdCancel", twipsRect(3120, 4080, 1215, 375), QStringLiteral("ｷｬﾝｾﾙ"));
    Frame1[1] = new QGroupBox(QStringLiteral("難易度"), this);
    Frame1[1]->setObjectName(QStringLiteral("Frame1_1"));
    Frame1[1]->setGeometry(twipsRect(120, 2280, 5775, 1695));

    // The mode buttons belong to the window, not to the frame they lie in;
    // being siblings they form one exclusive group.
    optMode[1] = makeOption(this, 1, twipsRect(240, 2880, 5535, 255),
                            QStringLiteral("勉強モード（１問正解するまで終了しない）"));
    optMode[2] = makeOption(this, 2, twipsRect(240, 3240, 5535, 255),
                            QStringLiteral("受験モード（５問正解するまで終了しない）"));
    optMode[3] = makeOption(this, 3, twipsRect(240, 3600, 5535, 255),
                            QStringLiteral(" 鬼　モード（１０問正解するまで終了しない）"));
    optMode[0] = makeOption(this, 0, twipsRect(240, 2520, 5535, 255),
                            QStringLiteral("通常モード（マウスを動かすと終了）"));
    optMode[0]->setChecked(true);

    // The display frame to the right of the designed controls. It holds no
    // option button, which would join the mode buttons' group.
    fraDisplay = new QGroupBox(QStringLiteral("表示"), this);
    fraDisplay->setObjectName(QStringLiteral("fraDisplay"));
    fraDisplay->setGeometry(twipsRect(6000, 120, 2640, 3855));
    lblSize = makeLabel(fraDisplay, "lblSize", twipsRect(120, 240, 2400, 255), QStringLiteral("表示サイズ"));
    cboSize = new QComboBox(fraDisplay);
    cboSize->setObjectName(QStringLiteral("cboSize"));
    cboSize->setGeometry(twipsRect(120, 540, 2400, 315));
    cboSize->addItems({QStringLiteral("標準"), QStringLiteral("大"), QStringLiteral("画面に合わせる")});
    chkShowAnswer = makeCheckBox(fraDisplay, "chkShowAnswer", twipsRect(120, 1080, 2400, 255),
                                 QStringLiteral("正解を表示する"));
    chkLearn = makeCheckBox(fraDisplay, "chkLearn", twipsRect(120, 1440, 2400, 255),
                            QStringLiteral("苦手な問題を優先する"));
    chkLearn->setToolTip(QStringLiteral("オンにすると、まちがえた問題の正解を必ず表示します"));
    chkIdle = makeCheckBox(fraDisplay, "chkIdle", twipsRect(120, 1920, 2400, 255),
                           QStringLiteral("操作がないときに起動する"));
    lblWait = makeLabel(fraDisplay, "lblWait", twipsRect(120, 2310, 1000, 255), QStringLiteral("待ち時間"));
    spnWait = new QSpinBox(fraDisplay);
    spnWait->setObjectName(QStringLiteral("spnWait"));
    spnWait->setGeometry(twipsRect(1200, 2265, 1320, 315));
    spnWait->setRange(kFewestWaitMinutes, kMostWaitMinutes);
    spnWait->setValue(kDefaultWaitMinutes);
    spnWait->setSuffix(QStringLiteral("分"));
    lblIdleNote = makeLabel(fraDisplay, "lblIdleNote", twipsRect(120, 2640, 2400, 510), {});
    lblIdleNote->setWordWrap(true);
    lblIdleNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblIdleNote->hide();
    // The wait means nothing while the show does not start by itself.
    for (QWidget* wait : {static_cast<QWidget*>(lblWait), static_cast<QWidget*>(spnWait)}) {
        wait->setEnabled(false);
        connect(chkIdle, &QCheckBox::toggled, wait, &QWidget::setEnabled);
    }
    cmdStats = makeButton(fraDisplay, "cmdStats", twipsRect(120, 3240, 2400, 495), QStringLiteral("成績"));

    for (QGroupBox* frame : {Frame1[0], Frame1[1], fraDisplay}) {
        frame->setFocusPolicy(Qt::NoFocus);
    }
    const std::array<QWidget*, 14> tabOrder{cmdOK,      cmdCancel,  cmdGetQuestion, optMode[1], optMode[2],
                                            optMode[3], optMode[0], lstSetList,     cboSize,    chkShowAnswer,
                                            chkLearn,   chkIdle,    spnWait,        cmdStats};
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    cmdOK->setFocus();
}

frmSet::~frmSet() = default;

void frmSet::unload()
{
    runUnload();
    close();
}

void frmSet::runUnload()
{
    if (m_unloaded) {
        return;
    }
    m_unloaded = true;
    emit unloading();
}

void frmSet::closeEvent(QCloseEvent* event)
{
    // The window never refuses to unload.
    runUnload();
    event->accept();
}

} // namespace montera
