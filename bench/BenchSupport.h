#pragma once

#include "app/Startup.h"
#include "app/mdiMain.h"
#include "core/DocumentRecord.h"
#include "document/DocumentManager.h"
#include "platform/QtDialogs.h"
#include "platform/QtPrinter.h"
#include "ui/AppContext.h"

#include <QEventLoop>
#include <QStringList>
#include <QTimer>
#include <ctime>

// What the benchmarks share: the process's CPU time, letting the event loop
// run for a while, and the editor started as a user starts it.
namespace Bench {

inline double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + ts.tv_nsec / 1e9;
}

// True while a document of the frame is still being read in the background.
inline bool loading(mdiMain &frame)
{
    DocumentManager &docs = frame.documents();
    for (int slot = 1; slot <= docs.DocumentCount(); ++slot)
        if (docs.table().record(slot).Loading())
            return true;
    return false;
}

inline void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The editor with the user's settings (the benchmark script points them at
// a temporary folder), the code view on or off, with the files given opened
// and all in (a big file is read in the background).
struct Editor {
    QtDialogs dialogs;
    QtPrinter printer;
    AppContext ctx{SettingsStore::forCurrentUser(), dialogs, printer};
    mdiMain *frame = nullptr;
    explicit Editor(const QStringList &files = {}, bool codeView = false)
    {
        ctx.settings.WriteUserSetting(QStringLiteral("Orvane"), QStringLiteral("Options"), QStringLiteral("CodeView"),
                                      codeView ? QStringLiteral("1") : QStringLiteral("0"));
        frame = Startup::run(ctx, files);
        while (loading(*frame))
            spin(10);
    }
};

} // namespace Bench
