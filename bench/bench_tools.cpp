// The project window reading a project of 10,000 files and showing them, and
// the URL snip tool loading a 20 MB body from 127.0.0.1 while the window
// keeps painting. Prints CPU milliseconds, wall time and paint counts.
#include "app/Startup.h"
#include "app/mdiMain.h"
#include "core/ProjectList.h"
#include "document/DocumentManager.h"
#include "platform/QtDialogs.h"
#include "platform/QtPrinter.h"
#include "project/frmProject.h"
#include "tools/frmUrlSnip.h"
#include "ui/AppContext.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdio>
#include <sys/resource.h>

namespace {

double cpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

// Counts the paints a widget gets.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QtDialogs dialogs;
    QtPrinter printer;
    AppContext ctx(SettingsStore(dir.filePath(QStringLiteral("config")), dir.filePath(QStringLiteral("data"))), dialogs,
                   printer);
    mdiMain *frame = Startup::run(ctx, {});

    QByteArray project = "Orvane:1.0\r\n";
    for (int i = 0; i < 10000; ++i) {
        const QString path = dir.filePath(QStringLiteral("file%1.html").arg(i));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        project += "File: " + path.toUtf8() + "\r\n";
    }
    QFile tep(dir.filePath(QStringLiteral("big.TEP")));
    if (!tep.open(QIODevice::WriteOnly) || tep.write(project) != project.size())
        return 1;
    tep.close();
    ProjectList list;
    frmProject window(ctx, frame->documents(), list);
    window.show();
    QCoreApplication::processEvents();
    double start = cpuMs();
    window.ReadProjectFile(tep.fileName());
    QCoreApplication::processEvents();
    std::printf("project of %d files read and shown: %.0f CPU ms\n", window.prjList->topLevelItemCount(), cpuMs() - start);

    // A 20 MB page of ordinary lines. (One line of 20 MB is the text
    // control's long-line case, measured by the open benchmarks.)
    QByteArray body;
    while (body.size() < 20 * 1024 * 1024)
        body += "<p>an ordinary line of a web page, with <a href='#'>a link</a> and some more words in it</p>\n";
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket *s = server.nextPendingConnection();
        QObject::connect(s, &QTcpSocket::readyRead, s, [s, &body] {
            s->readAll();
            s->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: "
                     + QByteArray::number(body.size()) + "\r\n\r\n");
            s->write(body);
            s->disconnectFromHost();
        });
    });
    frmUrlSnip snip(ctx, frame->documents());
    snip.show();
    PaintCounter counter;
    QTimer repaint;
    QElapsedTimer sinceTick;
    qint64 longestStall = 0;
    QObject::connect(&repaint, &QTimer::timeout, snip.Label3, [&] {
        longestStall = qMax(longestStall, sinceTick.restart());
        snip.Label3->update();
    });
    repaint.start(10);
    sinceTick.start();
    snip.Label3->installEventFilter(&counter);
    snip.txtAddress->setText(QStringLiteral("http://127.0.0.1:%1/big").arg(server.serverPort()));
    QElapsedTimer wall;
    wall.start();
    start = cpuMs();
    snip.Command1->click();
    while (snip.Label3->text() != QLatin1String("Idle"))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const qint64 loaded = wall.elapsed();
    // One more tick, so that a pause while the text was put in is counted.
    for (QElapsedTimer after; after.isValid() ? after.elapsed() < 40 : (after.start(), true);)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    std::printf("URL snip, %s: %lld ms wall, %.0f CPU ms; during the load %d paints, longest pause of the "
                "event loop %lld ms (a 10 ms timer)\n",
                qPrintable(snip.lblSize->text()), loaded, cpuMs() - start, counter.paints, longestStall);
    delete frame; // a clean end: no journal left for the next run
    return 0;
}
