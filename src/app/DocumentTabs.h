#pragma once

#include <QObject>
#include <QSet>
#include <QTimer>

struct AppContext;
struct DocumentRecord;
class QTabBar;
class mdiMain;

// Options > Tabs: the document windows as closable, movable tabs of the
// frame's area, each with the document's title (and " *" while it has
// unsaved changes) and its file as the tooltip; a middle click closes a
// tab. Only shown windows have tabs: a window hidden by File > Close keeps
// its place in the area, not its tab. The shown window fills the area under
// the bar, and the bar is hidden while no window is shown. Ctrl+Tab and
// Ctrl+Shift+Tab go to the next and previous tab in the bar's order (with
// Tabs off they keep the area's own meaning: the previously active window).
class DocumentTabs : public QObject
{
    Q_OBJECT

public:
    DocumentTabs(AppContext &ctx, mdiMain &frame);

    void toggle();
    // Shows the area as the option says.
    void apply();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTabBar *tabBar() const;
    void sync();
    // Activates the shown window step tabs away from the active one, round
    // the ends of the bar.
    void activateNeighbour(int step);

    AppContext &m_ctx;
    mdiMain &m_frame;
    QTimer m_sync;
    QSet<DocumentRecord *> m_watched;
};
