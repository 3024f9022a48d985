#include "app/AppCommands.h"

#include "app/DocumentTabs.h"
#include "app/SessionKeeper.h"
#include "app/frmAbout.h"
#include "app/mdiMain.h"
#include "ui/AppContext.h"

#include <QCoreApplication>

void registerAppCommands(AppContext &ctx, mdiMain &frame)
{
    SingleWindows *windows = &ctx.windows;
    ctx.commands.addGlobal(QStringLiteral("mnuHelpAbout"), [windows] { frmAbout::showAbout(*windows); });
    ctx.commands.addGlobal(QStringLiteral("mnuDFClip"), [&frame] { frame.DocumentFromClip(); });
    ctx.commands.addGlobal(QStringLiteral("mnuOptionsTabs"), [&frame] { frame.tabs().toggle(); });
    ctx.commands.addGlobal(QStringLiteral("mnuOptionsReopenDocuments"), [&frame] { frame.session().toggle(); });
    // Ends the program at once, asking nothing (quit() would close every window first).
    ctx.commands.addGlobal(QStringLiteral("mnuExit"), [] { QCoreApplication::exit(0); });
}
