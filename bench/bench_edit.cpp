// Costs on a big document (10 MB in bench/run.sh): the undo tick when nothing changed and when
// something did, and one typed key's whole handling.
#include "ui/AppContext.h"
#include "app/Startup.h"
#include "app/mdiMain.h"
#include "document/DocumentManager.h"
#include "document/RecoveryJournal.h"
#include "ui/RichTextBox.h"
#include "document/frmDoc.h"
#include "platform/QtDialogs.h"
#include "platform/QtPrinter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_edit FILE\n");
        return 2;
    }
    QtDialogs dialogs;
    QtPrinter printer;
    AppContext ctx(SettingsStore::forCurrentUser(), dialogs, printer);
    mdiMain *frame = Startup::run(ctx, {QString::fromLocal8Bit(argv[1])});
    frmDoc *w = frame->documents().window(1);
    const double mb = QFileInfo(QString::fromLocal8Bit(argv[1])).size() / 1048576.0;
    QCoreApplication::processEvents();
    w->txtContents->setFocus();
    w->txtContents->SetSelStart(w->txtContents->TextLength() / 2);
    w->undoTick(); // the first tick takes its one copy of the loaded text

    QElapsedTimer t;
    constexpr int kTicks = 10000;
    t.start();
    for (int i = 0; i < kTicks; ++i)
        w->undoTick();
    std::printf("undo tick, unchanged %.0f MB: %.5f ms\n", mb, t.nsecsElapsed() / 1e6 / kTicks);

    constexpr int kChanged = 20;
    qint64 changedNs = 0;
    for (int i = 0; i < kChanged; ++i) {
        QTest::keyClick(w->txtContents, Qt::Key_X);
        t.restart();
        w->undoTick();
        changedNs += t.nsecsElapsed();
    }
    std::printf("undo tick, changed %.0f MB: %.2f ms\n", mb, changedNs / 1e6 / kChanged);

    constexpr int kKeys = 300;
    t.restart();
    for (int i = 0; i < kKeys; ++i) {
        QTest::keyClick(w->txtContents, Qt::Key_A);
        w->timer1Tick();
    }
    std::printf("typed key, %.0f MB: %.3f ms (key press, change and selection handling, Timer1, journal timer)\n", mb,
                t.nsecsElapsed() / 1e6 / kKeys);

    // The journal: what the user-interface thread spends handing the text to
    // the writer, and how long the writer takes to put it on disk.
    t.restart();
    frame->documents().journal().write(1);
    const double handOff = t.nsecsElapsed() / 1e6;
    frame->documents().journal().waitForWrites();
    std::printf("journal, %.0f MB: %.1f ms on the user-interface thread, %.0f ms until written\n", mb, handOff,
                t.nsecsElapsed() / 1e6);
    delete frame; // a clean end: no journal left for the next run
    return 0;
}
