// One journal write of a big document after a typed key: the event loop's
// longest stall (Heartbeat) and the CPU seconds until it is on disk. With
// --whole the text is handed over in one copy (what small texts get). Run
// it under /usr/bin/time -v for the peak memory.
#include "Heartbeat.h"
#include "app/Startup.h"
#include "app/mdiMain.h"
#include "document/DocumentManager.h"
#include "document/RecoveryJournal.h"
#include "document/frmDoc.h"
#include "platform/QtDialogs.h"
#include "platform/QtPrinter.h"
#include "ui/AppContext.h"
#include "ui/RichTextBox.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <ctime>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool whole = argc > 2 && QByteArray(argv[2]) == "--whole";
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_journal FILE [--whole]\n");
        return 2;
    }
    QtDialogs dialogs;
    QtPrinter printer;
    AppContext ctx(SettingsStore::forCurrentUser(), dialogs, printer);
    ctx.journalDelayMs = 3600 * 1000; // only the write below
    mdiMain *frame = Startup::run(ctx, {QString::fromLocal8Bit(argv[1])});
    frmDoc *w = frame->documents().window(1);
    Bench::spin(500);
    QTest::keyClick(w->findChild<RichTextBox *>(QStringLiteral("txtContents")), Qt::Key_X);
    RecoveryJournal &journal = frame->documents().journal();
    if (whole)
        journal.setSliceBytes(qsizetype(1) << 40);
    Bench::spin(200);
    Heartbeat heart;
    const double cpu = Bench::cpuSeconds();
    journal.write(1);
    heart.beat();
    Bench::spin(4000);
    journal.waitForWrites();
    std::printf("journal of %.0f MB%s: longest stall %lld ms, %.2f CPU s\n",
                QFileInfo(QString::fromLocal8Bit(argv[1])).size() / 1048576.0, whole ? " (one copy)" : " (in slices)",
                heart.longestMs(), Bench::cpuSeconds() - cpu);
    delete frame;
    return 0;
}
