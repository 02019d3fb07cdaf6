// Floods the owner of org.freedesktop.ScreenSaver on the session bus with
// Inhibit calls from one program, then times UnInhibit and reports how much
// the owner's memory grew: a misbehaving player must not make the watcher
// slow to answer or large. Run by bench/inhibit_flood.sh beside montera-idle.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");

// The resident and peak memory of a process, in KiB, from /proc.
std::pair<long, long> memoryOf(uint pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    long rss = 0, peak = 0;
    if (!status.open(QIODevice::ReadOnly))
        return {0, 0};
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            rss = line.mid(6).trimmed().split(' ').value(0).toLong();
        else if (line.startsWith("VmHWM:"))
            peak = line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return {rss, peak};
}

QDBusMessage call(const QString& method, const QVariantList& arguments)
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(kService, QStringLiteral("/ScreenSaver"), kService, method);
    message.setArguments(arguments);
    return message;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int floods = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QDBusReply<uint> owner = bus.interface()->servicePid(kService);
    if (!owner.isValid()) {
        std::fprintf(stderr, "nobody owns %s\n", qPrintable(kService));
        return 1;
    }
    const auto before = memoryOf(owner.value());

    QElapsedTimer clock;
    clock.start();
    std::vector<QDBusPendingCall> calls;
    calls.reserve(size_t(floods));
    for (int i = 0; i < floods; ++i)
        calls.push_back(bus.asyncCall(call(
            QStringLiteral("Inhibit"), {QStringLiteral("flood %1").arg(i), QString(300, QLatin1Char('r'))})));
    std::vector<uint> cookies;
    for (QDBusPendingCall& pending : calls) {
        QDBusPendingReply<uint> reply = pending;
        reply.waitForFinished();
        if (reply.isValid())
            cookies.push_back(reply.value());
    }
    const qint64 floodMs = clock.elapsed();
    const auto flooded = memoryOf(owner.value());

    // With every inhibit in place, each UnInhibit is answered on its own.
    std::vector<double> answers;
    for (int i = 0; i < 50 && i < int(cookies.size()); ++i) {
        clock.restart();
        bus.call(call(QStringLiteral("UnInhibit"), {cookies[size_t(i)]}));
        answers.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(answers.begin(), answers.end());
    std::printf("%zu of %d Inhibit calls answered in %lld ms\n", cookies.size(), floods, floodMs);
    std::printf("UnInhibit answered in %.2f ms (median of %zu), %.2f ms at most\n",
                answers[answers.size() / 2], answers.size(), answers.back());
    std::printf("the watcher's resident memory: %ld KiB before, %ld KiB after (+%ld KiB); peak %ld KiB\n",
                before.first, flooded.first, flooded.first - before.first, flooded.second);
    return 0;
}
