// What one document window costs: CPU time to make it and the memory it
// adds, averaged over fifty new windows, with the count of actions and
// menus the program holds once they are open.
#include "app/Startup.h"
#include "app/mdiMain.h"
#include "document/DocumentManager.h"
#include "platform/QtDialogs.h"
#include "platform/QtPrinter.h"
#include "ui/AppContext.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

static double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6;
}

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
    QtDialogs dialogs;
    QtPrinter printer;
    AppContext ctx(SettingsStore::forCurrentUser(), dialogs, printer);
    mdiMain *frame = Startup::run(ctx, {});
    constexpr int kWindows = 50;
    frame->documents().NewBlankDocument(); // the first pays for what is made once
    QCoreApplication::processEvents();
    const double cpu = cpuSeconds();
    const double rss = residentMb();
    for (int i = 0; i < kWindows; ++i) {
        frame->documents().NewBlankDocument();
        QCoreApplication::processEvents();
    }
    std::printf("windows: %.2f ms CPU and %.2f MB each; %lld actions and %lld menus for %d windows\n",
                (cpuSeconds() - cpu) * 1000.0 / kWindows, (residentMb() - rss) / kWindows,
                qlonglong(frame->findChildren<QAction *>().size()), qlonglong(frame->findChildren<QMenu *>().size()),
                kWindows + 1);
    return 0;
}
