// Templates: the tag pass over a 10 MB document with 50 prompt fields, and
// the New Document window opening on a folder of 1,000 templates. Prints
// CPU milliseconds of each step and the whole process's peak memory.
#include "Heartbeat.h"
#include "app/Startup.h"
#include "app/mdiMain.h"
#include "core/TemplatePass.h"
#include "document/DocumentManager.h"
#include "platform/QtDialogs.h"
#include "platform/QtPrinter.h"
#include "templates/frmNew.h"
#include "ui/AppContext.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

double cpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

struct Answering : TemplatePass::Host {
    QString t;
    int asked = 0;
    QString title() const override { return t; }
    void setTitle(const QString &title) override { t = title; }
    QString inputBox(const QString &, const QString &, const QString &defaultText) override
    {
        ++asked;
        return defaultText + QStringLiteral(" answered");
    }
    void message(const QString &) override {}
    QString whyNotFile(const QString &) const override { return QStringLiteral("Not Found"); }
    void open(const QString &) override {}
    void setText(const QString &) override {}
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    // 10 MB of lines with 50 fields spread through it, the last near the end.
    QString text;
    const QString line = QStringLiteral("<p>Some ordinary text of a page, with <b>markup</b> in it.</p>\r\n");
    const int lines = 10 * 1024 * 1024 / int(line.size());
    for (int i = 0; i < lines; ++i) {
        text += line;
        if (i % (lines / 50) == 0)
            text += QStringLiteral("<QRLPROMPT>Field %1</QRLPROMPT>\r\n").arg(i / (lines / 50));
    }
    Answering host;
    double start = cpuMs();
    TemplatePass::ExecuteTemplateTags(text, host);
    std::printf("template pass, %.1f MB, %d fields: %.0f CPU ms\n", text.size() / 1048576.0, host.asked, cpuMs() - start);

    // 64k nested titles, on the event loop's thread as in the window.
    const QString nested = QString(65536, u'.').replace(u'.', QStringLiteral("<QRLTITLE>")) + u't'
                           + QString(65536, u'.').replace(u'.', QStringLiteral("</QRLTITLE>"));
    Heartbeat heartbeat;
    start = cpuMs();
    TemplatePass::ExecuteTemplateTags(nested, host);
    heartbeat.beat();
    std::printf("template pass, 64k nested titles: %.0f CPU ms, longest stall %lld ms\n", cpuMs() - start,
                heartbeat.longestMs());

    QTemporaryDir dir;
    for (int i = 0; i < 1000; ++i) {
        QFile f(dir.filePath(QStringLiteral("template %1.tet").arg(i, 4, 10, QLatin1Char('0'))));
        if (!f.open(QIODevice::WriteOnly) || f.write("<QRLTITLE>t</QRLTITLE>\r\n<QRLPROMPT>Name</QRLPROMPT>\r\n") < 0)
            return 1;
    }
    QtDialogs dialogs;
    QtPrinter printer;
    AppContext ctx(SettingsStore(dir.filePath(QStringLiteral("config")), dir.filePath(QStringLiteral("data"))), dialogs,
                   printer);
    ctx.settings.RegWriteString(SettingsStore::kOrvaneKey, QStringLiteral("TempDir"), dir.path());
    mdiMain *frame = Startup::run(ctx, {});
    QCoreApplication::processEvents();
    start = cpuMs();
    frmNew *w = frmNew::ShowNewFromTemplate(ctx, frame->documents());
    w->File1->setCurrentRow(999);
    QCoreApplication::processEvents();
    std::printf("New Document window, %d templates, shown with a preview: %.1f CPU ms\n", w->File1->count(), cpuMs() - start);
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    std::printf("templates benchmark peak memory: %.1f MB\n", u.ru_maxrss / 1024.0);
    delete frame; // a clean end: no journal left for the next run
    return 0;
}
