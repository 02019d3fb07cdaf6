#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>
#else
#include <xcb/xcb.h>
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace montera::bench {

// The process's peak resident memory in KiB, from /proc (on Windows, the
// peak working set).
inline long peakMemoryKiB()
{
#ifdef Q_OS_WIN
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return -1;
    return static_cast<long>(counters.PeakWorkingSetSize / 1024);
#endif
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

namespace detail {

// True once every shown top-level window of the process is on the screen.
inline bool everyWindowExposed()
{
    const QWindowList windows = QGuiApplication::topLevelWindows();
    for (const QWindow* window : windows) {
        if (window->isVisible() && !window->isExposed())
            return false;
    }
    return true;
}

// Waits until the X server has carried out every request sent so far: the
// pixels are on the screen only then, and the server may still be filling
// windows with black or drawing the panel when the program is done with them.
inline void waitForWindowSystem()
{
#ifdef Q_OS_WIN
    // Windows draws each window's pixels as GDI's queue is carried out.
    GdiFlush();
#else
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (xcb_connection_t* c = x11 ? x11->connection() : nullptr)
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
#endif
}

inline void printNow()
{
    waitForWindowSystem();
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::printf("%lld %ld\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                peakMemoryKiB());
    std::fflush(stdout);
    // "keep" leaves the process running, so that the caller can read its
    // memory later on; any other value ends it here.
    if (qgetenv("MONTERA_BENCH_FIRST_PAINT") != "keep")
        std::_Exit(0);
}

// Reports once every window is on the screen, looking again after each
// round of events until then.
inline void reportWhenEveryWindowIsExposed()
{
    if (everyWindowExposed()) {
        printNow();
        return;
    }
    QTimer::singleShot(1, [] { reportWhenEveryWindowIsExposed(); });
}

} // namespace detail

// When MONTERA_BENCH_FIRST_PAINT is set, prints "first-paint-ns peak-KiB" once
// the widget has been painted for the first time and every window of the
// process is on the screen, then quits (or, with the value "keep", runs on).
inline void reportFirstPaint(QWidget* widget)
{
    if (qEnvironmentVariableIsEmpty("MONTERA_BENCH_FIRST_PAINT"))
        return;
    struct Filter : QObject {
        using QObject::QObject;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint && !seen) {
                seen = true;
                // Posted, so it runs once this paint has reached the screen.
                QTimer::singleShot(0, [] { detail::reportWhenEveryWindowIsExposed(); });
            }
            return false;
        }
        bool seen = false;
    };
    widget->installEventFilter(new Filter(widget));
}

} // namespace montera::bench
