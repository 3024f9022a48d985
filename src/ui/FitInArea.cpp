#include "ui/FitInArea.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QStyle>
#include <QTimer>

namespace {

// Fits a window once, after its hidden area has been shown: the area places
// windows added while hidden when it shows.
class FitWhenShown : public QObject
{
public:
    explicit FitWhenShown(QMdiSubWindow *sub) : QObject(sub), m_sub(sub) { sub->mdiArea()->installEventFilter(this); }

    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Show) {
            QTimer::singleShot(0, m_sub, [sub = m_sub] { FitInArea(sub); });
            deleteLater();
        }
        return false;
    }

private:
    QMdiSubWindow *m_sub;
};

QRect room(const QMdiSubWindow *sub)
{
    return sub->mdiArea()->viewport()->rect();
}

} // namespace

void ShrinkIntoArea(QMdiSubWindow *sub)
{
    if (!sub->mdiArea())
        return;
    const QRect area = room(sub);
    QRect g = sub->geometry();
    if (area.contains(g))
        return;
    g.setSize(g.size().boundedTo(QSize(area.right() - g.left() + 1, area.bottom() - g.top() + 1)));
    sub->setGeometry(g);
}

void FitInArea(QMdiSubWindow *sub)
{
    QMdiArea *area = sub->mdiArea();
    if (!area)
        return;
    if (!area->isVisible()) {
        new FitWhenShown(sub);
        return;
    }
    const QRect space = room(sub);
    if (space.contains(sub->geometry()))
        return;
    // One step per shown window made before it, as far as a third of the
    // area; then the cascade starts again at the top-left.
    int before = 0;
    for (const QMdiSubWindow *w : area->subWindowList()) {
        if (w == sub)
            break;
        before += w->isVisible();
    }
    const int step = qMax(1, sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub));
    const int steps = qMax(1, qMin(space.width(), space.height()) / 3 / step + 1);
    const int offset = before % steps * step;
    sub->setGeometry(QRect(QPoint(offset, offset), sub->size()));
    ShrinkIntoArea(sub);
}
