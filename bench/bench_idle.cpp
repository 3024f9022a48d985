// What a document window costs to make (CPU time and the memory it adds,
// with the actions and menus the program then holds), then twenty
// documents left alone: the whole process's CPU use over ten seconds of
// idling, as a percentage of one core.
#include "ui/AppContext.h"
#include "app/Startup.h"
#include "app/mdiMain.h"
#include "document/DocumentManager.h"
#include "ui/RichTextBox.h"
#include "document/frmDoc.h"
#include "platform/QtDialogs.h"
#include "platform/QtPrinter.h"

#include <QAction>
#include "BenchSupport.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

static double residentMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}


int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Bench::Editor editor;
    mdiMain *frame = editor.frame;
    constexpr int kWindows = 20;
    frame->documents().NewBlankDocument(); // the first pays for what is made once
    QCoreApplication::processEvents();
    const double madeFrom = Bench::cpuSeconds();
    const double residentFrom = residentMb();
    for (int i = 1; i < kWindows; ++i) {
        frame->documents().NewBlankDocument();
        QCoreApplication::processEvents();
    }
    std::printf("windows: %.2f ms CPU and %.2f MB each; %lld actions and %lld menus for %d windows\n",
                (Bench::cpuSeconds() - madeFrom) * 1000.0 / (kWindows - 1), (residentMb() - residentFrom) / (kWindows - 1),
                qlonglong(frame->findChildren<QAction *>().size()), qlonglong(frame->findChildren<QMenu *>().size()),
                kWindows);
    for (int i = 0; i < kWindows; ++i) {
        // Each has text and an undo history, so every timer has real work to skip.
        frmDoc *w = frame->documents().window(i + 1);
        w->findChild<RichTextBox *>(QStringLiteral("txtContents"))->SetText(QString(20000, QLatin1Char('x')));
        w->undoTick();
    }
    const int seconds = argc > 1 ? atoi(argv[1]) : 10;
    double start = 0;
    QElapsedTimer wall;
    QTimer::singleShot(1500, &app, [&] {
        start = Bench::cpuSeconds();
        wall.start();
    });
    QTimer::singleShot(1500 + seconds * 1000, &app, [&] {
        const double used = Bench::cpuSeconds() - start;
        const double elapsed = wall.elapsed() / 1000.0;
        std::printf("idle: 20 documents, %.1f s: %.4f CPU s = %.3f %% of one core\n", elapsed, used,
                    100.0 * used / elapsed);
        QCoreApplication::exit(0);
    });
    return app.exec();
}
