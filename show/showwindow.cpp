#include "showwindow.h"

#include "bank.h"
#include "frmmain.h"
#include "globals.h"
#include "keycode.h"
#include "twips.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

namespace montera {

namespace {

constexpr quint32 kHighlightColour = 0x000080FF; // orange
constexpr quint32 kSlotColour = 0x00FFFFFF;      // white
// The right answer after a miss: a light green, as light as the orange so
// that the black text reads the same on both, and far from the design's blue.
constexpr quint32 kAnswerColour = 0x0080E080;

// Labels repaint only when their text really changes.
void setTextIfChanged(QLabel* label, const QString& text)
{
    if (label->text() != text)
        label->setText(text);
}

} // namespace

ShowWindow::ShowWindow(frmMain& form, RandomSource& random, QuizShow::EndShow endShow)
    : QObject(&form)
    , m_form(form)
    , m_show(globalBank(), globalSettings(), *this, random, std::move(endShow))
{
    connect(&form, &frmMain::keyDown, this, &ShowWindow::keyDown);
    connect(&form, &frmMain::mouseDown, this, [this] { m_show.FormMouseDown(); });
    connect(&form, &frmMain::mouseMove, this, &ShowWindow::mouseMove);
    connect(form.timMain, &QTimer::timeout, this, &ShowWindow::timMainTimer);
}

ShowWindow& ShowWindow::attach(frmMain& form, RandomSource& random, std::function<void()> readSettings,
                               QuizShow::EndShow endShow)
{
    auto* window = new ShowWindow(form, random, std::move(endShow));
    window->m_show.FormLoad(readSettings);
    if (const QScreen* screen = form.screen())
        form.setDisplayFactor(displayFactor(globalSettings().Size, screen->geometry().height()));
    return *window;
}

void ShowWindow::timMainTimer()
{
    m_form.timMain->stop();
    // Keys and pointer events queued since the last tick are handled before
    // the show reads its state.
    QCoreApplication::processEvents();
    if (m_show.ended())
        return;
    m_show.TimerTick();
    if (!m_show.ended())
        m_form.timMain->start();
}

void ShowWindow::keyDown(QKeyEvent* event)
{
    m_show.FormKeyDown(windowsKeyCode(event->key(), event->modifiers(), event->nativeScanCode(),
                                      event->nativeVirtualKey(),
                                      keySourceForPlatform(QGuiApplication::platformName())));
}

void ShowWindow::mouseMove(QMouseEvent* event)
{
    // The window covers its screen from the screen's corner, so screen
    // positions are window positions; unlike the window's own coordinates
    // they do not jump while the window is still being placed full screen,
    // which would look like a move of the pointer and end the show.
    const QPointF position = event->globalPosition() - m_form.screen()->geometry().topLeft();
    m_show.FormMouseMove(static_cast<float>(pixelsToTwips(position.x())),
                         static_cast<float>(pixelsToTwips(position.y())));
}

void ShowWindow::setQuestionText(const QString& text)
{
    setTextIfChanged(m_form.lblDoc, text);
}

void ShowWindow::setQuestionNumber(const QString& text)
{
    setTextIfChanged(m_form.lblQNum, text);
}

void ShowWindow::setQuestionTitle(const QString& text)
{
    setTextIfChanged(m_form.lblTitle, text);
}

void ShowWindow::setChoiceText(int slot, const QString& text)
{
    setTextIfChanged(m_form.lblSelect[static_cast<size_t>(slot)], text);
}

void ShowWindow::setSlotHighlighted(int slot, bool highlighted)
{
    QLabel* label = m_form.lblSelect[static_cast<size_t>(slot)];
    const QColor wanted = colorFromBgr(highlighted ? kHighlightColour : kSlotColour);
    if (label->palette().color(label->backgroundRole()) != wanted)
        setBackColor(label, highlighted ? kHighlightColour : kSlotColour);
}

void ShowWindow::setSlotShowsAnswer(int slot)
{
    setBackColor(m_form.lblSelect[static_cast<size_t>(slot)], kAnswerColour);
}

void ShowWindow::setMarkVisible(Mark mark, bool visible)
{
    (mark == Mark::Circle ? m_form.lblMaru : m_form.lblBatsu)->setVisible(visible);
}

void ShowWindow::setBarWidth(float twips)
{
    m_form.shpTimeBar->setWidthTwips(static_cast<double>(twips));
}

void ShowWindow::setHitRate(const QString& text)
{
    setTextIfChanged(m_form.lblCAPer, text);
}

void ShowWindow::setCorrectCount(const QString& text)
{
    setTextIfChanged(m_form.lblCANum, text);
}

void ShowWindow::setModeName(const QString& text)
{
    setTextIfChanged(m_form.lblMode, text);
}

void ShowWindow::parkDummyText()
{
    m_form.DummyText->move(twipsToPixels(-1000), twipsToPixels(-1000));
}

void ShowWindow::setPanelVisible(bool visible)
{
    m_form.fraDocFrame->setVisible(visible);
}

void ShowWindow::movePanel(float leftTwips, float topTwips)
{
    const double factor = m_form.displayFactor();
    const QPoint place(twipsToPixels(static_cast<double>(leftTwips) * factor),
                       twipsToPixels(static_cast<double>(topTwips) * factor));
    // Placed by its inner rectangle: where the panel is a window of its own
    // inside the show window, Qt takes the show window for its frame, and
    // moving its frame would move it by its own place once more.
    m_form.fraDocFrame->setGeometry(QRect(place, m_form.fraDocFrame->size()));
}

QSizeF ShowWindow::innerSizeTwips() const
{
    return QSizeF(pixelsToTwips(m_form.width()), pixelsToTwips(m_form.height())) / m_form.displayFactor();
}

} // namespace montera
