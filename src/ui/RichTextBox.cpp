#include "ui/RichTextBox.h"

#include "core/RtfCodec.h"
#include "core/TextFileCodec.h"
#include "ui/FileDrops.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QTimer>
#include <utility>

namespace {

constexpr int kUtf16 = QsciScintillaBase::SC_LINECHARACTERINDEX_UTF16;

} // namespace

// What assistive technology sees of the text control. QScintilla's own
// counts the characters from the start of the text to the caret after each
// key and each repaint (4 s a key at the end of 1 GB, 0.2 s in 50 MB); this
// one answers in UTF-16 offsets through the control's index.
class RichTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit RichTextAccessible(RichTextBox *box) : QAccessibleWidget(box, QAccessible::EditableText) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    void selection(int index, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (index == 0 && box()->SelLength() > 0) {
            *startOffset = box()->SelStart();
            *endOffset = *startOffset + box()->SelLength();
        }
    }
    int selectionCount() const override { return box()->SelLength() > 0 ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int index) override
    {
        if (index == 0)
            box()->SetSelStart(cursorPosition());
    }
    void setSelection(int index, int startOffset, int endOffset) override
    {
        if (index != 0)
            return;
        box()->SetSelStart(startOffset);
        box()->SetSelLength(endOffset - startOffset);
    }
    int cursorPosition() const override { return box()->offsetFromPosition(box()->sci(QsciScintillaBase::SCI_GETCURRENTPOS)); }
    void setCursorPosition(int position) override { box()->SetSelStart(position); }
    QString text(int startOffset, int endOffset) const override
    {
        const long from = box()->positionFromOffset(startOffset);
        const long to = box()->positionFromOffset(endOffset);
        return to > from ? TextFileCodec::toQString(box()->textBytes(from, to - from)) : QString();
    }
    int characterCount() const override { return box()->TextLength(); }
    QRect characterRect(int offset) const override
    {
        const long position = box()->positionFromOffset(offset);
        const QPoint at(int(box()->sci(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, position)),
                        int(box()->sci(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, position)));
        const int height = int(box()->sci(QsciScintillaBase::SCI_TEXTHEIGHT, box()->sci(QsciScintillaBase::SCI_LINEFROMPOSITION, position)));
        const int width = int(box()->sci(QsciScintillaBase::SCI_POSITIONAFTER, position)) > position
                              ? int(box()->sci(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0,
                                               box()->sci(QsciScintillaBase::SCI_POSITIONAFTER, position))) - at.x()
                              : 1;
        return QRect(box()->viewport()->mapToGlobal(at), QSize(qMax(1, width), height));
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        const QPoint p = box()->viewport()->mapFromGlobal(point);
        const long position = box()->sci(QsciScintillaBase::SCI_POSITIONFROMPOINTCLOSE, p.x(), p.y());
        return position < 0 ? -1 : box()->offsetFromPosition(position);
    }
    void scrollToSubstring(int startIndex, int endIndex) override
    {
        box()->sci(QsciScintillaBase::SCI_SCROLLRANGE, box()->positionFromOffset(endIndex), box()->positionFromOffset(startIndex));
    }
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = offset;
        return QString();
    }

private:
    RichTextBox *box() const { return static_cast<RichTextBox *>(widget()); }
};

namespace {

QAccessibleInterface *accessibleFor(const QString &, QObject *object)
{
    auto *box = qobject_cast<RichTextBox *>(object);
    return box ? new RichTextAccessible(box) : nullptr;
}

} // namespace

// Palatino Linotype, or the closest metric clone that is installed.
const QFont &RichTextBox::documentFont()
{
    static const QFont font = [] {
        QFont wanted;
        wanted.setFamilies({QStringLiteral("Palatino Linotype"), QStringLiteral("Palatino"), QStringLiteral("P052"),
                            QStringLiteral("URW Palladio L"), QStringLiteral("TeX Gyre Pagella")});
        wanted.setStyleHint(QFont::Serif);
        wanted.setPointSize(12);
        QFont resolved(QFontInfo(wanted).family(), 12);
        resolved.setStyleHint(QFont::Serif);
        return resolved;
    }();
    return font;
}

