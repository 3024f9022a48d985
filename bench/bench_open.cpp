// Starts the editor exactly as the program does (with the file named on the
// command line, or none) and quits as soon as the frame is shown and the
// event loop has gone idle. Run under /usr/bin/time -v for CPU and memory.
// --code-view first turns the code view on in the (temporary) settings.
#include "ui/AppContext.h"
#include "app/Startup.h"
#include "app/mdiMain.h"
#include "platform/QtDialogs.h"
#include "platform/QtPrinter.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Startup::prepareApplication();
    QtDialogs dialogs;
    QtPrinter printer;
    AppContext ctx(SettingsStore::forCurrentUser(), dialogs, printer);
    QStringList arguments = Startup::arguments(argc, argv);
    const bool codeView = !arguments.isEmpty() && arguments.first() == QLatin1String("--code-view");
    if (codeView)
        arguments.removeFirst();
    ctx.settings.WriteUserSetting(QStringLiteral("Orvane"), QStringLiteral("Options"), QStringLiteral("CodeView"),
                                  codeView ? QStringLiteral("1") : QStringLiteral("0"));
    Startup::run(ctx, arguments);
    // Idle: every event that showing and painting queued has been handled.
    QTimer::singleShot(0, &app, [] {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        QCoreApplication::exit(0);
    });
    return app.exec();
}
