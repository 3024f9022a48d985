// A file with a long line: the CPU seconds of Ctrl+End, of one typed key,
// and of five seconds left alone afterwards (the caret blinking on the
// line). Run it under /usr/bin/time -v for the peak memory.
#include "app/Startup.h"
#include "app/mdiMain.h"
#include "document/DocumentManager.h"
#include "document/frmDoc.h"
#include "platform/QtDialogs.h"
#include "platform/QtPrinter.h"
#include "ui/AppContext.h"
#include "ui/RichTextBox.h"

#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <ctime>

namespace {

double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + ts.tv_nsec / 1e9;
}

void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_longline FILE\n");
        return 2;
    }
    QtDialogs dialogs;
    QtPrinter printer;
    AppContext ctx(SettingsStore::forCurrentUser(), dialogs, printer);
    mdiMain *frame = Startup::run(ctx, {QString::fromLocal8Bit(argv[1])});
    frmDoc *w = frame->documents().window(1);
    auto *box = w->findChild<RichTextBox *>(QStringLiteral("txtContents"));
    box->setFocus();
    spin(1000);
    double cpu = cpuSeconds();
    QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
    spin(200);
    std::printf("Ctrl+End: %.2f CPU s\n", cpuSeconds() - cpu);
    cpu = cpuSeconds();
    QTest::keyClick(box, Qt::Key_X);
    spin(200);
    std::printf("a typed key: %.2f CPU s\n", cpuSeconds() - cpu);
    cpu = cpuSeconds();
    spin(5000);
    std::printf("5 s idle: %.2f CPU s\n", cpuSeconds() - cpu);
    delete frame;
    return 0;
}
