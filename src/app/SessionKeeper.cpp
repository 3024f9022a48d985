#include "app/SessionKeeper.h"

#include "core/FileIO.h"
#include "core/SessionEntry.h"
#include "app/mdiMain.h"
#include "document/DocumentManager.h"
#include "document/frmDoc.h"
#include "platform/Dialogs.h"
#include "ui/AppContext.h"
#include "ui/FitInArea.h"

#include <QAction>
#include <QChildEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>

namespace {

using Key = SettingsStore::Key;
using State = SessionEntry::State;

// What a window of the area keeps for the list (see eventFilter).
constexpr char kNormalGeometry[] = "sessionNormalGeometry";
constexpr char kWindowedState[] = "sessionWindowedState";

State stateOf(const QMdiSubWindow *sub)
{
    return sub->isMinimized() ? State::Minimised : sub->isMaximized() ? State::Maximised : State::Normal;
}

// Puts a window at its normal place and size (inside the area as it is now)
// and keeps its state.
void setNormalGeometry(QMdiSubWindow *sub, QRect box)
{
    const Qt::WindowStates state = sub->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized);
    if (state)
        sub->showNormal();
    if (!sub->mdiArea()->viewport()->rect().contains(box.topLeft()))
        box.moveTopLeft(QPoint(0, 0));
    sub->setGeometry(box);
    ShrinkIntoArea(sub);
    if (state)
        sub->setWindowState(sub->windowState() | state);
}

} // namespace

SessionKeeper::SessionKeeper(AppContext &ctx, mdiMain &frame)
    : QObject(&frame), m_ctx(ctx), m_frame(frame)
{
    // On a later turn: a window being destroyed still counts until then,
    // and its half-destroyed children must not be searched.
    m_write.setSingleShot(true);
    m_write.setInterval(0);
    connect(&m_write, &QTimer::timeout, this, [this] {
        syncChecks(); // the document menus are made with the first document
        if (m_ctx.ReopenDocuments && !m_closing)
            write();
    });
    const auto changed = [this] { m_write.start(); };
    connect(&frame.documents(), &DocumentManager::documentWindowsChanged, this, changed);
    connect(&frame.documents(), &DocumentManager::recentListChanged, this, changed); // opened, or saved under a name
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (m_ctx.ReopenDocuments && !m_closing)
            write();
    });
    m_viewport = frame.mdiArea()->viewport();
    m_viewport->installEventFilter(this);
}

bool SessionKeeper::eventFilter(QObject *watched, QEvent *event)
{
    // The area may be going down: nothing of it is asked here.
    if (watched == m_viewport) {
        // Its windows are its children; one being made is not a window yet.
        if (event->type() == QEvent::ChildAdded)
            static_cast<QChildEvent *>(event)->child()->installEventFilter(this);
        return false;
    }
    auto *sub = qobject_cast<QMdiSubWindow *>(watched);
    if (!sub)
        return false;
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
        if (stateOf(sub) == State::Normal)
            sub->setProperty(kNormalGeometry, sub->geometry());
        break;
    case QEvent::WindowStateChange:
        // The windowed view's only: the tabbed view maximises and restores
        // windows of its own accord (turning it on too, as Tabs is set
        // before the view changes).
        if (!m_ctx.Tabs)
            sub->setProperty(kWindowedState, int(stateOf(sub)));
        break;
    default:
        break;
    }
    return false;
}

void SessionKeeper::toggle()
{
    m_ctx.ReopenDocuments = !m_ctx.ReopenDocuments;
    m_ctx.settings.setValue(Key::ReopenDocuments, m_ctx.ReopenDocuments);
    if (m_ctx.ReopenDocuments)
        write();
    syncChecks();
}

void SessionKeeper::syncChecks()
{
    for (QAction *item : m_frame.findChildren<QAction *>(QStringLiteral("mnuOptionsReopenDocuments"))) {
        item->setCheckable(true);
        item->setChecked(m_ctx.ReopenDocuments);
    }
}

void SessionKeeper::frameClosing()
{
    if (m_ctx.ReopenDocuments)
        write();
    m_closing = true;
}

