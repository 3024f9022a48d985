#pragma once

#include <QFont>
#include "core/FileIO.h"

#include <Qsci/qsciscintilla.h>
#include <QByteArrayView>
#include <QSet>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QKeySequence;
class QsciScintillaBase;

// Makes the empty documents big files are read into, with room for their
// text, on the thread that fills them: making the room fills it with zeros
// (half a second for 1 GB), which the window's thread must not wait for.
// Scintilla makes a document only through an editor, though without touching
// anything of that editor: a hidden one is kept for this alone (made and
// destroyed on the window's thread, never shown) and called through
// Scintilla's direct function, which involves no widget. It must outlive
// every thread that uses it.
class DocumentMaker
{
public:
    DocumentMaker();
    ~DocumentMaker();
    DocumentMaker(const DocumentMaker &) = delete;
    DocumentMaker &operator=(const DocumentMaker &) = delete;
    // A new loader (see TextLoader) with room for room bytes; from any thread.
    void *makeLoader(qint64 room, int options) const;

private:
    std::unique_ptr<QsciScintillaBase> m_editor;
    using Direct = intptr_t (*)(intptr_t, unsigned int, uintptr_t, intptr_t);
    Direct m_direct = nullptr;
    intptr_t m_pointer = 0;
};

// A document's text built away from its window, for a big file read in the
// background: made by RichTextBox::newLoader() on the window's thread,
// filled with begin() and add() on any one thread, then taken by
// RichTextBox::takeLoaded(). One that is never taken frees its text.
//
// A text that is all ASCII needs no index of its UTF-16 offsets, which costs
// about as much as the rest of the load; whether a file is ASCII is known
// only once it is read. A document with the index can only be set up on the
// window's thread: a text that is not plain ASCII goes into one made ready
// with the loader.
class TextLoader
{
public:
    TextLoader() = default;
    ~TextLoader();
    TextLoader(const TextLoader &) = delete;
    TextLoader &operator=(const TextLoader &) = delete;
    // Starts the text in an unused document, one with the offset index when
    // the text may not be plain ASCII; what was added before is dropped.
    // False when no such document is left.
    bool begin(bool nonAscii);
    // Frees the text begun, which will not be shown.
    void drop();
    // True when the text begun takes characters outside ASCII.
    bool takesNonAscii() const;
    // Appends UTF-8 text; false when it could not be held, or nothing was begun.
    bool add(QByteArrayView utf8);

private:
    friend class RichTextBox;
    struct Document {
        void *loader = nullptr; // Scintilla's loader: a document not yet shown
        bool indexed = false;
        bool used = false;
        qint64 room = 0; // for one the maker makes when it is begun
    };
    std::vector<Document> m_documents;
    int m_current = -1;
    QByteArray m_held; // the end of the text added, until more comes (see add)
    const DocumentMaker *m_maker = nullptr;
    int m_options = 0;
};

// The document's text control (objectName "txtContents"). The buffer is
// UTF-8 in CR LF mode, so a line break counts as the two characters CR LF;
// offsets and lengths are counted in UTF-16 units (what QString counts) and
// answered through Scintilla's UTF-16 line index, never by copying the text.
// While the text is all ASCII, offsets are its byte positions and the index
// is not kept; it is built when the first other character goes in.
// The editor's own undo is off: documents keep snapshots of their own.
class RichTextBox : public QsciScintilla
{
    Q_OBJECT
    friend class RichTextAccessible;

public:
    // The most text the control holds: its positions are 32-bit.
    static constexpr qint64 kMaxBytes = FileIO::kMaxTextBytes;

    explicit RichTextBox(QWidget *parent = nullptr);

    // The font documents are shown in when the code view is off.
    static const QFont &documentFont();

    // The whole text, line breaks as CR LF.
    QString Text() const;
    void SetText(const QString &text);
    // The same as UTF-8. textView points into the editor's buffer and is
    // valid until the next change.
    QByteArrayView textView() const;
    QByteArray textBytes() const { return textView().toByteArray(); }
    // A copy of the whole text that leaves the buffer as it is (no block
    // of the text moves); fit to be taken while a change is about to be made.
    QByteArray textCopy() const;
    // A part of the text as UTF-8, copied without making the whole text
    // one block (which can move all of it after the caret).
    QByteArray textBytes(qint64 from, qint64 length) const;
    qint64 textByteLength() const;
    void setTextBytes(QByteArrayView utf8);
    // A loader whose text can later replace the box's (styled or not as the
    // box is now), and its text put in at once: the box shows the loaded
    // document, read-only or not, and tells of the change once.
    // expectedBytes: room made in the first document for the text to come;
    // nonAscii: whether it is likely to take characters outside ASCII. A
    // plain document is made by maker where the loader begins it.
    std::unique_ptr<TextLoader> newLoader(qint64 expectedBytes, bool nonAscii, const DocumentMaker &maker);
    void takeLoaded(TextLoader &loader, bool readOnly);
    // Makes the text utf8 by replacing only the part that differs. The first
    // visible line stays; the caret and the selection stay with the text
    // around them: before the changed part they keep their place, after it
    // they move with the text, and inside it they go to its end. Counts as
    // a change.
    void changeTextBytes(QByteArrayView utf8);

