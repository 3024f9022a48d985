#pragma once

#include <QMainWindow>
#include <QTimer>
#include <QVector>

struct AppContext;
class QAction;
class QMdiArea;
class QMenu;
class frmDoc;

// The main frame: holds every document window. Its own small menu bar is
// shown only while no document window is open; otherwise the active
// document's full menu bar takes its place.
class mdiMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit mdiMain(AppContext &ctx, QWidget *parent = nullptr);
    ~mdiMain() override;

    QMdiArea *mdiArea() const { return m_area; }
    // The document window whose menus the frame shows, or nullptr.
    frmDoc *activeDocument() const;

    void RefreshRecentMenu();
    void DocumentFromClip();
    void openDroppedFiles(const QStringList &files);
    // Shows the active document's menus, or the frame's own.
    void updateMenuBar();

    // Puts a top-level window in the middle of its screen.
    static void CenterForm(QWidget *window);

protected:
    void closeEvent(QCloseEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dragMoveEvent(QDragMoveEvent *e) override;
    void dropEvent(QDropEvent *e) override;

private:
    void buildMenus();

    AppContext &m_ctx;
    QMdiArea *m_area = nullptr;
    QList<QMenu *> m_ownMenus;
    QMenu *m_openMenu = nullptr;
    QVector<QAction *> m_recent; // element 0 is the hidden placeholder
    QTimer m_menuSync;
    const QList<QMenu *> *m_shownMenus = nullptr;
};
