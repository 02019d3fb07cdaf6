#include "progresswindow.h"

#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace montera {

namespace {

// The design's blue for the bars, the show's answer green for the share.
const QColor kBarColour(0x00, 0x00, 0x80);
const QColor kShareColour(0x20, 0xA0, 0x20);

// A round number at or above the count whose quarters are whole numbers, so
// that the scale reads well: 4, 8, 20, 40, 60, 80, 100, 200 and so on.
int niceTop(int count)
{
    for (int base = 1;; base *= 10) {
        for (int k : {1, 2, 4, 6, 8}) {
            const int top = k * base;
            if (top >= 4 && top % 4 == 0 && count <= top)
                return top;
        }
    }
}

} // namespace

QString askedAndShare(std::int64_t asked, std::int64_t right)
{
    const qint64 share = asked > 0 ? qRound64(double(right) * 100.0 / double(asked)) : 0;
    return QStringLiteral("%1 問　正答率 %2 %").arg(asked).arg(share);
}

ProgressChart::ProgressChart(QWidget* parent)
    : QWidget(parent)
{
    setMinimumSize(sizeHint());
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ProgressChart::setDays(std::vector<DayFigures> days, QDate lastDay)
{
    m_days = std::move(days);
    m_lastDay = lastDay;
    int most = 0;
    for (const DayFigures& day : m_days)
        most = std::max(most, day.asked);
    m_scaleTop = niceTop(most);
    update();
}

QRect ProgressChart::plotArea() const
{
    // Room for the scales and their names on both sides and the dates below.
    return rect().adjusted(56, 28, -56, -40);
}

QRect ProgressChart::barRect(int day) const
{
    const QRect plot = plotArea();
    const int count = std::max<int>(1, int(m_days.size()));
    const double slot = double(plot.width()) / count;
    const int asked = day >= 0 && day < int(m_days.size()) ? m_days[size_t(day)].asked : 0;
    const int height = qRound(double(plot.height()) * asked / m_scaleTop);
    const int left = plot.left() + qRound(slot * day + slot * 0.15);
    const int width = std::max(1, qRound(slot * 0.7));
    return QRect(left, plot.bottom() + 1 - height, width, height);
}

QPoint ProgressChart::sharePoint(int day) const
{
    if (day < 0 || day >= int(m_days.size()) || m_days[size_t(day)].asked == 0)
        return {};
    const QRect plot = plotArea();
    const DayFigures& figures = m_days[size_t(day)];
    const QRect bar = barRect(day);
    const double share = double(figures.right) / figures.asked;
    return {bar.center().x(), plot.bottom() - qRound(share * (plot.height() - 1))};
}

void ProgressChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const QRect plot = plotArea();
    const QColor text = palette().color(QPalette::Text);

    // Grid lines and both scales at quarters.
    painter.setPen(QColor(0xD0, 0xD0, 0xD0));
    for (int quarter = 0; quarter <= 4; ++quarter) {
        const int y = plot.bottom() - qRound((plot.height() - 1) * quarter / 4.0);
        painter.setPen(QColor(0xD0, 0xD0, 0xD0));
        painter.drawLine(plot.left(), y, plot.right(), y);
        painter.setPen(text);
        painter.drawText(QRect(0, y - 8, plot.left() - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(m_scaleTop * quarter / 4));
        painter.drawText(QRect(plot.right() + 6, y - 8, 50, 16), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("%1 %").arg(25 * quarter));
    }
    painter.drawText(QRect(0, 0, plot.left() + 40, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("出題数"));
    painter.setPen(kShareColour);
    painter.drawText(QRect(plot.right() - 40, 0, width() - plot.right() + 40, 20),
                     Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("正答率"));

    for (int day = 0; day < int(m_days.size()); ++day) {
        const QRect bar = barRect(day);
        if (!bar.isEmpty())
            painter.fillRect(bar, kBarColour);
    }

    // The share as points joined day to day.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kShareColour, 2));
    QPoint previous;
    for (int day = 0; day < int(m_days.size()); ++day) {
        const QPoint point = sharePoint(day);
        if (point.isNull())
            continue;
        if (!previous.isNull())
            painter.drawLine(previous, point);
        painter.setBrush(kShareColour);
        painter.drawEllipse(point, 3, 3);
        previous = point;
    }
    painter.setRenderHint(QPainter::Antialiasing, false);

    // Dates under every fifth day, counted back from the last.
    painter.setPen(text);
    for (int day = int(m_days.size()) - 1; day >= 0; day -= 5) {
        const QRect bar = barRect(day);
        const QDate date = m_lastDay.addDays(day - int(m_days.size()) + 1);
        painter.drawText(QRect(bar.center().x() - 30, plot.bottom() + 4, 60, 16), Qt::AlignCenter,
                         QStringLiteral("%1/%2").arg(date.month()).arg(date.day()));
    }
    painter.drawText(QRect(plot.left(), plot.bottom() + 20, plot.width(), 18), Qt::AlignCenter,
                     QStringLiteral("日付（直近30日）"));
    painter.setPen(text);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
}

ProgressWindow::ProgressWindow(QString historyPath, QString setFile, QString setTitle, QWidget* parent)
    : QDialog(parent)
    , m_historyPath(std::move(historyPath))
    , m_setFile(std::move(setFile))
    , m_setTitle(std::move(setTitle))
{
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(QStringLiteral("モンテラ - 成績"));
    auto* layout = new QVBoxLayout(this);
    const auto label = [this, layout](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setTextFormat(Qt::PlainText);
        layout->addWidget(l);
        return l;
    };
    lblSet = label("lblSet");
    lblTotal = label("lblTotal");
    lblWeek = label("lblWeek");
    chart = new ProgressChart(this);
    chart->setObjectName(QStringLiteral("chart"));
    layout->addWidget(chart, 1);
    auto* missedCaption = new QLabel(QStringLiteral("よく間違える問題"), this);
    layout->addWidget(missedCaption);
    lstMissed = new QTreeWidget(this);
    lstMissed->setObjectName(QStringLiteral("lstMissed"));
    lstMissed->setRootIsDecorated(false);
    lstMissed->setHeaderLabels({QStringLiteral("問題"), QStringLiteral("正解"), QStringLiteral("間違い")});
    lstMissed->header()->setStretchLastSection(false);
    lstMissed->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    lstMissed->setColumnWidth(1, 160);
    lstMissed->setColumnWidth(2, 70);
    lstMissed->setMinimumHeight(200);
    layout->addWidget(lstMissed);
    auto* buttons = new QHBoxLayout;
    cmdErase = new QPushButton(QStringLiteral("この問題集の成績を消去"), this);
    cmdErase->setObjectName(QStringLiteral("cmdErase"));
    cmdClose = new QPushButton(QStringLiteral("閉じる"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    buttons->addWidget(cmdErase);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    layout->addLayout(buttons);

    confirmErase = [this] {
        return QMessageBox::question(
                   this, windowTitle(),
                   QStringLiteral("この問題集の成績をすべて消去します。よろしいですか？")) ==
               QMessageBox::Yes;
    };
    connect(cmdErase, &QPushButton::clicked, this, &ProgressWindow::eraseClicked);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    const QDateTime now = QDateTime::currentDateTime();
    load(now.toSecsSinceEpoch(), now.offsetFromUtc());
}

void ProgressWindow::load(std::int64_t now, int utcOffset)
{
    m_now = now;
    m_utcOffset = utcOffset;
    HistoryStore history;
    history.open(m_historyPath, HistoryAccess::ReadOnly);
    const SetFigures figures = history.figures(m_setFile, m_setTitle, now, utcOffset);
    lblSet->setText(m_setTitle.isEmpty() ? m_setFile : QStringLiteral("%1（%2）").arg(m_setTitle, m_setFile));
    lblTotal->setText(QStringLiteral("これまで：") + askedAndShare(figures.asked, figures.right));
    lblWeek->setText(QStringLiteral("直近7日間：") +
                     askedAndShare(figures.askedLast7Days, figures.rightLast7Days));
    const QDate today = QDateTime::fromSecsSinceEpoch(now + utcOffset, Qt::UTC).date();
    chart->setDays(figures.days, today);
    lstMissed->clear();
    for (const MissedQuestion& missed : figures.mostMissed) {
        auto* item = new QTreeWidgetItem(lstMissed);
        item->setText(0, missed.text.simplified());
        item->setText(1, missed.answer.simplified());
        item->setText(2, QStringLiteral("%1 / %2").arg(missed.misses).arg(missed.asked));
        item->setToolTip(0, missed.text);
    }
}

void ProgressWindow::eraseClicked()
{
    // Without a history there is nothing to erase, and none is made.
    if (!QFileInfo::exists(m_historyPath) || (confirmErase && !confirmErase()))
        return;
    HistoryStore history;
    if (history.open(m_historyPath, HistoryAccess::ReadWrite) != HistoryState::Writable ||
        !history.erase(m_setFile, m_setTitle))
        QMessageBox::warning(this, windowTitle(), QStringLiteral("成績を消去できませんでした"));
    history.close();
    load(m_now, m_utcOffset);
}

} // namespace montera
