#include "app/mdiMain.h"

#include "app/ActionTable.h"
#include "app/AppContext.h"
#include "app/frmAbout.h"
#include "core/WindowGeometry.h"
#include "document/DocumentManager.h"
#include "document/RichTextBox.h"
#include "document/frmDoc.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>

using ActionTable::item;
using ActionTable::separator;
using ActionTable::subMenu;

mdiMain::mdiMain(AppContext &ctx, QWidget *parent)
    : QMainWindow(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("mdiMain"));
    m_area = new QMdiArea(this);
    m_area->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(m_area);
    setAcceptDrops(true);

    buildMenus();
    m_menuSync.setSingleShot(true);
    m_menuSync.setInterval(0);
    connect(&m_menuSync, &QTimer::timeout, this, &mdiMain::updateMenuBar);
    connect(m_area, &QMdiArea::subWindowActivated, this, [this] { updateMenuBar(); });

    ctx.frame = this;
    ctx.documents = new DocumentManager(ctx, *m_area, this);
    // A window that is being destroyed still counts until a later turn.
    connect(ctx.documents, &DocumentManager::documentWindowsChanged, this, [this] {
        updateMenuBar();
        m_menuSync.start();
    });

    RefreshRecentMenu();
}

mdiMain::~mdiMain()
{
    // Document windows go down with the frame; their last signals must not
    // reach a frame that is half destroyed.
    disconnect(m_area, nullptr, this, nullptr);
    disconnect(m_ctx.documents, nullptr, this, nullptr);
    m_menuSync.stop();
    if (m_ctx.frame == this) {
        m_ctx.frame = nullptr;
        m_ctx.documents = nullptr;
    }
}

void mdiMain::buildMenus()
{
    QMenu *file = ActionTable::topMenu(this, "mnuFile", QStringLiteral("&File"));
    QMenu *fileNew = subMenu(file, "mnuFileNewMenu", QStringLiteral("&New"));
    item(fileNew, "mnuNew", QStringLiteral("&New Document"), [this] { m_ctx.documents->NewBlankDocument(); },
         QKeySequence(Qt::CTRL | Qt::Key_N));
    separator(fileNew, "mnuNewCut01");
    item(fileNew, "mnuTemplates", QStringLiteral("New from Template"), ActionTable::kNotOffered);
    m_openMenu = subMenu(file, "mnuFileOpenMenu", QStringLiteral("&Open"));
    item(m_openMenu, "mnuOpen", QStringLiteral("&Open"), [this] { m_ctx.documents->OpenFileWithDialog(); },
         QKeySequence(Qt::CTRL | Qt::Key_O));
    separator(m_openMenu, "mnuOpenCut01");
    QAction *placeholder = m_openMenu->addAction(QStringLiteral("Open Recent"));
    placeholder->setObjectName(QStringLiteral("mnuOpenRecent"));
    placeholder->setProperty("Index", 0);
    placeholder->setVisible(false);
    m_recent.append(placeholder);
    separator(file, "mnuFileCut01");
    // Ends the program at once, asking nothing (quit() would close every window first).
    item(file, "mnuExit", QStringLiteral("&Exit"), [] { QCoreApplication::exit(0); });
    connect(file, &QMenu::aboutToShow, this, &mdiMain::RefreshRecentMenu);

    QMenu *edit = ActionTable::topMenu(this, "mnuEdit", QStringLiteral("&Edit"));
    item(edit, "mnuDFClip", QStringLiteral("Document From Clip"), [this] { DocumentFromClip(); },
         QKeySequence(Qt::CTRL | Qt::Key_V));

    QMenu *tools = ActionTable::topMenu(this, "mnuTools", QStringLiteral("&Tools"));
    item(tools, "mnuToolsQuickSearch", QStringLiteral("&Quick Search"), ActionTable::kNotOffered);
    item(tools, "mnuPL", QStringLiteral("&Project List"), ActionTable::kNotOffered);

    QMenu *options = ActionTable::topMenu(this, "mnuOptions", QStringLiteral("&Options"));
    item(options, "mnuViewSettings", QStringLiteral("&Settings"), ActionTable::kNotOffered);

    QMenu *help = ActionTable::topMenu(this, "mnuHelp", QStringLiteral("&Help"));
    item(help, "mnuHelpAbout", QStringLiteral("&About"), [] { frmAbout::showAbout(); });

    m_ownMenus = {file, edit, tools, options, help};
    for (QMenu *menu : m_ownMenus)
        menuBar()->addAction(menu->menuAction());
    m_shownMenus = &m_ownMenus;
}

