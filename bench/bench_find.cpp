// Typing into the find field of a big document: the event loop's longest
// stall (Heartbeat) and the CPU seconds, for each text typed. Run it under
// /usr/bin/time -v for the peak memory.
#include "Heartbeat.h"
#include "app/Startup.h"
#include "app/mdiMain.h"
#include "document/DocumentManager.h"
#include "document/FindBar.h"
#include "document/frmDoc.h"
#include "platform/QtDialogs.h"
#include "platform/QtPrinter.h"
#include "ui/AppContext.h"
#include "ui/RichTextBox.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <cstdio>
#include <ctime>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_find FILE [TEXT...] (a leading / types a regular expression)\n");
        return 2;
    }
    Bench::Editor editor({QString::fromLocal8Bit(argv[1])});
    mdiMain *frame = editor.frame;
    frmDoc *w = frame->documents().window(1);
    Bench::spin(500);
    auto *bar = w->findChild<FindBar *>(QStringLiteral("fraFind"));
    bar->open(false);
    Heartbeat heart;
    QStringList typed;
    for (int i = 2; i < argc; ++i)
        typed << QString::fromLocal8Bit(argv[i]);
    if (typed.isEmpty())
        typed << QStringLiteral("t") << QStringLiteral("<") << QStringLiteral("div");
    for (QString text : typed) {
        const bool regex = text.startsWith(u'/');
        if (regex)
            text.remove(0, 1);
        bar->chkRegex->setChecked(regex);
        bar->txtFind->clear();
        Bench::spin(300);
        heart.reset();
        const double cpu = Bench::cpuSeconds();
        for (const QChar c : text) {
            QTest::keyClicks(bar->txtFind, QString(c));
            heart.beat();
            Bench::spin(60); // a typist's pace
        }
        Bench::spin(3000); // the pause, the count and the marks
        heart.beat();
        std::printf("find \"%s\"%s: longest stall %lld ms, %.2f CPU s; %s\n", qPrintable(text), regex ? " (regex)" : "",
                    heart.longestMs(), Bench::cpuSeconds() - cpu, qPrintable(bar->lblFindStatus->text()));
    }
    delete frame;
    return 0;
}