RichTextBox::RichTextBox(QWidget *parent)
    : QsciScintilla(parent), m_codeFont(QFontDatabase::systemFont(QFontDatabase::FixedFont))
{
    setObjectName(QStringLiteral("txtContents"));
    // Installed after QScintilla's (made by the base class), so asked first.
    static const bool accessibleInstalled = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    Q_UNUSED(accessibleInstalled)
    // A document without a style byte per character: no lexer colours the
    // text, and the styles would double the memory a big file takes.
    const long styleless = sci(SCI_CREATEDOCUMENT, 0, SC_DOCUMENTOPTION_STYLES_NONE);
    sci(SCI_SETDOCPOINTER, 0, styleless);
    sci(SCI_RELEASEDOCUMENT, 0, styleless);
    setUpDocument(false);
    sci(SCI_SETPASTECONVERTENDINGS, 1);
    // Scintilla keeps the measures of short pieces of text it has laid out;
    // in the code view a long line (a minified script) is laid out token by
    // token, and with room for the tokens a typed key re-lays it out from
    // the cache (1,024 by default: a key cost 0.27 CPU-s in a 1 MB line,
    // with 16,384 0.11).
    sci(SCI_SETPOSITIONCACHE, 16384);
    // Only the notifications sent before a change: QScintilla answers each
    // insert or delete notification by counting the characters from the
    // start of the document to the change, which makes a key press in a big
    // file cost milliseconds. A change noted here is reported as Change once
    // the event that made it has been handled (see flushChange).
    sci(SCI_SETMODEVENTMASK, SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE);
    sci(SCI_USEPOPUP, 0);
    // No annotations are shown: while QScintilla's default shows them, each
    // insertion into wrapped text lays out every line it brings (setting
    // 4 MB took 1.5 s).
    sci(SCI_ANNOTATIONSETVISIBLE, ANNOTATION_HIDDEN);
    for (int m = 0; m < 5; ++m)
        setMarginWidth(m, 0);
    sci(SCI_SETMARGINLEFT, 0, 4);
    setFont(documentFont());
    setWrapMode(WrapNone);
    // The horizontal scroll range follows the longest line shown.
    sci(SCI_SETSCROLLWIDTH, 1);
    sci(SCI_SETSCROLLWIDTHTRACKING, 1);
    setAcceptDrops(true);
    // Scintilla paints every pixel of its view: marking it opaque spares the
    // windows below a repaint each time the caret blinks.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    // Each blink of the caret repaints its line, which on a long line costs
    // tens of milliseconds every half second for as long as it is shown:
    // there the caret stays steady.
    m_caretPeriod = sci(SCI_GETCARETPERIOD);
    connect(this, &RichTextBox::SelChange, this, &RichTextBox::steadyCaretOnLongLine);
    connect(this, &RichTextBox::Change, this, &RichTextBox::steadyCaretOnLongLine);

    // The program keeps its own undo; the editor's undo and redo keys, and
    // its built-in Ctrl+letter commands (cut line, lower case, select all...)
    // would otherwise take keys that belong to the menus. Ctrl+C, Ctrl+X and
    // Ctrl+V stay the editor's clipboard keys.
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (letter == 'C' || letter == 'V' || letter == 'X')
            continue;
        for (int mods : {int(SCMOD_CTRL), SCMOD_CTRL | SCMOD_SHIFT, SCMOD_CTRL | SCMOD_ALT})
            sci(SCI_CLEARCMDKEY, letter | (mods << 16));
    }
    for (int mods : {int(SCMOD_ALT), SCMOD_ALT | SCMOD_SHIFT})
        sci(SCI_CLEARCMDKEY, SCK_BACK | (mods << 16));

    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int modificationType, const char *, int length, int, int, int, int, int, int) {
                if (!(modificationType & (SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE)))
                    return;
                m_changePending = true;
                // The insertion before this change is looked at now, while it
                // is still where it was made.
                const bool wasIndexed = indexed();
                if ((modificationType & SC_MOD_BEFOREINSERT) && !wasIndexed) {
                    m_uncheckedAt = position;
                    m_uncheckedLength = length;
                }
                if (!m_sameText)
                    emit aboutToChange();
            });
    // Scintilla reports selection updates when it paints, which may be
    // much later (or, for a window that is not shown, never): the control
    // checks the selection itself after each event (see flushChange).
}

void RichTextBox::setUpDocument(bool indexed)
{
    setUtf8(true);
    setEolMode(EolWindows);
    sci(SCI_SETUNDOCOLLECTION, 0);
    sci(SCI_EMPTYUNDOBUFFER);
    m_uncheckedAt = -1; // an insertion into the document shown before
    if (indexed && !this->indexed())
        sci(SCI_ALLOCATELINECHARACTERINDEX, kUtf16);
}

