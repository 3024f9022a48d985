#pragma once

#include <QByteArray>
#include <QTimer>
#include <QWidget>
#include <memory>

struct AppContext;
struct DocumentMenus;
struct DocumentRecord;
class DocumentManager;
class QLabel;
class QMdiSubWindow;
class QMenu;
class QStatusBar;
class QToolBar;
class QAction;
class RichTextBox;

// The window of one document: the text control, a toolbar, a status bar,
// the timers that keep caption, status and command states current, and the
// application's full menu bar. It finds its document's record through the
// slot number in Tag.
class frmDoc : public QWidget
{
    Q_OBJECT

public:
    static const QStringList kTemplateTags;

    frmDoc(AppContext &ctx, DocumentManager &docs, QWidget *parent = nullptr);
    ~frmDoc() override;

    QString Tag() const { return m_tag; }
    void setTag(int slot);
    int slot() const;
    QMdiSubWindow *subWindow() const;
    const QList<QMenu *> &menuBarMenus() const;
    QMenu *contextMenu() const;

    RichTextBox *txtContents = nullptr;
    QToolBar *Toolbar1 = nullptr;
    QStatusBar *stBar = nullptr;
    QTimer Timer1;    // caption and command states; runs once per batch of changes
    QTimer Timer2;    // changed/clean status, date and time, every second
    QTimer Undotimer; // undo snapshots, every second

    // Status bar panels by position (1 to 8) or by key.
    QLabel *panel(int position) const;
    QLabel *panel(const QString &key) const;
    QAction *toolbarButton(const QString &key) const;

    void RefreshViewerMenu();
    void RefreshRecentMenu();
    void RefreshMenus();
    void InsertFileContents(const QString &path);
    // The close routine: asks to save a changed document, releases the slot
    // and hides the window. Returns true when the user cancelled.
    bool CloseDocument();

    // The document manager gave this window a (new) document.
    void documentTaken();
    // Brings caption and command states up to date on the next event-loop turn.
    void scheduleTimer1() { Timer1.start(); }

    // Commands, shared by the menus, the toolbar and the context menu.
    void fileNew();
    void fileOpen();
    void fileSave();
    void fileSaveAs();
    void fileSaveBinary();
    void filePrint();
    void fileClose();
    void fileExit();
    void editUndo();
    void editCut();
    void editCopy();
    void editPaste();
    void editDelete();
    void editSelectAll();
    void selectionFirstLetters();
    void selectionAllLetters();
    void selectionLowerCase();
    void selectionClear();
    void copyTo();
    void moveTo();
    void toggleCharacterMode();
    void fillWindowsMenu();

    // The timers' ticks, callable directly.
    void timer1Tick();
    void timer2Tick();
    void undoTick();
    bool transferPending() const { return m_transferPending; }

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    DocumentRecord *record() const;
    void buildToolbar();
    void buildStatusBar();
    // Holds the selection for Copy To / Move To; false when nothing is selected.
    bool beginTransfer();
    void onChange();
    void onSelChange();
    void onKeyPress(int &keyAscii);
    void onMouseUp(Qt::MouseButton button, const QPoint &pos);
    void onDrop(const QStringList &files);

    AppContext &m_ctx;
    DocumentManager &m_docs;
    std::unique_ptr<DocumentMenus> m_menus;
    QString m_tag;
    QList<QLabel *> m_panels;
    QList<QAction *> m_toolbarButtons;
    QByteArray m_lastUndoText;   // the text at the last undo tick
    bool m_textChangedSinceTick = false;
    bool m_transferPending = false;
    QString m_transferText;
    bool m_clipboardHasText = false;
};
