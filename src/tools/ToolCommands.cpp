#include "tools/ToolCommands.h"

#include "core/CommandLine.h"
#include "core/FileIO.h"
#include "platform/Dialogs.h"
#include "tools/FindInFilesPanel.h"
#include "tools/frmAppend.h"
#include "tools/frmQuick.h"
#include "tools/frmSnip.h"
#include "tools/frmUrlSnip.h"
#include "tools/frmViewSettings.h"
#include "ui/AppContext.h"
#include "ui/CenterForm.h"
#include "ui/DocumentHost.h"
#include "ui/DocumentTarget.h"

#include <QDockWidget>
#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QProcess>

namespace {

void bringUp(QWidget *w, bool centre = true)
{
    if (centre)
        CenterForm(w);
    w->show();
    w->raise();
    w->activateWindow();
}

} // namespace

void startViewer(AppContext &ctx, DocumentTarget &doc, int n)
{
    const ExternalViewer &viewer = ctx.viewers[size_t(n)];
    if (doc.FilePath().trimmed().isEmpty()) {
        ctx.dialogs.message(QStringLiteral("You must save your document before you can preview it using ") + viewer.Title,
                            Dialogs::Buttons::Ok, Dialogs::Icon::Warning, QStringLiteral("Document Not Saved"));
        ctx.dialogs.beep();
        return;
    }
    // The program and its fixed arguments, quoted as a shell would take
    // them, then the document's absolute path as one more argument: no
    // shell, so blanks in the path are no problem, and a path never begins
    // with "-", so no name is taken for an option.
    QStringList arguments = CommandLine::split(viewer.File);
    const QString program = arguments.isEmpty() ? QString() : arguments.takeFirst();
    arguments << FileIO::absolutePath(doc.FilePath());
    if (program.isEmpty() || !QProcess::startDetached(program, arguments)) {
        ctx.dialogs.message(QStringLiteral("The program \"") + viewer.File + QStringLiteral("\" of ") + viewer.Title
                                + QStringLiteral(" could not be started."),
                            Dialogs::Buttons::Ok, Dialogs::Icon::Warning, AppContext::appTitle());
    }
}

void registerToolCommands(AppContext &ctx, DocumentHost &docs)
{
    CommandRegistry &c = ctx.commands;
    AppContext *app = &ctx;
    DocumentHost *d = &docs;
    // A panel at the foot of the frame, made once; it starts in the
    // document's folder.
    c.add(QStringLiteral("mnuSearchFindInFiles"), [app, d](DocumentTarget &doc) {
        auto *frame = qobject_cast<QMainWindow *>(doc.widget()->window());
        if (!frame)
            return;
        auto *dock = frame->findChild<QDockWidget *>(QStringLiteral("dockFindInFiles"));
        if (!dock) {
            dock = new QDockWidget(QStringLiteral("Find in Files"), frame);
            dock->setObjectName(QStringLiteral("dockFindInFiles"));
            dock->setWidget(new FindInFilesPanel(*app, *d, dock));
            frame->addDockWidget(Qt::BottomDockWidgetArea, dock);
        }
        auto *panel = static_cast<FindInFilesPanel *>(dock->widget());
        if (panel->txtFolder->text().isEmpty() && !doc.FilePath().isEmpty())
            panel->txtFolder->setText(QFileInfo(doc.FilePath()).absolutePath());
        if (!doc.SelText().isEmpty() && !doc.SelText().contains(u'\n') && !doc.SelText().contains(u'\r'))
            panel->txtFindText->setText(doc.SelText());
        dock->show();
        panel->txtFindText->setFocus();
        panel->txtFindText->selectAll();
    });
    for (int n = 0; n < 3; ++n)
        c.add(QStringLiteral("mnuViewProgram%1").arg(n), [app, n](DocumentTarget &doc) { startViewer(*app, doc, n); });
    c.addGlobal(QStringLiteral("mnuSetViewer"), [app] {
        bringUp(app->windows.get<frmViewSettings>(QStringLiteral("frmViewSettings"),
                                                  [app] { return new frmViewSettings(*app); }));
    });
    // One snip tool of each kind; the document that opened it last gets the text.
    c.add(QStringLiteral("mnuToolsSnip"), [app, d](DocumentTarget &doc) {
        frmSnip *w = app->windows.get<frmSnip>(QStringLiteral("frmSnip"), [&] { return new frmSnip(*app, *d); });
        w->Tag = doc.Tag();
        w->Document = doc.ref();
        bringUp(w);
    });
    c.add(QStringLiteral("mnuToolsUrlSnip"), [app, d](DocumentTarget &doc) {
        frmUrlSnip *w = app->windows.get<frmUrlSnip>(QStringLiteral("frmUrlSnip"), [&] { return new frmUrlSnip(*app, *d); });
        w->Tag = doc.Tag();
        w->Document = doc.ref();
        bringUp(w);
    });
    c.addGlobal(QStringLiteral("mnuToolsQuickSearch"), [app] {
        bringUp(app->windows.get<frmQuick>(QStringLiteral("frmQuick"), [app] { return new frmQuick(*app); }));
    });
    // Modal, owned by the main frame, where the window system puts it.
    c.add(QStringLiteral("mnuFileAppendContents"), [app, d](DocumentTarget &doc) {
        frmAppend dialog(*app, *d, doc.ref(), doc.widget()->window());
        dialog.exec();
    });
}