bool RichTextBox::indexed() const
{
    // Scintilla tells of an insertion before it is made, without its text:
    // it is looked at once made, before anything else changes the text.
    if (m_uncheckedAt >= 0) {
        const long at = m_uncheckedAt;
        m_uncheckedAt = -1;
        const auto *p = reinterpret_cast<const char *>(SendScintilla(SCI_GETRANGEPOINTER, at, m_uncheckedLength));
        if (p && !TextFileCodec::isAscii(QByteArrayView(p, m_uncheckedLength)))
            sci(SCI_ALLOCATELINECHARACTERINDEX, kUtf16);
    }
    return sci(SCI_GETLINECHARACTERINDEX) & kUtf16;
}

void RichTextBox::useStyledDocument(bool styled)
{
    if (styled == m_styled)
        return;
    m_styled = styled;
    const QByteArray text = textBytes();
    const long anchor = sci(SCI_GETANCHOR);
    const long caret = sci(SCI_GETCURRENTPOS);
    const long firstLine = sci(SCI_GETFIRSTVISIBLELINE);
    const bool readOnly = isReadOnly();
    const long doc = sci(SCI_CREATEDOCUMENT, text.size() + 1, styled ? 0 : SC_DOCUMENTOPTION_STYLES_NONE);
    m_bulk = true;
    m_sameText = true;
    sci(SCI_SETDOCPOINTER, 0, doc);
    sci(SCI_RELEASEDOCUMENT, 0, doc);
    setUpDocument(!TextFileCodec::isAscii(text));
    if (!text.isEmpty())
        SendScintilla(SCI_APPENDTEXT, uintptr_t(text.size()), text.constData());
    sci(SCI_SETREADONLY, readOnly);
    sci(SCI_SETSEL, anchor, caret);
    sci(SCI_SETFIRSTVISIBLELINE, firstLine);
    m_bulk = false;
    m_sameText = false;
    m_changePending = false; // the same text: no change
}

void RichTextBox::setCodeLook(bool on)
{
    m_codeLook = on;
    setFont(on ? m_codeFont : documentFont());
    setMarginType(0, NumberMargin);
    m_numberDigits = 0;
    if (on)
        fitLineNumbers();
    else
        setMarginWidth(0, 0);
    setBraceMatching(on ? SloppyBraceMatch : NoBraceMatch);
    setAutoIndent(on);
    setTabWidth(on ? 4 : 8);
}

void RichTextBox::setCodeFont(const QFont &font)
{
    m_codeFont = font;
    if (m_codeLook)
        setFont(font);
}

void RichTextBox::fitLineNumbers()
{
    int digits = 4;
    for (long lines = sci(SCI_GETLINECOUNT); lines >= 10000; lines /= 10)
        ++digits;
    if (digits == m_numberDigits)
        return;
    m_numberDigits = digits;
    setMarginWidth(0, QString(digits + 1, u'9'));
}

long RichTextBox::sci(unsigned int msg, unsigned long wParam, long lParam) const
{
    return SendScintilla(msg, wParam, lParam);
}

QByteArrayView RichTextBox::textView() const
{
    const auto *p = static_cast<const char *>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    return QByteArrayView(p, sci(SCI_GETLENGTH));
}

QByteArray RichTextBox::textCopy() const
{
    const long length = sci(SCI_GETLENGTH);
    if (length == 0)
        return QByteArray(""); // empty, not null (no text): nothing for Scintilla to write into
    QByteArray copy(length, Qt::Uninitialized);
    // Scintilla writes a NUL after the range, for which a QByteArray has room.
    SendScintilla(SCI_GETTEXTRANGE, 0L, long(copy.size()), copy.data());
    return copy;
}

QByteArray RichTextBox::textBytes(qint64 from, qint64 length) const
{
    const auto *p = reinterpret_cast<const char *>(SendScintilla(SCI_GETRANGEPOINTER, long(from), long(length)));
    return p ? QByteArray(p, length) : QByteArray();
}

qint64 RichTextBox::textByteLength() const
{
    return sci(SCI_GETLENGTH);
}

QString RichTextBox::Text() const
{
    return TextFileCodec::toQString(textView());
}

void RichTextBox::SetText(const QString &text)
{
    setTextBytes(text.toUtf8());
}

