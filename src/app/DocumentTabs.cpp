#include "app/DocumentTabs.h"

#include "app/mdiMain.h"
#include "core/DocumentRecord.h"
#include "document/DocumentManager.h"
#include "document/frmDoc.h"
#include "ui/AppContext.h"

#include <QAction>
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
    } else {
        area->setViewMode(QMdiArea::SubWindowView);
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
    const QList<QMdiSubWindow *> subs = m_frame.mdiArea()->subWindowList(QMdiArea::CreationOrder);
    for (int i = 0; i < subs.size() && i < bar->count(); ++i) {
        auto *w = qobject_cast<frmDoc *>(subs[i]->widget());
        const bool shown = subs[i]->isVisible() && w;
        bar->setTabVisible(i, shown);
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
}

bool DocumentTabs::eventFilter(QObject *watched, QEvent *event)
{
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
