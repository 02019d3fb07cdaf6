#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

namespace montera::bench {

// The process's peak resident memory in KiB, from /proc.
inline long peakMemoryKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// When MONTERA_BENCH_FIRST_PAINT is set, prints "first-paint-ns peak-KiB" once
// the window has been painted for the first time, then quits.
inline void reportFirstPaint(QWidget* window)
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
                QTimer::singleShot(0, [] {
                    const auto now = std::chrono::system_clock::now().time_since_epoch();
                    std::printf("%lld %ld\n",
                                static_cast<long long>(
                                    std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                                peakMemoryKiB());
                    std::fflush(stdout);
                    std::_Exit(0);
                });
            }
            return false;
        }
        bool seen = false;
    };
    window->installEventFilter(new Filter(window));
}

} // namespace montera::bench
