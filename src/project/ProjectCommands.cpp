#include "project/ProjectCommands.h"

#include "project/frmProject.h"
#include "ui/AppContext.h"

void registerProjectCommands(AppContext &ctx, DocumentHost &docs)
{
    AppContext *app = &ctx;
    DocumentHost *d = &docs;
    // Shown where it was, not centred; made afresh after it was closed.
    ctx.commands.addGlobal(QStringLiteral("mnuToolsProjectList"), [app, d] {
        frmProject *w = app->windows.get<frmProject>(QStringLiteral("frmProject"),
                                                     [&] { return new frmProject(*app, *d, app->projectList); });
        w->show();
        w->raise();
        w->activateWindow();
    });
}
