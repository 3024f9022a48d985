#include "ui/CodeView.h"

#include "core/TextFileCodec.h"
#include "ui/RichTextBox.h"

#include <Qsci/qscilexerbash.h>
#include <Qsci/qscilexercpp.h>
#include <Qsci/qscilexercss.h>
#include <Qsci/qscilexercustom.h>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerjavascript.h>
#include <Qsci/qscilexermarkdown.h>
#include <Qsci/qscilexerpascal.h>
#include <Qsci/qscilexerperl.h>
#include <Qsci/qscilexerproperties.h>
#include <Qsci/qscilexerpython.h>
#include <Qsci/qscilexersql.h>
#include <Qsci/qscilexerxml.h>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLocale>
#include <QMimeDatabase>
#include <QPalette>

namespace CodeView {

namespace {

enum class Language { None, Html, Css, JavaScript, Cpp, Python, Perl, Pascal, Shell, Xml, Ini, Sql, Markdown };

struct Suffixes {
    Language language;
    const char *list; // lower case, separated by blanks
};

constexpr Suffixes kSuffixes[] = {
    {Language::Html, "html htm xhtml shtml php php3 php4 php5 phtml asp jsp"},
    {Language::Css, "css"},
    {Language::JavaScript, "js mjs cjs json ts"},
    {Language::Cpp, "c h cpp cxx cc c++ hpp hxx hh h++ ino"},
    {Language::Python, "py pyw"},
    {Language::Perl, "pl pm cgi"},
    {Language::Pascal, "pas pp dpr lpr inc"},
    {Language::Shell, "sh bash zsh ksh"},
    {Language::Xml, "xml xsl xslt svg rss atom xsd plist ui qrc"},
    {Language::Ini, "ini inf conf cfg desktop properties"},
    {Language::Sql, "sql"},
    {Language::Markdown, "md markdown mkd"},
};

// MIME types (or a type they inherit from) for files whose name says nothing.
struct MimeLanguage {
    const char *mime;
    Language language;
};

constexpr MimeLanguage kMimeTypes[] = {
    {"text/html", Language::Html},           {"text/css", Language::Css},
    {"application/javascript", Language::JavaScript}, {"text/x-csrc", Language::Cpp},
    {"text/x-c++src", Language::Cpp},        {"text/x-chdr", Language::Cpp},
    {"text/x-python", Language::Python},     {"text/x-python3", Language::Python},
    {"application/x-perl", Language::Perl},  {"text/x-pascal", Language::Pascal},
    {"application/x-shellscript", Language::Shell}, {"application/xml", Language::Xml},
    {"text/x-sql", Language::Sql},           {"text/markdown", Language::Markdown},
};

Language languageOf(const QString &filePath)
{
    if (filePath.isEmpty())
        return Language::None;
    const QFileInfo info(filePath);
    const QString suffix = info.suffix().toLower();
    if (!suffix.isEmpty()) {
        for (const Suffixes &s : kSuffixes) {
            if (QString::fromLatin1(s.list).split(u' ').contains(suffix))
                return s.language;
        }
    }
    static const QMimeDatabase db;
    const QMimeType type = db.mimeTypeForFile(info, info.isFile() ? QMimeDatabase::MatchDefault
                                                                   : QMimeDatabase::MatchExtension);
    for (const MimeLanguage &m : kMimeTypes) {
        if (type.inherits(QLatin1String(m.mime)))
            return m.language;
    }
    return Language::None;
}

QsciLexer *make(Language language, QObject *parent)
{
    switch (language) {
    case Language::None: return nullptr;
    case Language::Html: return new QsciLexerHTML(parent);
    case Language::Css: return new QsciLexerCSS(parent);
    case Language::JavaScript: return new QsciLexerJavaScript(parent);
    case Language::Cpp: return new QsciLexerCPP(parent);
    case Language::Python: return new QsciLexerPython(parent);
    case Language::Perl: return new QsciLexerPerl(parent);
    case Language::Pascal: return new QsciLexerPascal(parent);
    case Language::Shell: return new QsciLexerBash(parent);
    case Language::Xml: return new QsciLexerXML(parent);
    case Language::Ini: return new QsciLexerProperties(parent);
    case Language::Sql: return new QsciLexerSQL(parent);
    case Language::Markdown: return new QsciLexerMarkdown(parent);
    }
    return nullptr;
}

bool darkPalette(const QPalette &p)
{
    return p.color(QPalette::Base).lightness() < 128;
}

// A lexer's colour, made for a light background, moved to the palette's
// side: on a dark background its lightness is mirrored, its hue kept.
QColor forPalette(const QColor &c, bool dark)
{
    if (!dark)
        return c;
    float h = 0, s = 0, l = 0;
    c.getHslF(&h, &s, &l);
    return QColor::fromHslF(h, s, qBound(0.55f, 1.0f - l, 0.92f));
}

void colour(QsciLexer &lexer, const QPalette &p, const QFont &fixed)
{
    const bool dark = darkPalette(p);
    lexer.setDefaultFont(fixed);
    lexer.setFont(fixed, -1);
    lexer.setDefaultPaper(p.color(QPalette::Base));
    lexer.setDefaultColor(p.color(QPalette::Text));
    lexer.setPaper(p.color(QPalette::Base), -1);
    for (int style = 0; style < 256; ++style) {
        if (lexer.description(style).isEmpty())
            continue;
        const QColor c = lexer.defaultColor(style);
        lexer.setColor(c == Qt::black ? p.color(QPalette::Text) : forPalette(c, dark), style);
    }
}

// For text without colours that has long lines (a minified script): every
// other run of word characters, or of other characters, gets a second
// style that looks exactly like the first. Scintilla lays a line out a
// style run at a time and keeps the measures of short runs, so a key typed
// in a long line has it laid out again from that cache instead of measured
// whole, a hundred characters at a time.
class PieceLexer : public QsciLexerCustom
{
public:
    PieceLexer(QObject *parent, const QFont &font, const QColor &text, const QColor &paper)
        : QsciLexerCustom(parent), m_font(font), m_text(text), m_paper(paper)
    {
    }
    const char *language() const override { return "Text"; }
    QString description(int style) const override { return style <= 1 ? QStringLiteral("Text") : QString(); }
    QFont defaultFont(int) const override { return m_font; }
    QColor defaultColor(int) const override { return m_text; }
    QColor defaultPaper(int) const override { return m_paper; }