void RichTextBox::setTextBytes(QByteArrayView utf8)
{
    // Read-only keeps the user from editing, not the program.
    const bool readOnly = isReadOnly();
    sci(SCI_SETREADONLY, 0);
    m_bulk = true;
    sci(SCI_CLEARALL);
    if (!utf8.isEmpty()) {
        sci(SCI_ALLOCATE, utf8.size() + 1);
        // Appending in slices keeps Scintilla's per-call work bounded. A slice
        // ends just after a line feed where it has one (a line without breaks
        // is appended in plain slices: Scintilla joins them whole).
        constexpr qsizetype kSlice = 16 * 1024 * 1024;
        qsizetype at = 0;
        while (at < utf8.size()) {
            qsizetype length = qMin(kSlice, utf8.size() - at);
            if (at + length < utf8.size()) {
                const qsizetype lastBreak = utf8.sliced(at, length).lastIndexOf('\n');
                if (lastBreak >= 0)
                    length = lastBreak + 1;
            }
            SendScintilla(SCI_APPENDTEXT, uintptr_t(length), utf8.data() + at);
            at += length;
        }
    }
    sci(SCI_SETEMPTYSELECTION, 0);
    sci(SCI_SETREADONLY, readOnly);
    m_bulk = false;
    m_changePending = true;
    flushChange();
}

// Scintilla's interface for filling a document away from any view (its
// ILoader.h, which QScintilla does not install): three virtual functions
// that Scintilla keeps stable for this use. Declared under Scintilla's own
// name and outside any namespace, as this QScintilla has it, so that
// run-time type checks see one type; and with external linkage, since in an
// unnamed namespace the compiler would take it that nothing derives from it.
class ILoader
{
public:
    virtual int Release() = 0;
    virtual int AddData(const char *data, ptrdiff_t length) = 0;
    virtual void *ConvertToDocument() = 0;

protected:
    ~ILoader() = default;
};

namespace {

ILoader *loaderOf(void *p)
{
    return static_cast<ILoader *>(p);
}

} // namespace

TextLoader::~TextLoader()
{
    for (const Document &d : m_documents) {
        if (d.loader)
            loaderOf(d.loader)->Release();
    }
}

DocumentMaker::DocumentMaker() : m_editor(std::make_unique<QsciScintillaBase>())
{
    m_direct = reinterpret_cast<Direct>(m_editor->SendScintillaPtrResult(QsciScintillaBase::SCI_GETDIRECTFUNCTION));
    m_pointer = reinterpret_cast<intptr_t>(m_editor->SendScintillaPtrResult(QsciScintillaBase::SCI_GETDIRECTPOINTER));
}

DocumentMaker::~DocumentMaker() = default;

void *DocumentMaker::makeLoader(qint64 room, int options) const
{
    return reinterpret_cast<void *>(m_direct(m_pointer, QsciScintillaBase::SCI_CREATELOADER, uintptr_t(room), options));
}

void TextLoader::drop()
{
    if (m_current < 0)
        return;
    Document &dropped = m_documents[size_t(m_current)];
    if (dropped.loader)
        loaderOf(dropped.loader)->Release();
    dropped.loader = nullptr;
    m_current = -1;
    m_held.clear();
}

bool TextLoader::begin(bool nonAscii)
{
    drop();
    for (size_t i = 0; i < m_documents.size(); ++i) {
        Document &d = m_documents[i];
        if (!d.used && (d.indexed || !nonAscii)) {
            d.used = true;
            if (!d.loader)
                d.loader = m_maker->makeLoader(d.room, m_options);
            m_current = int(i);
            return d.loader != nullptr;
        }
    }
    m_current = -1;
    return false;
}

bool TextLoader::takesNonAscii() const
{
    return m_current >= 0 && m_documents[size_t(m_current)].indexed;
}

bool TextLoader::add(QByteArrayView utf8)
{
    if (m_current < 0)
        return false;
    if (!m_held.isEmpty()) {
        QByteArray joined = std::exchange(m_held, QByteArray());
        joined.append(utf8);
        return add(joined);
    }
    ILoader *loader = loaderOf(m_documents[size_t(m_current)].loader);
    // Scintilla's UTF-16 index miscounts a line whose CR and LF come in two
    // additions (a Windows-1252 file read whole was one character off per
    // 4 MB, and a find then selected the wrong text): a piece never ends on
    // a CR, nor inside a character. What waits comes with the next piece,
    // or when the text is taken.
    const qsizetype whole = TextFileCodec::wholePiece(utf8);
    m_held = utf8.sliced(whole).toByteArray();
    // In pieces well under 2 GB, whatever width Scintilla gives a length.
    constexpr qsizetype kPiece = 64 * 1024 * 1024;
    for (qsizetype at = 0; at < whole;) {
        const qsizetype length = at + kPiece < whole ? TextFileCodec::wholePiece(utf8.sliced(at, kPiece)) : whole - at;
        if (loader->AddData(utf8.data() + at, length) != QsciScintillaBase::SC_STATUS_OK)
            return false;
        at += length;
    }
    return true;
}

