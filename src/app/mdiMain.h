#pragma once

#include <QMainWindow>
#include <QTimer>
#include <QVector>

struct AppContext;
class DocumentManager;
class QAction;
class SessionKeeper;
class DocumentTabs;
class QLabel;
class QProgressBar;
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

    // The frame's load step, once the commands are registered: its menus
    // and their recent items.
    void Load();

    QMdiArea *mdiArea() const { return m_area; }
    DocumentManager &documents() const { return *m_documents; }
    SessionKeeper &session() const { return *m_session; }
    DocumentTabs &tabs() const { return *m_tabs; }
    // The document window whose menus the frame shows, or nullptr.
    frmDoc *activeDocument() const;

    void RefreshRecentMenu();
    void DocumentFromClip();
    // Shows the active document's menus, or the frame's own.
    void updateMenuBar();

protected:
    void closeEvent(QCloseEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dragMoveEvent(QDragMoveEvent *e) override;
    void dropEvent(QDropEvent *e) override;

private:
    // A status bar with a progress bar, shown only while a big file loads.
    void showLoadProgress(const QString &text, int percent);

    AppContext &m_ctx;
    QLabel *m_loadLabel = nullptr;
    QProgressBar *m_loadBar = nullptr;
    QMdiArea *m_area = nullptr;
    DocumentManager *m_documents = nullptr;
    SessionKeeper *m_session = nullptr;
    DocumentTabs *m_tabs = nullptr;
    QList<QMenu *> m_ownMenus;
    QMenu *m_openMenu = nullptr;
    QVector<QAction *> m_recent; // element 0 is the hidden placeholder
    QTimer m_menuSync;
    const QList<QMenu *> *m_shownMenus = nullptr;
};
