#include "app/mdiMain.h"

#include "app/DocumentTabs.h"
#include "app/SessionKeeper.h"
#include "document/DocumentMenus.h"

#include "document/DocumentManager.h"
#include "ui/RichTextBox.h"
#include "document/frmDoc.h"
#include "ui/AppContext.h"
#include "ui/FileDrops.h"
#include "ui/MenuTable.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>

namespace {

constexpr MenuTable::Entry kMenus[] = {
    {0, "mnuFile", "&File"},
    {1, "mnuFileNew", "&New"},
    {2, "mnuNew", "&New Document", Qt::CTRL | Qt::Key_N, "mnuFileNewDocument"},
    {2, "mnuFileNewCut01", "-"},
    {2, "mnuTemplates", "New from Template", Qt::Key_unknown, "mnuNewTemplate"},
    {1, "mnuFileOpenMenu", "&Open"},
    {2, "mnuOpen", "&Open", Qt::CTRL | Qt::Key_O},
    {2, "mnuOpenCut01", "-"},
    {2, "mnuOpenRecent", "Open Recent"},
    {1, "mnuFileCut01", "-"},
    {1, "mnuExit", "&Exit"},
    {0, "mnuEdit", "&Edit"},
    {1, "mnuDFClip", "Document From Clip", Qt::CTRL | Qt::Key_V},
    {0, "mnuTools", "&Tools"},
    {1, "mnuToolsQuickSearch", "&Quick Search"},
    {1, "mnuPL", "&Project List", Qt::Key_unknown, "mnuToolsProjectList"},
    {0, "mnuOptions", "&Options"},
    {1, "mnuOptionsTabs", "&Tabs"},
    {1, "mnuOptionsReopenDocuments", "Reopen &Documents at Start-up"},
    {1, "mnuViewSettings", "&Settings", Qt::Key_unknown, "mnuSetViewer"},
    {0, "mnuHelp", "&Help"},
    {1, "mnuHelpAbout", "&About"},
};

} // namespace

mdiMain::mdiMain(AppContext &ctx, QWidget *parent)
    : QMainWindow(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("mdiMain"));
    m_area = new QMdiArea(this);
    m_area->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(m_area);
    setAcceptDrops(true);

    m_menuSync.setSingleShot(true);
    m_menuSync.setInterval(0);
    connect(&m_menuSync, &QTimer::timeout, this, &mdiMain::updateMenuBar);
    connect(m_area, &QMdiArea::subWindowActivated, this, [this] { updateMenuBar(); });

    m_documents = new DocumentManager(ctx, *m_area, this);
    // A window that is being destroyed still counts until a later turn.
    connect(m_documents, &DocumentManager::documentWindowsChanged, this, [this] {
        updateMenuBar();
        m_menuSync.start();
    });
    connect(m_documents, &DocumentManager::loadProgress, this, &mdiMain::showLoadProgress);
    m_session = new SessionKeeper(ctx, *this);
    m_tabs = new DocumentTabs(ctx, *this);
}

mdiMain::~mdiMain()
{
    // Document windows go down with the frame; their last signals must not
    // reach a frame that is half destroyed.
    disconnect(m_area, nullptr, this, nullptr);
    disconnect(m_documents, nullptr, this, nullptr);
    disconnect(m_documents, nullptr, m_session, nullptr);
    disconnect(m_documents, nullptr, m_tabs, nullptr);
    disconnect(m_area, nullptr, m_tabs, nullptr);
    m_menuSync.stop();
}

void mdiMain::Load()
{
    const CommandRegistry &commands = m_ctx.commands;
    m_ownMenus = MenuTable::build(this, kMenus, [&commands](QAction *item, const QString &command) {
        commands.bind(item, command, nullptr);
    });
    m_openMenu = findChild<QMenu *>(QStringLiteral("mnuFileOpenMenu"));
    QAction *placeholder = findChild<QAction *>(QStringLiteral("mnuOpenRecent"));
    placeholder->setProperty("Index", 0);
    placeholder->setVisible(false);
    m_recent = {placeholder};
    connect(m_ownMenus.first(), &QMenu::aboutToShow, this, &mdiMain::RefreshRecentMenu);
    m_shownMenus = nullptr;
    updateMenuBar();
    RefreshRecentMenu();
}

