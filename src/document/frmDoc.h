#pragma once

#include "document/DocumentNotices.h"
#include "platform/Printer.h"
#include "ui/DocumentTarget.h"

#include <QByteArray>
#include <QTimer>
#include <QWidget>
#include <functional>

struct AppContext;
class DocumentRecord;
class DocumentManager;
class DocumentStatusBar;
class FindBar;
class QAction;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class RichTextBox;
class TextLoader;
class StatusPanel;

// The window of one document: the text control, a toolbar, a status bar,
// the timers that keep caption, status and command states current (in the
// menus all document windows share, while it is the active one) and the
// close prompt. It finds its document's
// record through the slot number in Tag. Commands live with the features
// that register them; the window offers them its slot, its selection and
// InsertFragment.
class frmDoc : public QWidget, public DocumentTarget
{
    Q_OBJECT

public:
    frmDoc(AppContext &ctx, DocumentManager &docs, QWidget *parent = nullptr);
    ~frmDoc() override;

    QSize sizeHint() const override;

    // DocumentTarget
    int slot() const override;
    QString Tag() const override { return m_tag; }
    DocumentRef ref() const override;
    QString SelText() const override;
    void InsertFragment(const QString &text) override;
    QString Text() const override;
    void SetText(const QString &text) override;
    QString Title() const override;
    void SetTitle(const QString &title) override;
    QString FilePath() const override;
    QWidget *widget() override { return this; }
    void selectAt(int line, qsizetype column, qsizetype length) override;
    bool isReadOnly() const override;
    bool isChanged() const override;
    void undoStep() override { undoTick(); }
    void offerNotice(const QString &text, const QString &button, std::function<void()> action) override;
    const QStringList &templateTags() const override { return TemplateTags; }

    // The template tag names in the order Tools > Execute acts on them; set
    // when the window is made.
    QStringList TemplateTags;

    void setTag(int slot);
    QMdiSubWindow *subWindow() const;
    QMenu *contextMenu() const;

    // The document's text as UTF-8 with CR LF breaks, without a copy.
    QByteArrayView textView() const;
    QByteArray textBytes() const;
    RichTextBox *textBox() const { return txtContents; }
    // Puts a file's text in: as the new text of a freshly taken document (no
    // change), or as a change (a reload, a recovery); readOnly for lines
    // shown cut.
    void showText(const QByteArray &text, bool asChange, bool readOnly);
    // Puts a big file's text in as the new text of a freshly taken document,
    // built beforehand in loader, which starts the undo history; readOnly
    // for lines shown cut.
    void showLoadedText(TextLoader &loader, bool readOnly);
    // Runs f now, or when the document's file has been read and put in.
    void whenLoaded(std::function<void()> f);
    // While the document loads, says so (and beeps) and returns true: a
    // command that reads, changes or writes its text must wait.
    bool refuseWhileLoading();
    // What printing prints: the text (or the selection) as the window
    // shows it, in the code view's font and colours when it is on.
    PrintedText printed(bool selectionOnly) const;
    // Runs an editing command (cut, copy, case changes...) on the text.
    void edit(void (*command)(RichTextBox &));
    // The find bar: opened (with the replace row), next and previous match.
    void Find(bool replace);
    void FindNext();
    void FindPrevious();

    // Status bar panels by position (1 to 8) or by key.
    StatusPanel *panel(int position) const;
    StatusPanel *panel(const QString &key) const;
    QAction *toolbarButton(const QString &key) const;

    void RefreshViewerMenu();
    void RefreshRecentMenu();
    void RefreshMenus();
    void InsertFileContents(const QString &path);
    // The close routine: asks to save a changed document, releases the slot
    // and hides the window. Returns true when the user cancelled.
    bool CloseDocument();
    // Unloads the window, asking first as closing it by its close box does.
    void unload();

    // The document manager gave this window a (new) document.
    void documentTaken();
    // The status panel as a new window shows it, until the next Timer2 tick.
    void resetStatus();
    // Brings caption and command states up to date on the next event-loop turn.
    void scheduleTimer1() { Timer1.start(); }

    // Puts the previous undo snapshot back, or steps forward again through
    // what was undone; only the part that differs is replaced, so the caret
    // and the view stay where they were.
    void Undo();
    void Redo();
    // The text as it is now starts the undo history (a new reading of the file).
    void startUndoAfresh();
    // Sets the text control up for the code view and word wrap settings and
    // the document's file; size is the text's, when it is not loaded yet.
    void applyCodeView(qint64 size = -1);
    // Where the caret is (its offset) and the first line shown.
    std::pair<int, int> place() const;
    void setPlace(int caret, int firstLine);
    // Asks for a line number and moves the caret there.
    void GoToLine();
    // Holds text for Copy To / Move To: the next mouse release puts it there.
    void holdForTransfer(const QString &text);
    bool transferPending() const { return m_transferPending; }
    // The Character Mode item's check mark changed: show it in panel 5.
    void characterModeChanged();

    // Another program changed or removed the document's file: a notice above
    // the text offers Reload (a changed file) and Ignore.
    using DiskNotice = DocumentNotices::Disk;
    void showDiskNotice(DiskNotice kind);
    void hideDiskNotice();
    // Some lines are too long to lay out: they are shown cut, read-only.
    void showCutNotice(bool shown);
    // The journal of unsaved changes cannot be written (why; "" when it
    // can again): a notice above the text says so.
    void showBackupFailure(const QString &why);

    // The timers' ticks, callable directly.
    void timer1Tick();
    void timer2Tick();
    void undoTick();

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    DocumentRecord *record() const;
    void buildToolbar();
    void onChange();
    void onSelChange();
    void showCaretPlace();
    void onKeyPress(int &keyAscii);
    void onMouseUp(Qt::MouseButton button, const QPoint &pos);
    void onDrop(const QStringList &files);
    void applyUndoText(QByteArray text);
    bool loading() const;

    AppContext &m_ctx;
    DocumentManager &m_docs;
    RichTextBox *txtContents = nullptr;
    FindBar *fraFind = nullptr;
    QToolBar *Toolbar1 = nullptr;
    DocumentNotices *m_notices = nullptr;
    DocumentStatusBar *stBar = nullptr;
    QTimer Timer1;    // caption and command states; runs once per batch of changes
    QTimer Timer2;    // changed/clean status, every second
    QTimer Undotimer; // undo snapshots, every second
    bool m_characterMode = false; // Options > Character Mode, for this window
    QString m_tag;
    int m_slot = 0;
    QString m_codeNote;
    QList<QAction *> m_toolbarButtons;
    QAction *m_undoSeparator = nullptr; // hidden with Undo: no two separators side by side
    QByteArray m_lastUndoText; // the text at the last undo tick
    // The text at the last tick is the text shown: it is copied into
    // m_lastUndoText just before the first change (a big file just read is
    // then not held twice until it is edited).
    bool m_undoTextIsShown = false;
    bool m_textChangedSinceTick = false;
    bool m_undoing = false; // an Undo or Redo changes the text: no edit
    bool m_transferPending = false;
    QString m_transferText;
    bool m_clipboardHasText = false;
    QList<std::function<void()>> m_whenLoaded;
};
