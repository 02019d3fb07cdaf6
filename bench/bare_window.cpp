// The yardstick for the program's start-up: a bare Qt window, full screen and
// black with one label, built in the same tree. With MONTERA_BENCH_FIRST_PAINT
// set it prints the time of its first paint and its peak memory, then exits,
// exactly as the program does.

#include "firstpaint.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QScreen>

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
    return app.exec();
}
