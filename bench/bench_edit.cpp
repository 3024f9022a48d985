// Costs on a big document (10 MB in bench/run.sh): the undo tick when nothing changed and when
// something did, one typed key's whole handling, the journal, and find and
// Replace All over 100,000 matches in 10 MB.
#include "ui/AppContext.h"
#include "app/Startup.h"
#include "app/mdiMain.h"
#include "document/DocumentManager.h"
#include "document/FindBar.h"
#include "document/RecoveryJournal.h"
#include "ui/RichTextBox.h"
#include "document/frmDoc.h"
#include "platform/QtDialogs.h"
#include "platform/QtPrinter.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <cstdio>
#include <ctime>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_edit FILE\n");
        return 2;
    }
    Bench::Editor editor({QString::fromLocal8Bit(argv[1])});
    mdiMain *frame = editor.frame;
    frmDoc *w = frame->documents().window(1);
    const double mb = QFileInfo(QString::fromLocal8Bit(argv[1])).size() / 1048576.0;
    QCoreApplication::processEvents();
    w->findChild<RichTextBox *>(QStringLiteral("txtContents"))->setFocus();
    w->findChild<RichTextBox *>(QStringLiteral("txtContents"))->SetSelStart(w->findChild<RichTextBox *>(QStringLiteral("txtContents"))->TextLength() / 2);
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
        QTest::keyClick(w->findChild<RichTextBox *>(QStringLiteral("txtContents")), Qt::Key_X);
        t.restart();
        w->undoTick();
        changedNs += t.nsecsElapsed();
    }
    std::printf("undo tick, changed %.0f MB: %.2f ms\n", mb, changedNs / 1e6 / kChanged);

    constexpr int kKeys = 300;
    t.restart();
    for (int i = 0; i < kKeys; ++i) {
        QTest::keyClick(w->findChild<RichTextBox *>(QStringLiteral("txtContents")), Qt::Key_A);
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
    // 100,000 lines of 100 bytes, each with one match.
    QString text;
    text.reserve(10'000'000);
    const QString line = QStringLiteral("The quick brown fox jumps over the lazy dog; a needle in the hay, %1 ....................\r\n");
    for (int i = 0; i < 100'000; ++i)
        text += line.arg(i, 6, 10, QLatin1Char('0'));
    frmDoc *big = frame->documents().CreateDocumentWindow();
    big->findChild<RichTextBox *>(QStringLiteral("txtContents"))->SetText(text);
    big->undoTick();
    double cpu = Bench::cpuSeconds();
    big->findChild<FindBar *>(QStringLiteral("fraFind"))->open(true);
    big->findChild<FindBar *>(QStringLiteral("fraFind"))->txtFind->setText(QStringLiteral("needle"));
    big->findChild<FindBar *>(QStringLiteral("fraFind"))->findNext();
    std::printf("find in %.0f MB, 100,000 matches counted and marked: %.3f CPU s\n", text.size() / 1e6,
                Bench::cpuSeconds() - cpu);
    big->findChild<FindBar *>(QStringLiteral("fraFind"))->txtReplace->setText(QStringLiteral("thread"));
    cpu = Bench::cpuSeconds();
    big->findChild<FindBar *>(QStringLiteral("fraFind"))->replaceAll();
    std::printf("Replace All, 100,000 matches: %.3f CPU s\n", Bench::cpuSeconds() - cpu);

    delete frame; // a clean end: no journal left for the next run
    return 0;
}