    void styleText(int start, int end) override
    {
        if (!editor() || end <= start)
            return;
        const auto *text = reinterpret_cast<const char *>(
            editor()->SendScintilla(QsciScintillaBase::SCI_GETRANGEPOINTER, start, long(end - start)));
        if (!text)
            return;
        const auto wordish = [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$'
                || (c & 0x80);
        };
        // The styles go in with one message: one per token took 166 ms for
        // the 8 MB of a page whose lines are laid out in pieces.
        QByteArray styles(end - start, Qt::Uninitialized);
        char *out = styles.data();
        char style = 0;
        for (int i = 0; i < end - start; ++i) {
            if (i > 0 && wordish(text[i]) != wordish(text[i - 1]))
                style ^= 1;
            out[i] = style;
        }
        startStyling(start);
        editor()->SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX, styles.size(), styles.constData());
    }

private:
    QFont m_font;
    QColor m_text, m_paper;
};

QColor fromScintilla(long bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

} // namespace

QFont font(const QString &family, int pointSize)
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!family.isEmpty())
        f.setFamily(family);
    if (pointSize > 0)
        f.setPointSize(pointSize);
    return f;
}

QString languageFor(const QString &filePath)
{
    std::unique_ptr<QsciLexer> lexer(make(languageOf(filePath), nullptr));
    return lexer ? QString::fromLatin1(lexer->language()) : QString();
}

QsciLexer *lexerFor(const QString &filePath, QObject *parent)
{
    return make(languageOf(filePath), parent);
}

