// A file with a long line: the CPU seconds of Ctrl+End, of one typed key,
// and of five seconds left alone afterwards (the caret blinking on the
// line), in the plain view or with --code-view. Run it under
// /usr/bin/time -v for the peak memory.
#include "app/Startup.h"
#include "app/mdiMain.h"
#include "document/DocumentManager.h"
#include "document/frmDoc.h"
#include "platform/QtDialogs.h"
#include "platform/QtPrinter.h"
#include "ui/AppContext.h"
#include "ui/RichTextBox.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <ctime>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool codeView = argc > 2 && QByteArray(argv[1]) == "--code-view";
    if (argc < 2 + int(codeView)) {
        std::fprintf(stderr, "usage: bench_longline [--code-view] FILE\n");
        return 2;
    }
    Bench::Editor editor({QString::fromLocal8Bit(argv[1 + int(codeView)])}, codeView);
    mdiMain *frame = editor.frame;
    frmDoc *w = frame->documents().window(1);
    auto *box = w->findChild<RichTextBox *>(QStringLiteral("txtContents"));
    box->setFocus();
    Bench::spin(1000);
    double cpu = Bench::cpuSeconds();
    QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
    Bench::spin(200);
    std::printf("Ctrl+End: %.2f CPU s\n", Bench::cpuSeconds() - cpu);
    cpu = Bench::cpuSeconds();
    QTest::keyClick(box, Qt::Key_X);
    Bench::spin(200);
    std::printf("a typed key: %.2f CPU s\n", Bench::cpuSeconds() - cpu);
    cpu = Bench::cpuSeconds();
    Bench::spin(5000);
    std::printf("5 s idle: %.2f CPU s\n", Bench::cpuSeconds() - cpu);
    delete frame;
    return 0;
}