std::unique_ptr<TextLoader> RichTextBox::newLoader(qint64 expectedBytes, bool nonAscii, const DocumentMaker &maker)
{
    auto loader = std::make_unique<TextLoader>();
    loader->m_maker = &maker;
    loader->m_options = m_styled ? 0 : SC_DOCUMENTOPTION_STYLES_NONE;
    // The first document is for the text as the file's start suggests it.
    // A plain one is made, with room for the text, where it is filled: one
    // growing as it fills is copied each time it grows. One with the index
    // is set up here, with room for at most 64 MB (making room is slow, see
    // DocumentMaker), and grows past that. The second, with the index, is
    // for a text that is read whole after all, and grows as it fills.
    const struct {
        qint64 room;
        bool indexed;
    } documents[] = {{nonAscii ? qMin<qint64>(expectedBytes, 64 * 1024 * 1024) : expectedBytes, nonAscii}, {0, true}};
    const long shown = sci(SCI_GETDOCPOINTER);
    indexed(); // the shown document's last insertion, looked at before it is set aside
    const bool readOnly = isReadOnly();
    m_bulk = true;
    sci(SCI_ADDREFDOCUMENT, 0, shown);
    for (const auto &wanted : documents) {
        if (!wanted.indexed) {
            loader->m_documents.push_back({nullptr, false, false, wanted.room});
            continue;
        }
        void *made = reinterpret_cast<void *>(static_cast<intptr_t>(sci(SCI_CREATELOADER, wanted.room, loader->m_options)));
        loader->m_documents.push_back({made, true, false, 0});
        // The index is set up while the empty document is shown for a
        // moment: it then grows with the text as it is added, in the
        // background, instead of being counted over every line when the
        // text is shown. (The rest of the set-up is done when it is shown.)
        sci(SCI_SETDOCPOINTER, 0, long(reinterpret_cast<intptr_t>(loaderOf(made)->ConvertToDocument())));
        setUpDocument(true);
    }
    sci(SCI_SETDOCPOINTER, 0, shown);
    sci(SCI_RELEASEDOCUMENT, 0, shown);
    sci(SCI_SETREADONLY, readOnly);
    m_bulk = false;
    return loader;
}

void RichTextBox::takeLoaded(TextLoader &loader, bool readOnly)
{
    TextLoader::Document &taken = loader.m_documents.at(size_t(loader.m_current));
    if (!loader.m_held.isEmpty()) // the text's last bytes: nothing follows them
        loaderOf(taken.loader)->AddData(loader.m_held.constData(), loader.m_held.size());
    void *doc = loaderOf(taken.loader)->ConvertToDocument();
    taken.loader = nullptr;
    m_bulk = true;
    sci(SCI_SETDOCPOINTER, 0, long(reinterpret_cast<intptr_t>(doc)));
    sci(SCI_RELEASEDOCUMENT, 0, long(reinterpret_cast<intptr_t>(doc)));
    setUpDocument(false); // the index, if the document has one, stays
    sci(SCI_SETEMPTYSELECTION, 0);
    sci(SCI_SETREADONLY, readOnly);
    m_bulk = false;
    m_changePending = true;
    flushChange();
}