QString apply(RichTextBox &box, bool on, bool wrap, const QString &filePath, qint64 size)
{
    QStringList notes;
    const QPalette p = box.palette();
    const qint64 bytes = size < 0 ? box.textView().size() : size;
    const auto over = [](const char *what, qint64 limit) {
        return QStringLiteral("No %1: the file is over %2")
            .arg(QLatin1String(what), QLocale().formattedDataSize(limit, 0, QLocale::DataSizeTraditionalFormat));
    };
    QsciLexer *old = box.lexer();
    QsciLexer *lexer = nullptr;
    if (on) {
        if (bytes > kHighlightLimit) {
            if (languageOf(filePath) != Language::None)
                notes << over("colours", kHighlightLimit);
        } else {
            lexer = lexerFor(filePath, &box);
        }
    }
    // Colours need a style byte per character; plain text does without,
    // unless its long lines are laid out in pieces.
    box.setLexer(nullptr);
    const QByteArrayView text = box.textView();
    if (!lexer && text.size() <= kHighlightLimit && TextFileCodec::longestLine(text) > kPiecesFrom) {
        const auto styleColour = [&box](unsigned message) {
            return fromScintilla(box.SendScintilla(message, QsciScintillaBase::STYLE_DEFAULT));
        };
        lexer = new PieceLexer(&box, on ? box.codeFont() : RichTextBox::documentFont(),
                               styleColour(QsciScintillaBase::SCI_STYLEGETFORE), styleColour(QsciScintillaBase::SCI_STYLEGETBACK));
    } else if (lexer) {
        colour(*lexer, p, box.codeFont());
    }
    // A text still to come (size given) that may have lines to lay out in
    // pieces gets its style bytes now: a document switched once the text is
    // in is copied on the window's thread (8 MB took 0.2 s).
    const bool textToCome = size >= 0 && box.textView().isEmpty();
    box.useStyledDocument(lexer != nullptr || (textToCome && size <= kHighlightLimit));
    if (lexer)
        box.setLexer(lexer);
    delete old;
    box.setCodeLook(on);
    const bool wrapped = wrap && bytes <= kWrapLimit;
    if (wrap && !wrapped)
        notes << over("wrapping", kWrapLimit);
    box.setWrapMode(wrapped ? QsciScintilla::WrapWord : QsciScintilla::WrapNone);
    if (on) {
        box.setMarginsBackgroundColor(p.color(QPalette::Window));
        box.setMarginsForegroundColor(p.color(QPalette::PlaceholderText));
        box.setCaretForegroundColor(p.color(QPalette::Text));
        box.setMatchedBraceForegroundColor(p.color(QPalette::HighlightedText));
        box.setMatchedBraceBackgroundColor(p.color(QPalette::Highlight));
        box.setUnmatchedBraceForegroundColor(forPalette(Qt::red, darkPalette(p)));
    }
    return notes.join(QStringLiteral("; "));
}

PrintedText printed(RichTextBox &box, bool selection)
{
    PrintedText out(selection ? box.SelText() : box.Text());
    if (!box.codeLook())
        return out;
    out.font = box.codeFont();
    const QsciLexer *lexer = box.lexer();
    if (!lexer)
        return out;
    const long start = selection ? box.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART) : 0;
    const long end = selection ? box.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND)
                               : box.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    // Styles are set as far as the view has needed them.
    box.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0ul, end);
    QByteArray styled(2 * (end - start) + 2, '\0');
    box.SendScintilla(QsciScintillaBase::SCI_GETSTYLEDTEXT, start, end, styled.data());
    // A character byte and its style byte, in turn. A UTF-8 lead byte is one
    // UTF-16 unit, or two from four bytes on; continuation bytes add none.
    int units = 0;
    for (qsizetype i = 0; i < end - start; ++i) {
        const uchar byte = uchar(styled[2 * i]);
        if ((byte & 0xC0) == 0x80)
            continue;
        const int width = byte >= 0xF0 ? 2 : 1;
        units += width;
        const QColor ink = lexer->defaultColor(uchar(styled[2 * i + 1]));
        if (!out.colours.isEmpty() && out.colours.last().color == ink)
            out.colours.last().length += width;
        else
            out.colours.append({width, ink});
    }
    // A selection of several ranges is not one stretch of the text.
    if (units != out.text.size())
        out.colours.clear();
    return out;
}

} // namespace CodeView
