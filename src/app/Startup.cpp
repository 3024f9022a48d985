#include "app/Startup.h"

#include "app/AppCommands.h"
#include "app/DocumentTabs.h"
#include "app/SessionKeeper.h"
#include "app/mdiMain.h"
#include "core/FileIO.h"
#include "document/DocumentCommands.h"
#include "document/DocumentManager.h"
#include "document/frmRecover.h"
#include "project/ProjectCommands.h"
#include "templates/TemplateCommands.h"
#include "tools/ToolCommands.h"
#include "ui/AppContext.h"
#include "ui/CenterForm.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>

namespace Startup {

void prepareApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Tavrent"));
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/orvane.svg")));
    QGuiApplication::setDesktopFileName(QStringLiteral("orvane"));
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
}

QStringList arguments(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

mdiMain *run(AppContext &ctx, const QStringList &arguments)
{
    FileIO::ignoreFileSizeSignal();
    ctx.TemplatesDir = ctx.settings.LoadSettings();
    QCoreApplication::setApplicationName(AppContext::appTitle());
    // Nothing uses the directory afterwards: start-up goes on without it.
    ctx.settings.EnsureProgramSubdirectory(QStringLiteral("tempfile"));
    ctx.settings.LoadExternalViewers(ctx.viewers);
    ctx.CodeView = ctx.settings.value(SettingsStore::Key::CodeView).toBool();
    ctx.WordWrap = ctx.settings.value(SettingsStore::Key::WordWrap).toBool();
    ctx.Tabs = ctx.settings.value(SettingsStore::Key::Tabs).toBool();
    ctx.ReopenDocuments = ctx.settings.value(SettingsStore::Key::ReopenDocuments).toBool();
    ctx.CodeFontFamily = ctx.settings.value(SettingsStore::Key::CodeFontFamily).toString();
    ctx.CodeFontSize = ctx.settings.value(SettingsStore::Key::CodeFontSize).toInt();

    auto *frame = new mdiMain(ctx);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    // Every feature adds its commands before any menu is built.
    registerAppCommands(ctx, *frame);
    registerDocumentCommands(ctx, frame->documents());
    registerTemplateCommands(ctx, frame->documents());
    registerProjectCommands(ctx, frame->documents());
    registerToolCommands(ctx, frame->documents());
    frame->Load();
    frame->setWindowTitle(AppContext::appTitle());
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        frame->resize(area.width() * 4 / 5, area.height() * 4 / 5);
        CenterForm(frame);
    }

    // The whole command line is one path (the shell split a path with
    // blanks). Only when no such file exists and every argument is a file
    // of its own does each open in a window of its own.
    const QString commandLine = arguments.join(QLatin1Char(' '));
    const bool severalFiles = arguments.size() > 1 && !QFileInfo::exists(commandLine)
                              && std::all_of(arguments.begin(), arguments.end(), [](const QString &a) { return QFileInfo(a).isFile(); });
    if (severalFiles) {
        for (const QString &path : arguments)
            frame->documents().OpenFileByPath(path);
    } else if (!commandLine.trimmed().isEmpty()) {
        frame->documents().OpenFileByPath(commandLine);
    }

    frame->tabs().apply();
    frame->show();
    frame->session().syncChecks();
    frame->session().reopen();
    // After an end without a clean exit: what can be recovered.
    frmRecover::offer(frame->documents(), ctx.settings.ProgramDirectory() + QStringLiteral("recovery"), frame);
    return frame;
}

} // namespace Startup
