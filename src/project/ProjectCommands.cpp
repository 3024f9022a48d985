#include "project/ProjectCommands.h"

#include "core/ProjectList.h"
#include "project/frmProject.h"
#include "ui/AppContext.h"

#include <memory>

void registerProjectCommands(AppContext &ctx, DocumentHost &docs)
{
    auto list = std::make_shared<ProjectList>();
    AppContext *app = &ctx;
    DocumentHost *d = &docs;
    // Shown where it was, not centred; made afresh after it was closed.
    ctx.commands.addGlobal(QStringLiteral("mnuToolsProjectList"), [app, d, list] {
        frmProject *w = app->windows.get<frmProject>(QStringLiteral("frmProject"),
                                                     [&] { return new frmProject(*app, *d, *list); });
        w->show();
        w->raise();
        w->activateWindow();
    });
}
