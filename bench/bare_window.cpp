// The yardstick for the program's start-up: a bare Qt window, full screen and
// black with one label, built in the same tree. With MONTERA_BENCH_FIRST_PAINT
// set it prints the time of its first paint and its peak memory, then exits,
// exactly as the program does. With --timer it also runs a 50 ms timer that
// is stopped and started anew on each tick, as the show's timer is, so that
// its CPU use is the floor for the show's.

#include "firstpaint.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QScreen>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("問題"));
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    window.setWindowFlag(Qt::FramelessWindowHint);
    montera::bench::reportFirstPaint(&window);
    window.setGeometry(window.screen()->geometry());
    window.showFullScreen();

    QTimer timer;
    timer.setInterval(50);
    QObject::connect(&timer, &QTimer::timeout, [&timer] {
        timer.stop();
        timer.start();
    });
    if (QApplication::arguments().contains(QStringLiteral("--timer")))
        timer.start();
    return app.exec();
}