frmDoc *mdiMain::activeDocument() const
{
    return m_documents->activeWindow();
}

void mdiMain::updateMenuBar()
{
    frmDoc *doc = activeDocument();
    if (doc && doc->subWindow() != m_area->currentSubWindow())
        m_area->setActiveSubWindow(doc->subWindow());
    // The document menus show the active window's states.
    if (doc)
        doc->timer1Tick();
    const QList<QMenu *> *wanted = doc ? &m_documents->menus().bar : &m_ownMenus;
    if (wanted == m_shownMenus && menuBar()->actions().size() == wanted->size())
        return;
    menuBar()->clear();
    for (QMenu *menu : *wanted)
        menuBar()->addAction(menu->menuAction());
    m_shownMenus = wanted;
}

void mdiMain::RefreshRecentMenu()
{
    MenuTable::fillRecentItems(m_openMenu, m_recent, m_ctx.settings,
                               [this](const QString &path) { m_documents->OpenFileByPath(path); });
}

void mdiMain::DocumentFromClip()
{
    frmDoc *w = m_documents->CreateDocumentWindow();
    if (!w)
        return;
    w->SetTitle(QStringLiteral("Clipboard"));
    m_documents->table().record(w->slot()).setChanged(true); // even with nothing to paste
    // The new window may be a reused one that still holds an old text; the
    // insertion is a change of the new document.
    w->SetText(QApplication::clipboard()->text());
    w->scheduleTimer1();
}

void mdiMain::showLoadProgress(const QString &text, int percent)
{
    if (!m_loadBar) {
        m_loadLabel = new QLabel(this);
        m_loadLabel->setObjectName(QStringLiteral("lblLoad"));
        m_loadBar = new QProgressBar(this);
        m_loadBar->setObjectName(QStringLiteral("prgLoad"));
        m_loadBar->setRange(0, 100);
        m_loadBar->setMaximumWidth(300);
        statusBar()->addWidget(m_loadLabel);
        statusBar()->addWidget(m_loadBar, 1);
        statusBar()->setSizeGripEnabled(false);
    }
    if (percent < 0) {
        statusBar()->hide();
        return;
    }
    m_loadLabel->setText(text);
    m_loadBar->setValue(percent);
    statusBar()->show();
    // A file named on the command line loads before the frame would show.
    if (!isVisible())
        show();
}

void mdiMain::closeEvent(QCloseEvent *e)
{
    // Each document window runs its own close routine, which may ask to
    // save; one Cancel keeps the frame open.
    m_session->frameClosing();
    for (QMdiSubWindow *sub : m_area->subWindowList()) {
        if (!sub->close()) {
            m_session->closeCancelled();
            e->ignore();
            return;
        }
    }
    // The program ends with the frame: a tool window left open (New From
    // Template, the snip tools...) would act on documents that are gone.
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != this && w->isVisible())
            w->close();
    }
    e->accept();
}

void mdiMain::dragEnterEvent(QDragEnterEvent *e)
{
    FileDrops::acceptFiles(e);
}

void mdiMain::dragMoveEvent(QDragMoveEvent *e)
{
    FileDrops::acceptFiles(e);
}

void mdiMain::dropEvent(QDropEvent *e)
{
    const QStringList files = FileDrops::take(e);
    // Opened after the drop has finished, so that a question does not run inside the drag.
    if (!files.isEmpty()) {
        QTimer::singleShot(0, this, [this, files] {
            for (const QString &path : files)
                m_documents->OpenFileByPath(path);
        });
    }
}