void RichTextBox::changeTextBytes(QByteArrayView utf8)
{
    const QByteArrayView now = textView();
    const qsizetype shortest = qMin(now.size(), utf8.size());
    qsizetype head = 0;
    while (head < shortest && now[head] == utf8[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shortest - head && now[now.size() - 1 - tail] == utf8[utf8.size() - 1 - tail])
        ++tail;
    if (head == now.size() && head == utf8.size())
        return;
    const long anchor = sci(SCI_GETANCHOR);
    const long caret = sci(SCI_GETCURRENTPOS);
    const long firstLine = sci(SCI_GETFIRSTVISIBLELINE);
    const long oldEnd = long(now.size() - tail);
    sci(SCI_SETTARGETRANGE, head, oldEnd);
    const QByteArrayView middle = utf8.sliced(head, utf8.size() - tail - head);
    SendScintilla(SCI_REPLACETARGET, uintptr_t(middle.size()), middle.isEmpty() ? "" : middle.data());
    // A place after the changed part moves with the text after it (a caret
    // left as a number would land further on, or at the end of the text);
    // one inside it goes to its end. Never inside a character.
    const long newEnd = long(head + middle.size());
    const auto place = [this, head, oldEnd, newEnd](long pos) {
        if (pos >= oldEnd)
            pos += newEnd - oldEnd;
        else if (pos > head)
            pos = newEnd;
        const long length = sci(SCI_GETLENGTH);
        return pos >= length ? length : long(sci(SCI_POSITIONBEFORE, sci(SCI_POSITIONAFTER, pos)));
    };
    sci(SCI_SETSEL, place(anchor), place(caret));
    sci(SCI_SETFIRSTVISIBLELINE, firstLine);
    flushChange();
}

void RichTextBox::flushChange()
{
    if (m_bulk)
        return;
    const bool changed = m_changePending;
    if (changed) {
        m_changePending = false;
        if (m_codeLook)
            fitLineNumbers();
        emit Change();
    }
    // Typing moves the caret, and a change before it moves its offset.
    const long anchor = sci(SCI_GETANCHOR);
    const long caret = sci(SCI_GETCURRENTPOS);
    if (changed || anchor != m_lastAnchor || caret != m_lastCaret) {
        m_lastAnchor = anchor;
        m_lastCaret = caret;
        if (QAccessible::isActive()) {
            QAccessibleTextCursorEvent moved(this, offsetFromPosition(caret));
            QAccessible::updateAccessibility(&moved);
        }
        emit SelChange();
    }
}

QString RichTextBox::TextRTF() const
{
    return RtfCodec::toRtf(Text());
}

void RichTextBox::SetTextRTF(const QString &rtf)
{
    SetText(RtfCodec::fromRtf(rtf));
}

long RichTextBox::positionFromOffset(int offset) const
{
    if (offset <= 0)
        return 0;
    if (offset >= TextLength())
        return sci(SCI_GETLENGTH);
    if (!indexed())
        return offset;
    const long line = sci(SCI_LINEFROMINDEXPOSITION, offset, kUtf16);
    const long lineOffset = sci(SCI_INDEXPOSITIONFROMLINE, line, kUtf16);
    const long lineStart = sci(SCI_POSITIONFROMLINE, line);
    return sci(SCI_POSITIONRELATIVECODEUNITS, lineStart, offset - lineOffset);
}

int RichTextBox::offsetFromPosition(long position) const
{
    if (!indexed())
        return int(position);
    const long line = sci(SCI_LINEFROMPOSITION, position);
    const long lineStart = sci(SCI_POSITIONFROMLINE, line);
    return int(sci(SCI_INDEXPOSITIONFROMLINE, line, kUtf16) + sci(SCI_COUNTCODEUNITS, lineStart, position));
}

int RichTextBox::TextLength() const
{
    return offsetFromPosition(sci(SCI_GETLENGTH));
}

int RichTextBox::SelStart() const
{
    return offsetFromPosition(sci(SCI_GETSELECTIONSTART));
}

void RichTextBox::SetSelStart(int offset)
{
    sci(SCI_SETEMPTYSELECTION, positionFromOffset(offset));
    sci(SCI_SCROLLCARET);
    flushChange();
}

int RichTextBox::SelLength() const
{
    const long start = sci(SCI_GETSELECTIONSTART);
    const long end = sci(SCI_GETSELECTIONEND);
    if (end <= start)
        return 0;
    // Selections are short next to the document: count within them.
    return int(sci(SCI_COUNTCODEUNITS, start, end));
}

void RichTextBox::SetSelLength(int length)
{
    const long start = sci(SCI_GETSELECTIONSTART);
    const long end = positionFromOffset(offsetFromPosition(start) + qMax(0, length));
    sci(SCI_SETSEL, start, end);
    flushChange();
}

QString RichTextBox::SelText() const
{
    const long start = sci(SCI_GETSELECTIONSTART);
    const long end = sci(SCI_GETSELECTIONEND);
    if (end <= start)
        return QString();
    const auto *p = reinterpret_cast<const char *>(sci(SCI_GETRANGEPOINTER, start, end - start));
    return TextFileCodec::toQString(QByteArrayView(p, end - start));
}

void RichTextBox::replaceRange(long start, long end, QByteArrayView utf8)
{
    sci(SCI_SETTARGETRANGE, start, end);
    // Scintilla wants a real pointer even for an empty replacement.
    SendScintilla(SCI_REPLACETARGET, uintptr_t(utf8.size()), utf8.isEmpty() ? "" : utf8.data());
    sci(SCI_SETEMPTYSELECTION, sci(SCI_GETTARGETEND));
    sci(SCI_SCROLLCARET);
    flushChange();
}

void RichTextBox::SetSelText(const QString &text)
{
    replaceRange(sci(SCI_GETSELECTIONSTART), sci(SCI_GETSELECTIONEND), text.toUtf8());
}

void RichTextBox::setHighlights(const QList<QPair<qsizetype, qsizetype>> &ranges)
{
    constexpr int kIndicator = INDIC_CONTAINER;
    sci(SCI_SETINDICATORCURRENT, kIndicator);
    sci(SCI_INDICATORCLEARRANGE, 0, sci(SCI_GETLENGTH));
    if (ranges.isEmpty())
        return;
    sci(SCI_INDICSETSTYLE, kIndicator, INDIC_FULLBOX);
    sci(SCI_INDICSETFORE, kIndicator, 0x00C0FF); // amber, as Scintilla's colours are BGR
    sci(SCI_INDICSETALPHA, kIndicator, 90);
    sci(SCI_INDICSETUNDER, kIndicator, 1);
    // In order, each position is found from the one before: a walk along
    // the text once, not from its line's start for each range (quadratic
    // on a long line).
    qsizetype lastOffset = -1;
    long lastPosition = 0;
    for (const auto &[offset, length] : ranges) {
        if (length <= 0)
            continue;
        const long start = lastOffset >= 0 && offset >= lastOffset
                               ? sci(SCI_POSITIONRELATIVECODEUNITS, lastPosition, long(offset - lastOffset))
                               : positionFromOffset(int(offset));
        const long end = sci(SCI_POSITIONRELATIVECODEUNITS, start, long(length));
        sci(SCI_INDICATORFILLRANGE, start, end - start);
        lastOffset = offset + length;
        lastPosition = end;
    }
}

QPair<qsizetype, qsizetype> RichTextBox::visibleRange() const
{
    const long top = sci(SCI_GETFIRSTVISIBLELINE);
    const long first = sci(SCI_DOCLINEFROMVISIBLE, top);
    const long last = sci(SCI_DOCLINEFROMVISIBLE, top + std::max(1L, sci(SCI_LINESONSCREEN)));
    const int from = offsetFromPosition(sci(SCI_POSITIONFROMLINE, first));
    return {from, offsetFromPosition(sci(SCI_GETLINEENDPOSITION, last)) - from};
}

void RichTextBox::steadyCaretOnLongLine()
{
    const long line = sci(SCI_LINEFROMPOSITION, sci(SCI_GETCURRENTPOS));
    const long period = sci(SCI_LINELENGTH, line) > steadyCaretFrom ? 0 : m_caretPeriod;
    if (sci(SCI_GETCARETPERIOD) != period)
        sci(SCI_SETCARETPERIOD, period);
}

int RichTextBox::lineCount() const
{
    return int(sci(SCI_GETLINECOUNT));
}

int RichTextBox::caretLine() const
{
    return int(sci(SCI_LINEFROMPOSITION, sci(SCI_GETCURRENTPOS))) + 1;
}

int RichTextBox::caretColumn() const
{
    const long caret = sci(SCI_GETCURRENTPOS);
    return int(sci(SCI_COUNTCHARACTERS, sci(SCI_POSITIONFROMLINE, sci(SCI_LINEFROMPOSITION, caret)), caret)) + 1;
}

void RichTextBox::goToLine(int line)
{
    const long target = qBound(1, line, lineCount()) - 1;
    sci(SCI_ENSUREVISIBLEENFORCEPOLICY, target);
    sci(SCI_GOTOLINE, target);
    // Shown in the middle of the view rather than at its edge.
    const long lines = sci(SCI_LINESONSCREEN);
    sci(SCI_SETFIRSTVISIBLELINE, qMax(0L, target - lines / 2));
    flushChange();
}

void RichTextBox::selectRange(qsizetype offset, qsizetype length)
{
    const long start = positionFromOffset(int(offset));
    const long end = positionFromOffset(int(offset + length));
    sci(SCI_SETSEL, start, end);
    sci(SCI_SCROLLRANGE, start, end);
    flushChange();
}

void RichTextBox::releaseKey(const QKeySequence &key)
{
    if (key.isEmpty())
        return;
    const QKeyCombination combo = key[0];
    m_releasedKeys.insert(combo.toCombined());
    const Qt::KeyboardModifiers qtMods = combo.keyboardModifiers();
    int mods = 0;
    if (qtMods & Qt::ShiftModifier)
        mods |= SCMOD_SHIFT;
    if (qtMods & Qt::ControlModifier)
        mods |= SCMOD_CTRL;
    if (qtMods & Qt::AltModifier)
        mods |= SCMOD_ALT;
    if (qtMods & Qt::MetaModifier)
        mods |= SCMOD_META;
    // Plain and shifted keys type text: they are never taken away. The
    // editor binds no function keys, so letters and digits are all there is.
    if (!(mods & (SCMOD_CTRL | SCMOD_ALT | SCMOD_META)))
        return;
    const int k = int(combo.key());
    if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9))
        sci(SCI_CLEARCMDKEY, k | (mods << 16));
}

