// Starts the editor as the program does, opens the file named on the command
// line (if any) once the event loop runs, as File > Open would, and quits as
// soon as the file is all in (a big one goes in in the background) and the
// loop has gone idle. Run under /usr/bin/time -v for CPU and memory; prints
// the event loop's longest stall after start-up, the opening included
// (stderr).
// --code-view first turns the code view on in the (temporary) settings;
// --word-wrap turns word wrap on and, once the file is in, goes to its end
// (Ctrl+End), which wraps every line above.
#include "ui/AppContext.h"
#include "app/Startup.h"
#include "app/mdiMain.h"
#include "platform/QtDialogs.h"
#include "platform/QtPrinter.h"
#include "BenchSupport.h"
#include "document/frmDoc.h"
#include "ui/RichTextBox.h"
#include "Heartbeat.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Startup::prepareApplication();
    QtDialogs dialogs;
    QtPrinter printer;
    AppContext ctx(SettingsStore::forCurrentUser(), dialogs, printer);
    QStringList arguments = Startup::arguments(argc, argv);
    const auto option = [&arguments](const char *name) {
        const bool given = !arguments.isEmpty() && arguments.first() == QLatin1String(name);
        if (given)
            arguments.removeFirst();
        return given;
    };
    const bool codeView = option("--code-view");
    const bool wrap = option("--word-wrap");
    ctx.settings.WriteUserSetting(QStringLiteral("Orvane"), QStringLiteral("Options"), QStringLiteral("CodeView"),
                                  codeView ? QStringLiteral("1") : QStringLiteral("0"));
    ctx.settings.WriteUserSetting(QStringLiteral("Orvane"), QStringLiteral("Options"), QStringLiteral("WordWrap"),
                                  wrap ? QStringLiteral("1") : QStringLiteral("0"));
    mdiMain *frame = Startup::run(ctx, {});
    Heartbeat heart;
    QTimer::singleShot(0, frame, [frame, arguments] {
        for (const QString &path : arguments)
            frame->documents().OpenFileByPath(path);
    });
    QTimer done;
    done.setInterval(1);
    QObject::connect(&done, &QTimer::timeout, &app, [&] {
        if (Bench::loading(*frame))
            return;
        done.stop();
        // Idle: every event that showing and painting queued has been handled.
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        heart.beat();
        std::fprintf(stderr, "longest stall after start-up: %lld ms\n", static_cast<long long>(heart.longestMs()));
        if (wrap && frame->documents().activeWindow()) {
            heart.reset();
            frame->documents().activeWindow()->textBox()->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
            for (int i = 0; i < 5; ++i)
                QCoreApplication::processEvents();
            heart.beat();
            std::fprintf(stderr, "longest stall going to the end, wrapped: %lld ms\n", static_cast<long long>(heart.longestMs()));
        }
        QCoreApplication::exit(0);
    });
    QTimer::singleShot(0, &done, [&done] { done.start(); }); // after the files are opened
    return app.exec();
}
