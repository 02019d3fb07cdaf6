#pragma once

#include "historystore.h"

#include <QDate>
#include <QDialog>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace montera {

// The chart of the last 30 days: a bar a day for the questions asked, on the
// left scale, and a point a day for the share answered right, on the right
// scale. Painted by hand, so that the settings window needs no chart library.
class ProgressChart final : public QWidget {
    Q_OBJECT
public:
    explicit ProgressChart(QWidget* parent = nullptr);

    // The days, oldest first, and the date of the last one.
    void setDays(std::vector<DayFigures> days, QDate lastDay);

    // Where the day's bar and share point stand, in the widget's pixels; an
    // empty bar and a null point on a day without questions.
    QRect barRect(int day) const;
    QPoint sharePoint(int day) const;
    // The largest count of the left scale.
    int scaleTop() const { return m_scaleTop; }

    QSize sizeHint() const override { return {560, 220}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect plotArea() const;

    std::vector<DayFigures> m_days;
    QDate m_lastDay;
    int m_scaleTop = 4;
};

// The progress window of one set: questions asked and the share right, overall
// and in the last 7 days, the chart of 30 days, the ten questions missed most
// often with their right answers, and a button that erases the set's history.
// Escape closes it, as it closes any dialog.
class ProgressWindow final : public QDialog {
    Q_OBJECT
public:
    // The set by its file name and title (null: every title of that name).
    ProgressWindow(QString historyPath, QString setFile, QString setTitle, QWidget* parent = nullptr);

    // Reads the figures as of the time given (seconds since 1970, UTC) in a
    // zone of the given offset; the window does so with the clock when made.
    void load(std::int64_t now, int utcOffset);

    // Asked before the set's history is erased; by default a message box.
    std::function<bool()> confirmErase;

    QLabel* lblSet = nullptr;
    QLabel* lblTotal = nullptr;
    QLabel* lblWeek = nullptr;
    ProgressChart* chart = nullptr;
    QTreeWidget* lstMissed = nullptr;
    QPushButton* cmdErase = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    void eraseClicked();

    const QString m_historyPath;
    const QString m_setFile;
    const QString m_setTitle;
    std::int64_t m_now = 0;
    int m_utcOffset = 0;
};

// "N 問　正答率 P %", the figures' form in the window.
QString askedAndShare(std::int64_t asked, std::int64_t right);

} // namespace montera