bool RichTextBox::event(QEvent *e)
{
    // Scintilla claims every key it has a binding for, a cleared one
    // included; a key the menus own must go on to their shortcut instead.
    if (e->type() == QEvent::ShortcutOverride) {
        const auto *ke = static_cast<QKeyEvent *>(e);
        if (m_releasedKeys.contains(ke->keyCombination().toCombined())) {
            e->ignore();
            return false;
        }
    }
    const bool handled = QsciScintilla::event(e);
    flushChange();
    return handled;
}

bool RichTextBox::viewportEvent(QEvent *e)
{
    // Mouse input (a middle-button paste, say) arrives through the viewport.
    const bool handled = QsciScintilla::viewportEvent(e);
    flushChange();
    return handled;
}

void RichTextBox::typeCharacter(char32_t code)
{
    long start = sci(SCI_GETSELECTIONSTART);
    long end = sci(SCI_GETSELECTIONEND);
    // Overtype replaces the character under the caret, but never a line break.
    if (start == end && overwriteMode() && end < sci(SCI_GETLINEENDPOSITION, sci(SCI_LINEFROMPOSITION, end)))
        end = sci(SCI_POSITIONAFTER, end);
    replaceRange(start, end, QString::fromUcs4(&code, 1).toUtf8());
}

void RichTextBox::keyPressEvent(QKeyEvent *e)
{
    const QString typed = e->text();
    const bool printable = typed.size() == 1 && typed.at(0).isPrint();
    // Alt or Meta with a letter that no menu took as its access key types nothing.
    if (printable && (e->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) && !(e->modifiers() & Qt::ControlModifier)) {
        e->accept();
        return;
    }
    const bool commandModifier = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool isCharacter = typed.size() == 1 && !commandModifier && e->key() != Qt::Key_Delete;
    if (isCharacter) {
        const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
        const int original = enter ? '\r' : int(typed.at(0).unicode());
        int code = original;
        emit KeyPress(code);
        if (code == 0) {
            e->accept();
            return;
        }
        if (code != original) {
            typeCharacter(char32_t(code));
            e->accept();
            return;
        }
    }
    const bool insertKey = e->key() == Qt::Key_Insert && e->modifiers() == Qt::NoModifier;
    QsciScintilla::keyPressEvent(e);
    if (insertKey)
        emit overwriteModeChanged(overwriteMode());
}

void RichTextBox::mouseReleaseEvent(QMouseEvent *e)
{
    QsciScintilla::mouseReleaseEvent(e);
    emit MouseUp(e->button(), e->modifiers(), e->position().toPoint());
}

void RichTextBox::mouseDoubleClickEvent(QMouseEvent *e)
{
    QsciScintilla::mouseDoubleClickEvent(e);
    emit DoubleClick();
}

void RichTextBox::contextMenuEvent(QContextMenuEvent *e)
{
    // The document window shows its own menu when the right button is released.
    e->accept();
}

void RichTextBox::dragEnterEvent(QDragEnterEvent *e)
{
    FileDrops::acceptFiles(e);
}

void RichTextBox::dragMoveEvent(QDragMoveEvent *e)
{
    FileDrops::acceptFiles(e);
}

void RichTextBox::dropEvent(QDropEvent *e)
{
    const QStringList files = FileDrops::take(e);
    if (files.isEmpty())
        return;
    // Handled after the drop has finished, so that the questions it may ask
    // do not run inside the drag.
    QTimer::singleShot(0, this, [this, files] { emit OLEDragDrop(files); });
}
