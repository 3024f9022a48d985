#include "core/Fragments.h"

#include <iterator>

namespace Fragments {

namespace {

constexpr Prompt kCss = {"CSS CLASS", "Please Enter the class you'd like to add formatting for", "",
                         EmptyAnswer::InsertNothing};
constexpr Prompt kSpan = {"SPAN INSERT", "Enter ID for the span", "default", EmptyAnswer::InsertEmpty};
constexpr Prompt kAnchor = {"Link", "Please Enter the link", kWebAddress, EmptyAnswer::UseHash};
constexpr Prompt kEmail = {"Link", "Please Enter the email link", kSupportAddress, EmptyAnswer::UseHash};

#define CONSOLE_HEAD "#include <iostream>\r\n\r\nusing namespace std;\r\n \r\nint main(int agrc, char *agrv[])\r\n{\r\n\r\n"
#define CONSOLE_TAIL "\r\nreturn 0;\r\n}"

constexpr Fragment kFragments[] = {
    // Wrapping: the selection inside, or a placeholder.
    {"mnuInsertHTMLP", "<P>%S</P>", "<P> [REPLACE WITH TEXT] </P>", nullptr},
    {"mnuInsertHTMLHeading1", "<h1>%S</h1>", "<h1> [REPLACE WITH TEXT] </h1>", nullptr},
    {"mnuInsetBoldText", "<B>%S</B>", "<B><!-- Paragraph //--></B>", nullptr},
    {"mnuInsertHtmlUnderline", "<U>%S</U>", "<U><!-- Paragraph //--></U>", nullptr},
    {"mnuHTMLInsertItalic", "<I>%S</I>", "<I><!-- Paragraph //--></I>", nullptr},
    {"mnuInsertHTMLFont", "<FONT COLOR=BLACK SIZE=12>%S</FONT>", "<FONT COLOR=BLACK SIZE=12><!-- Paragraph //--></FONT>",
     nullptr},
    {"mnuInsertHTMLDiv", "<DIV>%S</DIV>", "<DIV><!-- CONTENTS //--></DIV>", nullptr},
    {"mnuInsertHTMLScrolling", "<MARQUEE DIRECTION='LEFT'>%S</MARQUEE>",
     "<MARQUEE DIRECTION='LEFT'><!-- CONTENT //--></MARQUEE>", nullptr},
    {"mnuInsertHTMLTable", "<TABLE BORDER=1><TR><TD>%S</TD></TR></TABLE>",
     "<TABLE BORDER=1><TR><TD><!-- TABLE CONTENT //--></TD></TR></TABLE>", nullptr},
    {"mnuInsertHTMLImage", "<IMG SRC='%S'>", "<IMG SRC=''>", nullptr},
    {"mnuInsertHTMLTitle", "<TITLE>%S</TITLE>", "<TITLE>TITLE</TITLE>", nullptr},
    {"mnuInsertHTMLFrames",
     "<FRAMESET COLS='25%, 65%, 10%'><FRAME SRC=''></FRAME><FRAME SRC='%S'></FRAME><FRAME SRC=''></FRAME></FRAMESET>",
     "<FRAMESET COLS='25%, 65%, 10%'><FRAME SRC=''></FRAME><FRAME SRC=''></FRAME><FRAME SRC=''></FRAME></FRAMESET>",
     nullptr},
    {"mnuInsertHTMLStyle", "<STYLE>%S</STYLE>",
     "<STYLE>\r\nBODY{\r\nBACKGROUND-COLOR: #FFFFFF;\r\nCOLOR:#000000;\r\n}</STYLE>", nullptr},
    {"mnuInsertHTMLBody", "<BODY>\r\n%S\r\n</BODY>", "<BODY>\r\n<H1>heading</H1>\r\n</BODY>", nullptr},
    {"mnuInsertHTMLHeader", "<HEAD>\r\n<TITLE>%S</TITLE>\r\n</HEAD>", "<HEAD>\r\n<TITLE>TITLE</TITLE>\r\n</HEAD>",
     nullptr},
    {"mnuInsertHTMLForm", "<FORM METHOD=POST ACTION=''>%S</FORM>",
     "<FORM METHOD=POST ACTION=''>\r\nEmail: <input type='textbox' name='email'>\r\n</form>", nullptr},
    {"mnuInsertCPPInclude", "#include \"%S\"", "#include <<QRLPROMPT>IncludeFIle</QRLPROMPT>>", nullptr},
    {"mnuInsertCPPHeading", CONSOLE_HEAD "%S" CONSOLE_TAIL, CONSOLE_HEAD CONSOLE_TAIL, nullptr},
    // Fixed: the same text whatever is selected.
    {"mnuInsertHTMLLineBreak", "<BR />", "<BR />", nullptr},
    {"mnuInsertCPPNameSpace", "using namespace <QRLPROMPT>NameSpace</QRLPROMPT>;",
     "using namespace <QRLPROMPT>NameSpace</QRLPROMPT>;", nullptr},
    {"mnuInsertCopyright", "Copyright \u00A9 <QRLPROMPT>Company Name</QRLPROMPT>. All rights reserved.",
     "Copyright \u00A9 <QRLPROMPT>Company Name</QRLPROMPT>. All rights reserved.", nullptr},
    // Asking first.
    {"mnuInsertCSSClass", ".%A {\r\n\r\n}", ".%A {\r\n\r\n}", &kCss},
    {"mnuInsertCSSID", "#%A {\r\n\r\n}", "#%A {\r\n\r\n}", &kCss},
    {"mnuInsertCSSName", "%A {\r\n\r\n}", "%A {\r\n\r\n}", &kCss},
    {"mnuInsertHTMLSpan", "<Span ID='%A' name='%A' class='%A'>%S</span>",
     "<Span ID='%A' name='%A' class='%A'>[INSERT TEXT HERE]</span>", &kSpan},
    {"mnuInsertLinkAnchor", "<A href='%A' target='_SELF'>%S</A>", "<A href='%A' target='_SELF'>[Insert Text]</A>",
     &kAnchor},
    {"mnuInsertLinkEmail", "<A href='mailto:%A' target='_SELF'>%S</A>",
     "<A href='mailto:%A' target='_SELF'>[Insert Text]</A>", &kEmail},
};

#undef CONSOLE_HEAD
#undef CONSOLE_TAIL

} // namespace

const Fragment *begin()
{
    return std::begin(kFragments);
}

const Fragment *end()
{
    return std::end(kFragments);
}

const Fragment *find(const QString &name)
{
    for (const Fragment &f : kFragments) {
        if (name == QLatin1String(f.name))
            return &f;
    }
    return nullptr;
}

bool inserts(const Fragment &fragment, const QString &answer)
{
    return !fragment.prompt || fragment.prompt->empty != EmptyAnswer::InsertNothing || !answer.trimmed().isEmpty();
}

QString build(const Fragment &fragment, const QString &selection, const QString &answer)
{
    // A link's answer of blanks counts as empty; any other answer is used as typed.
    QString a = answer;
    if (fragment.prompt && fragment.prompt->empty == EmptyAnswer::UseHash && answer.trimmed().isEmpty())
        a = QStringLiteral("#");
    const QString pattern = QString::fromUtf8(selection.isEmpty() ? fragment.withoutSelection : fragment.withSelection);
    // One pass over the pattern: what S and A hold is never read as a marker.
    QString out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern.at(i) == u'%' && i + 1 < pattern.size() && (pattern.at(i + 1) == u'S' || pattern.at(i + 1) == u'A')) {
            out += pattern.at(++i) == u'S' ? selection : a;
        } else {
            out += pattern.at(i);
        }
    }
    return out;
}

} // namespace Fragments
