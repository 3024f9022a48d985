#include "app/DocumentTabs.h"

#include "app/mdiMain.h"
#include "core/DocumentRecord.h"
#include "document/DocumentManager.h"
#include "document/frmDoc.h"
#include "ui/AppContext.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QTabBar>

DocumentTabs::DocumentTabs(AppContext &ctx, mdiMain &frame)
    : QObject(&frame), m_ctx(ctx), m_frame(frame)
{
    // On a later turn: after the area has updated its own tabs, and never
    // while a window is being destroyed.
    m_sync.setSingleShot(true);
    m_sync.setInterval(0);
    connect(&m_sync, &QTimer::timeout, this, &DocumentTabs::sync);
    connect(&frame.documents(), &DocumentManager::documentWindowsChanged, &m_sync, qOverload<>(&QTimer::start));
    connect(frame.mdiArea(), &QMdiArea::subWindowActivated, &m_sync, qOverload<>(&QTimer::start));
}

QTabBar *DocumentTabs::tabBar() const
{
    return m_frame.mdiArea()->findChild<QTabBar *>(QString(), Qt::FindDirectChildrenOnly);
}

void DocumentTabs::toggle()
{
    m_ctx.Tabs = !m_ctx.Tabs;
    m_ctx.settings.setValue(SettingsStore::Key::Tabs, m_ctx.Tabs);
    apply();
}

void DocumentTabs::apply()
{
    QMdiArea *area = m_frame.mdiArea();
    if (m_ctx.Tabs) {
        area->setViewMode(QMdiArea::TabbedView);
        area->setDocumentMode(true);
        area->setTabsClosable(true);
        area->setTabsMovable(true);
        if (QTabBar *bar = tabBar())
            bar->installEventFilter(this);
        // Ctrl+Tab: ahead of the area's own filter, which installed itself
        // earlier and switches in activation order. Keys reach the
        // application's filters before the focused text sees them.
        qApp->installEventFilter(this);
    } else {
        area->setViewMode(QMdiArea::SubWindowView);
        qApp->removeEventFilter(this);
    }
    m_sync.start();
}

void DocumentTabs::sync()
{
    for (QAction *item : m_frame.findChildren<QAction *>(QStringLiteral("mnuOptionsTabs"))) {
        item->setCheckable(true);
        item->setChecked(m_ctx.Tabs);
    }
    QTabBar *bar = tabBar();
    if (!m_ctx.Tabs || !bar)
        return;
    // The area keeps its tabs in the order of its windows, moves included.
    QMdiArea *area = m_frame.mdiArea();
    const QList<QMdiSubWindow *> subs = area->subWindowList(QMdiArea::CreationOrder);
    bool anyShown = false, tabsShownChanged = false;
    for (int i = 0; i < subs.size() && i < bar->count(); ++i) {
        auto *w = qobject_cast<frmDoc *>(subs[i]->widget());
        const bool shown = subs[i]->isVisible() && w;
        tabsShownChanged |= bar->isTabVisible(i) != shown;
        bar->setTabVisible(i, shown);
        anyShown |= shown;
        if (!shown)
            continue;
        DocumentRecord &r = m_frame.documents().table().record(w->slot());
        if (!m_watched.contains(&r)) {
            m_watched.insert(&r);
            connect(&r, &DocumentRecord::changed, &m_sync, qOverload<>(&QTimer::start));
            connect(&r, &DocumentRecord::titleChanged, &m_sync, qOverload<>(&QTimer::start));
        }
        bar->setTabText(i, r.Title() + (r.Changed() ? QStringLiteral(" *") : QString()));
        bar->setTabToolTip(i, r.FilePath());
    }
    bar->setVisible(anyShown);
    // The area measures the bar (and keeps that much room above the windows)
    // when a tab is added or removed or an option of the bar changes, not
    // when a tab is shown or hidden: a change of option has it measure the
    // bar's shown tabs again, so that no empty band stays where it was.
    if (tabsShownChanged) {
        area->setDocumentMode(false);
        area->setDocumentMode(true);
    }
    // The area maximises the window it activates only when the one before
    // was maximised and still shown: after the active window was hidden (or
    // into an empty area) the next one would come up at its windowed size.
    if (frmDoc *doc = m_frame.activeDocument(); doc && doc->subWindow() && !doc->subWindow()->isMaximized())
        doc->subWindow()->showMaximized();
}

void DocumentTabs::activateNeighbour(int step)
{
    const QList<QMdiSubWindow *> subs = m_frame.mdiArea()->subWindowList(QMdiArea::CreationOrder);
    frmDoc *doc = m_frame.activeDocument();
    const int from = doc ? int(subs.indexOf(doc->subWindow())) : -1;
    const int n = int(subs.size());
    for (int i = 1; i < n + (from < 0); ++i) {
        QMdiSubWindow *sub = subs[((from + step * i) % n + n) % n];
        if (sub->isVisible()) {
            m_frame.mdiArea()->setActiveSubWindow(sub);
            return;
        }
    }
}

bool DocumentTabs::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == &m_frame) {
        const auto *ke = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers mods = ke->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
        // Shift+Tab comes as Backtab, with or without the Shift it took.
        const bool tab = ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab;
        if (tab && mods == Qt::ControlModifier) {
            activateNeighbour(ke->key() == Qt::Key_Backtab || (ke->modifiers() & Qt::ShiftModifier) ? -1 : 1);
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonPress) {
        const auto *me = static_cast<QMouseEvent *>(event);
        QTabBar *bar = tabBar();
        if (me->button() == Qt::MiddleButton && watched == bar) {
            const int i = bar->tabAt(me->position().toPoint());
            const QList<QMdiSubWindow *> subs = m_frame.mdiArea()->subWindowList(QMdiArea::CreationOrder);
            if (i >= 0 && i < subs.size())
                subs[i]->close();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