frmDoc *mdiMain::activeDocument() const
{
    QMdiSubWindow *current = m_area->currentSubWindow();
    if (current && current->isVisible())
        return qobject_cast<frmDoc *>(current->widget());
    // The current window was hidden or is going: any other shown one.
    const QList<QMdiSubWindow *> windows = m_area->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if ((*it)->isVisible() && *it != current)
            return qobject_cast<frmDoc *>((*it)->widget());
    }
    return nullptr;
}

void mdiMain::updateMenuBar()
{
    frmDoc *doc = activeDocument();
    if (doc && doc->subWindow() != m_area->currentSubWindow())
        m_area->setActiveSubWindow(doc->subWindow());
    const QList<QMenu *> *wanted = doc ? &doc->menuBarMenus() : &m_ownMenus;
    if (wanted == m_shownMenus && menuBar()->actions().size() == wanted->size())
        return;
    menuBar()->clear();
    for (QMenu *menu : *wanted)
        menuBar()->addAction(menu->menuAction());
    m_shownMenus = wanted;
}

void mdiMain::RefreshRecentMenu()
{
    ActionTable::fillRecentItems(m_openMenu, m_recent, m_ctx.settings,
                                 [this](const QString &path) { m_ctx.documents->OpenFileByPath(path); });
}

void mdiMain::DocumentFromClip()
{
    frmDoc *w = m_ctx.documents->CreateDocumentWindow();
    if (!w)
        return;
    DocumentRecord &r = m_ctx.documents->table().record(w->slot());
    r.Title = QStringLiteral("Clipboard");
    r.FilePath.clear();
    r.Changed = true;
    r.UndoSnapshot.clear();
    w->txtContents->SetText(QApplication::clipboard()->text());
    w->scheduleTimer1();
}

void mdiMain::openDroppedFiles(const QStringList &files)
{
    for (const QString &path : files)
        m_ctx.documents->OpenFileByPath(path);
}

void mdiMain::CenterForm(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen->geometry();
    const QPoint topLeft = WindowGeometry::centeredTopLeft(area.size(), window->frameGeometry().size());
    window->move(area.topLeft() + topLeft);
}

void mdiMain::closeEvent(QCloseEvent *e)
{
    // Each document window runs its own close routine, which may ask to
    // save; one Cancel keeps the frame open.
    for (QMdiSubWindow *sub : m_area->subWindowList()) {
        if (!sub->close()) {
            e->ignore();
            return;
        }
    }
    e->accept();
}

void mdiMain::dragEnterEvent(QDragEnterEvent *e)
{
    if (RichTextBox::droppedFiles(e->mimeData()).isEmpty())
        e->ignore();
    else
        e->acceptProposedAction();
}

void mdiMain::dragMoveEvent(QDragMoveEvent *e)
{
    if (RichTextBox::droppedFiles(e->mimeData()).isEmpty())
        e->ignore();
    else
        e->acceptProposedAction();
}

void mdiMain::dropEvent(QDropEvent *e)
{
    const QStringList files = RichTextBox::droppedFiles(e->mimeData());
    if (files.isEmpty()) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    QTimer::singleShot(0, this, [this, files] { openDroppedFiles(files); });
}
