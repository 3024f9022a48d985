// Starts the editor exactly as the program does (with the file named on the
// command line, or none) and quits as soon as the frame is shown and the
// event loop has gone idle. Run under /usr/bin/time -v for CPU and memory.
#include "app/AppContext.h"
#include "app/Startup.h"
#include "app/mdiMain.h"
#include "platform/QtDialogs.h"
#include "platform/QtPrinter.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    QtDialogs dialogs;
    QtPrinter printer;
    AppContext ctx(SettingsStore::forCurrentUser(), dialogs, printer);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    Startup::run(ctx, arguments);
    // Idle: every event that showing and painting queued has been handled.
    QTimer::singleShot(0, &app, [] {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        QCoreApplication::exit(0);
    });
    return app.exec();
}