    QString TextRTF() const;
    void SetTextRTF(const QString &rtf);

    int TextLength() const;
    int SelStart() const;
    void SetSelStart(int offset);     // places the caret, nothing selected
    int SelLength() const;
    void SetSelLength(int length);    // selects from SelStart on
    QString SelText() const;
    void SetSelText(const QString &text);

    // Marks ranges (UTF-16 offset, length) of the text, such as every match
    // of a search; an empty list clears the marks.
    void setHighlights(const QList<QPair<qsizetype, qsizetype>> &ranges);
    // The whole lines on screen: UTF-16 offset and length.
    QPair<qsizetype, qsizetype> visibleRange() const;
    // Lines count from 1.
    int lineCount() const;
    int caretLine() const;
    int caretColumn() const; // from 1, in characters
    // Puts the caret at the start of the line (clamped) and shows it.
    void goToLine(int line);
    // Selects [offset, offset + length) and scrolls it into view.
    void selectRange(qsizetype offset, qsizetype length);

    // A document with a style byte per character, which colouring needs;
    // plain text does without. Switching keeps the text, the selection and
    // the view, and is no change.
    void useStyledDocument(bool styled);
    // The code view's look (fixed-width font, line numbers, brace matching,
    // auto-indent, tabs of 4) or the document's own.
    void setCodeLook(bool on);
    bool codeLook() const { return m_codeLook; }
    // The code look's font (at first the system's fixed-width font).
    void setCodeFont(const QFont &font);
    QFont codeFont() const { return m_codeFont; }

    // On a line longer than this many bytes the caret does not blink.
    qint64 steadyCaretFrom = 20000;

    // Takes a key away from the editor's built-in commands so that a menu
    // shortcut with that key reaches its action.
    void releaseKey(const QKeySequence &key);

signals:
    // The text is about to change (sent before every insertion and deletion
    // from inside the editor: the text may be read, not changed).
    void aboutToChange();
    void Change();
    void SelChange();
    // A typed character before it is inserted: set keyAscii to another code
    // to insert that character instead, or to 0 to discard it.
    void KeyPress(int &keyAscii);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos);
    void DoubleClick();
    // Local files dropped on the text, in the order the drop lists them.
    void OLEDragDrop(const QStringList &files);
    void overwriteModeChanged(bool overwrite);

protected:
    bool event(QEvent *e) override;
    bool viewportEvent(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dragMoveEvent(QDragMoveEvent *e) override;
    void dropEvent(QDropEvent *e) override;

private:
    long sci(unsigned int msg, unsigned long wParam = 0, long lParam = 0) const;
    long positionFromOffset(int offset) const;
    int offsetFromPosition(long position) const;
    void replaceRange(long start, long end, QByteArrayView utf8);
    // Types a character the way a key would, also one that Scintilla's own
    // key handling drops (the soft hyphen is not printable).
    void typeCharacter(char32_t code);
    // Raises Change for a change noted by Scintilla's notification, and
    // SelChange when the text changed or the selection moved.
    void flushChange();
    // The settings a Scintilla document keeps for itself; indexed: with the
    // UTF-16 offset index, which then stays for the document's life.
    void setUpDocument(bool indexed);
    bool indexed() const;
    void fitLineNumbers();

    void steadyCaretOnLongLine();
    long m_caretPeriod = 500;
    bool m_bulk = false;
    bool m_sameText = false; // the text goes into another document: no change
    bool m_styled = false;
    bool m_codeLook = false;
    QFont m_codeFont;
    int m_numberDigits = 0;
    bool m_changePending = false;
    // An insertion into an all-ASCII text, not yet looked at (see indexed()).
    mutable long m_uncheckedAt = -1;
    mutable long m_uncheckedLength = 0;
    long m_lastAnchor = 0;
    long m_lastCaret = 0;
    QSet<int> m_releasedKeys; // QKeyCombination::toCombined() of keys the menus own
};