void SessionKeeper::write()
{
    m_write.stop();
    QStringList entries;
    const frmDoc *active = m_frame.activeDocument();
    // The area's order is the tab bar's, moves included.
    for (QMdiSubWindow *sub : m_frame.mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
        auto *w = qobject_cast<frmDoc *>(sub->widget());
        if (!sub->isVisible() || !w || w->FilePath().isEmpty())
            continue;
        SessionEntry e;
        std::tie(e.caret, e.firstLine) = w->place();
        e.path = w->FilePath();
        e.hasWindow = true;
        e.active = w == active;
        const QVariant windowed = sub->property(kWindowedState);
        e.state = !m_ctx.Tabs ? stateOf(sub) : windowed.isValid() ? State(windowed.toInt()) : State::Normal;
        const QRect normal = sub->property(kNormalGeometry).toRect();
        e.normalGeometry = stateOf(sub) == State::Normal || !normal.isValid() ? sub->geometry() : normal;
        entries << e.toString();
    }
    // The entries, and blanks for those of a longer list before, in one
    // batch: the store writes them together, atomically, under its lock.
    if (m_stored < 0) {
        m_stored = 0;
        for (int i = 1; i <= kMaxDocuments; ++i) {
            if (!m_ctx.settings.value(Key::SessionDocument, i).toString().isEmpty())
                m_stored = i;
        }
    }
    const int count = int(std::min<qsizetype>(entries.size(), kMaxDocuments));
    for (int i = 0; i < std::max(count, m_stored); ++i)
        m_ctx.settings.setValue(Key::SessionDocument, entries.value(i), i + 1);
    m_stored = count;
}

void SessionKeeper::reopen()
{
    if (!m_ctx.ReopenDocuments)
        return;
    QStringList open, missing;
    for (QMdiSubWindow *sub : m_frame.mdiArea()->subWindowList()) {
        if (auto *w = qobject_cast<frmDoc *>(sub->widget()); w && sub->isVisible())
            open << w->FilePath();
    }
    QList<std::pair<QMdiSubWindow *, SessionEntry>> windows;
    for (int i = 1; i <= kMaxDocuments; ++i) {
        const std::optional<SessionEntry> e = SessionEntry::parse(m_ctx.settings.value(Key::SessionDocument, i).toString());
        if (!e)
            continue;
        const QString &path = e->path;
        if (open.contains(path))
            continue;
        // Checked before opening, so that nothing asks a question per file
        // at start-up: gone, not a regular file, or too big is said once.
        FileIO::Failure failure = FileIO::checkReadable(path);
        if (!failure)
            failure = FileIO::checkTextSize(QFileInfo(path).size());
        if (failure) {
            missing << path + QStringLiteral(" (") + failure.description + u')';
            continue;
        }
        if (frmDoc *w = m_frame.documents().OpenFileByPath(path)) {
            w->setPlace(e->caret, e->firstLine);
            open << path;
            if (QMdiSubWindow *sub = w->subWindow(); sub && e->hasWindow) {
                sub->setProperty(kWindowedState, int(e->state));
                setNormalGeometry(sub, e->normalGeometry);
                windows.append({sub, *e});
            }
        }
    }
    // The states once every window is open: the area maximises the window
    // it activates when the active one is maximised, and restores the one
    // before, so only the active window can stay maximised. The tabbed view
    // shows the active window maximised whatever its state.
    const bool windowed = m_frame.mdiArea()->viewMode() == QMdiArea::SubWindowView;
    const std::pair<QMdiSubWindow *, SessionEntry> *active = nullptr;
    for (const auto &window : windows) {
        if (windowed && window.second.state == State::Minimised)
            window.first->showMinimized();
        if (window.second.active)
            active = &window;
    }
    if (active) {
        m_frame.mdiArea()->setActiveSubWindow(active->first);
        if (windowed && active->second.state == State::Maximised)
            active->first->showMaximized();
    }
    if (!missing.isEmpty()) {
        m_ctx.dialogs.message(QStringLiteral("These documents were not reopened:\r\n\r\n")
                                  + missing.join(QStringLiteral("\r\n")),
                              Dialogs::Buttons::Ok, Dialogs::Icon::Information, AppContext::appTitle());
    }
}
