// Templates and inserts as a user meets them: the Insert menu's fragments,
// Tools > Execute, the New Document and Install Template windows, and the
// date, font-name and insert-text windows.
#include "core/Fragments.h"
#include "support/AppFixture.h"
#include "support/Modal.h"
#include "templates/frmFonts.h"
#include "templates/frmInsertDate.h"
#include "templates/frmInserts.h"
#include "templates/frmNew.h"
#include "templates/frmTemplates.h"
#include "ui/FileChooser.h"

#include <QDir>
#include <QLabel>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

using Answer = Dialogs::Answer;

namespace {

const QString kHead = QStringLiteral("#include <iostream>\r\n\r\nusing namespace std;\r\n \r\nint main(int agrc, char *agrv[])\r\n{\r\n\r\n");
const QString kTail = QStringLiteral("\r\nreturn 0;\r\n}");

// The templates directory given to the program, filled with these files
// ("" makes it exist and stay empty; nothing leaves it missing).
void templates(AppFixture &a, const QMap<QString, QByteArray> &files)
{
    a.ctx->settings.RegWriteString(SettingsStore::kOrvaneKey, QStringLiteral("TempDir"), a.path(QStringLiteral("Tpl")));
    if (!files.isEmpty())
        QDir(a.dir.path()).mkdir(QStringLiteral("Tpl"));
    for (auto it = files.begin(); it != files.end(); ++it) {
        if (!it.key().isEmpty())
            a.writeFile(QStringLiteral("Tpl/") + it.key(), it.value());
    }
}

frmNew *newFromTemplate(AppFixture &app)
{
    actionOf(app.frame, "mnuTemplates")->trigger();
    return app.ctx->windows.find<frmNew>(QStringLiteral("frmNew"));
}

} // namespace

class TestTemplates : public QObject
{
    Q_OBJECT

private slots:
    // Every fragment, chosen from its menu item as a user does, with the
    // selection "S" and without one.
    void fragments_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("answer"); // for the items that ask
        QTest::addColumn<QString>("withSelection");
        QTest::addColumn<QString>("without");
        QTest::newRow("P") << "mnuInsertHTMLP" << "" << "<P>S</P>" << "<P> [REPLACE WITH TEXT] </P>";
        QTest::newRow("h1") << "mnuInsertHTMLHeading1" << "" << "<h1>S</h1>" << "<h1> [REPLACE WITH TEXT] </h1>";
        QTest::newRow("bold") << "mnuInsetBoldText" << "" << "<B>S</B>" << "<B><!-- Paragraph //--></B>";
        QTest::newRow("underline") << "mnuInsertHtmlUnderline" << "" << "<U>S</U>" << "<U><!-- Paragraph //--></U>";
        QTest::newRow("italic") << "mnuHTMLInsertItalic" << "" << "<I>S</I>" << "<I><!-- Paragraph //--></I>";
        QTest::newRow("font") << "mnuInsertHTMLFont" << "" << "<FONT COLOR=BLACK SIZE=12>S</FONT>"
                              << "<FONT COLOR=BLACK SIZE=12><!-- Paragraph //--></FONT>";
        QTest::newRow("div") << "mnuInsertHTMLDiv" << "" << "<DIV>S</DIV>" << "<DIV><!-- CONTENTS //--></DIV>";
        QTest::newRow("marquee") << "mnuInsertHTMLScrolling" << "" << "<MARQUEE DIRECTION='LEFT'>S</MARQUEE>"
                                 << "<MARQUEE DIRECTION='LEFT'><!-- CONTENT //--></MARQUEE>";
        QTest::newRow("table") << "mnuInsertHTMLTable" << "" << "<TABLE BORDER=1><TR><TD>S</TD></TR></TABLE>"
                               << "<TABLE BORDER=1><TR><TD><!-- TABLE CONTENT //--></TD></TR></TABLE>";
        QTest::newRow("image") << "mnuInsertHTMLImage" << "" << "<IMG SRC='S'>" << "<IMG SRC=''>";
        QTest::newRow("title") << "mnuInsertHTMLTitle" << "" << "<TITLE>S</TITLE>" << "<TITLE>TITLE</TITLE>";
        QTest::newRow("frames") << "mnuInsertHTMLFrames" << ""
                                << "<FRAMESET COLS='25%, 65%, 10%'><FRAME SRC=''></FRAME><FRAME SRC='S'></FRAME><FRAME SRC=''></FRAME></FRAMESET>"
                                << "<FRAMESET COLS='25%, 65%, 10%'><FRAME SRC=''></FRAME><FRAME SRC=''></FRAME><FRAME SRC=''></FRAME></FRAMESET>";
        QTest::newRow("style") << "mnuInsertHTMLStyle" << "" << "<STYLE>S</STYLE>"
                               << "<STYLE>\r\nBODY{\r\nBACKGROUND-COLOR: #FFFFFF;\r\nCOLOR:#000000;\r\n}</STYLE>";
        QTest::newRow("body") << "mnuInsertHTMLBody" << "" << "<BODY>\r\nS\r\n</BODY>" << "<BODY>\r\n<H1>heading</H1>\r\n</BODY>";
        QTest::newRow("header") << "mnuInsertHTMLHeader" << "" << "<HEAD>\r\n<TITLE>S</TITLE>\r\n</HEAD>"
                                << "<HEAD>\r\n<TITLE>TITLE</TITLE>\r\n</HEAD>";
        QTest::newRow("form: </FORM> and </form>") << "mnuInsertHTMLForm" << "" << "<FORM METHOD=POST ACTION=''>S</FORM>"
                                                   << "<FORM METHOD=POST ACTION=''>\r\nEmail: <input type='textbox' name='email'>\r\n</form>";
        QTest::newRow("include") << "mnuInsertCPPInclude" << "" << "#include \"S\"" << "#include <<QRLPROMPT>IncludeFIle</QRLPROMPT>>";
        QTest::newRow("console heading") << "mnuInsertCPPHeading" << "" << kHead + "S" + kTail << kHead + kTail;
        QTest::newRow("line break") << "mnuInsertHTMLLineBreak" << "" << "<BR />" << "<BR />";
        QTest::newRow("namespace") << "mnuInsertCPPNameSpace" << "" << "using namespace <QRLPROMPT>NameSpace</QRLPROMPT>;"
                                   << "using namespace <QRLPROMPT>NameSpace</QRLPROMPT>;";
        QTest::newRow("copyright") << "mnuInsertCopyright" << "" << "Copyright © <QRLPROMPT>Company Name</QRLPROMPT>. All rights reserved."
                                   << "Copyright © <QRLPROMPT>Company Name</QRLPROMPT>. All rights reserved.";
        QTest::newRow("CSS class") << "mnuInsertCSSClass" << "menu" << ".menu {\r\n\r\n}" << ".menu {\r\n\r\n}";
        QTest::newRow("CSS ID") << "mnuInsertCSSID" << " top" << "# top {\r\n\r\n}" << "# top {\r\n\r\n}";
        QTest::newRow("SPAN") << "mnuInsertHTMLSpan" << "id" << "<Span ID='id' name='id' class='id'>S</span>"
                              << "<Span ID='id' name='id' class='id'>[INSERT TEXT HERE]</span>";
        QTest::newRow("anchor") << "mnuInsertLinkAnchor" << "a.html" << "<A href='a.html' target='_SELF'>S</A>"
                                << "<A href='a.html' target='_SELF'>[Insert Text]</A>";
        QTest::newRow("email") << "mnuInsertLinkEmail" << "x@y" << "<A href='mailto:x@y' target='_SELF'>S</A>"
                               << "<A href='mailto:x@y' target='_SELF'>[Insert Text]</A>";
    }

    void fragments()
    {
        QFETCH(QString, item);
        QFETCH(QString, answer);
        QFETCH(QString, withSelection);
        QFETCH(QString, without);
        AppFixture app;
        frmDoc *w = app.newDocument();
        app.dialogs.inputs << answer << answer;
        editorOf(w)->SetText(QStringLiteral("[S]"));
        editorOf(w)->SetSelStart(1);
        editorOf(w)->SetSelLength(1);
        app.record(w).setChanged(false);
        actionOf(w, item.toLatin1().constData())->trigger();
        QCOMPARE(editorOf(w)->Text(), QLatin1Char('[') + withSelection + QLatin1Char(']'));
        QCOMPARE(editorOf(w)->SelStart(), 1 + int(withSelection.size()));
        QCOMPARE(app.record(w).Changed(), true);
        editorOf(w)->SetText(QStringLiteral("[]"));
        editorOf(w)->SetSelStart(1);
        actionOf(w, item.toLatin1().constData())->trigger();
        QCOMPARE(editorOf(w)->Text(), QLatin1Char('[') + without + QLatin1Char(']'));
        QCOMPARE(app.dialogs.prompted.size(), answer.isEmpty() ? 0 : 2);
    }

    void promptsAndEmptyAnswers_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<QStringList>("asked"); // title, prompt, default
        QTest::newRow("CSS cancelled: nothing") << "mnuInsertCSSClass" << "" << ""
                                               << QStringList{"CSS CLASS", "Please Enter the class you'd like to add formatting for", ""};
        QTest::newRow("SPAN cancelled: empty ID") << "mnuInsertHTMLSpan" << ""
                                                 << "<Span ID='' name='' class=''>[INSERT TEXT HERE]</span>"
                                                 << QStringList{"SPAN INSERT", "Enter ID for the span", "default"};
        QTest::newRow("anchor, three blanks: #") << "mnuInsertLinkAnchor" << "   " << "<A href='#' target='_SELF'>[Insert Text]</A>"
                                                << QStringList{"Link", "Please Enter the link", Fragments::kWebAddress};
        QTest::newRow("email cancelled: #") << "mnuInsertLinkEmail" << "" << "<A href='mailto:#' target='_SELF'>[Insert Text]</A>"
                                           << QStringList{"Link", "Please Enter the email link", Fragments::kSupportAddress};
    }

    void promptsAndEmptyAnswers()
    {
        QFETCH(QString, item);
        QFETCH(QString, answer);
        QFETCH(QString, inserted);
        QFETCH(QStringList, asked);
        AppFixture app;
        frmDoc *w = app.newDocument();
        app.dialogs.inputs << answer;
        actionOf(w, item.toLatin1().constData())->trigger();
        QCOMPARE(editorOf(w)->Text(), inserted);
        QCOMPARE(app.record(w).Changed(), !inserted.isEmpty());
        QCOMPARE(app.dialogs.prompted.size(), 1);
        QCOMPARE((QStringList{app.dialogs.prompted[0].title, app.dialogs.prompted[0].prompt, app.dialogs.prompted[0].defaultText}),
                 asked);
    }

    // The pass runs on the window's document: its title, its text, its
    // messages, and a relative link found beside the document's file.
    void executeActsOnTheDocument()
    {
        AppFixture app;
        const QString notes = app.writeFile(QStringLiteral("notes.txt"), "the notes\r\n");
        const QString page = app.writeFile(QStringLiteral("page.html"), "<QRLTITLE>Home</QRLTITLE><h1><QRLPROMPT>Head</QRLPROMPT></h1>"
                                                                        "<QRLMESSAGE>done</QRLMESSAGE><QRLLINK>notes.txt</QRLLINK>");
        frmDoc *w = app.docs().OpenFileByPath(page);
        app.dialogs.inputs << QStringLiteral("Welcome");
        app.dialogs.answers << Answer::Ok;
        actionOf(w, "mnuToolsExecute")->trigger();
        QCOMPARE(editorOf(w)->Text(), QStringLiteral("<QRLTITLE>Home</QRLTITLE><h1>Welcome</h1><QRLMESSAGE>done</QRLMESSAGE>"
                                                        "<QRLLINK>notes.txt</QRLLINK>"));
        QCOMPARE(app.dialogs.lastText(), QStringLiteral("Home: \r\ndone"));
        QCOMPARE(app.record(w).Changed(), true);
        QCOMPARE(app.shownDocuments().size(), 2);
        QCOMPARE(app.record(app.shownDocuments().last()).Title(), notes);
        QTRY_COMPARE(w->subWindow()->windowTitle(), QStringLiteral("Home"));
        // The pass visits the window's TemplateTags: without QRLLINK the link stays shut.
        QCOMPARE(w->TemplateTags, (QStringList{"QRLTITLE", "QRLPROMPT", "QRLMESSAGE", "QRLLINK", "QRLIMAGE"}));
        w->TemplateTags.removeOne(QStringLiteral("QRLLINK"));
        app.dialogs.answers << Answer::Ok;
        actionOf(w, "mnuToolsExecute")->trigger();
        QCOMPARE(app.dialogs.lastText(), QStringLiteral("Home: \r\ndone"));
        QCOMPARE(app.shownDocuments().size(), 2);
    }

    void newDocumentWindow()
    {
        AppFixture app({}, [](AppFixture &a) {
            templates(a, {{"page.tet", "<QRLPROMPT>Name</QRLPROMPT>\n" + QByteArray(80, 'x')}, {"note.TEP", "n"}, {"skip.txt", "s"}});
        });
        frmNew *n = newFromTemplate(app);
        QVERIFY(n && n->isVisible());
        QCOMPARE(n->windowTitle(), QStringLiteral("New Document"));
        QCOMPARE(n->File1->count(), 2);
        QVERIFY(n->Command1->isEnabled());
        app.dialogs.beeps = 0;
        n->Command1->click(); // nothing selected
        QCOMPARE(app.dialogs.beeps, 1);
        n->File1->setCurrentRow(1);
        QCOMPARE(n->lblPreview->text(), QStringLiteral("<QRLPROMPT>Name</QRLPROMPT>\r\n") + QString(41, u'x'));
        app.writeFile(QStringLiteral("Tpl/page.tet"), "<QRLPROMPT>Changed</QRLPROMPT>");
        QTest::mouseClick(n->File1->viewport(), Qt::LeftButton, {}, n->File1->visualItemRect(n->File1->item(1)).center());
        QCOMPARE(n->lblPreview->text(), QStringLiteral("<QRLPROMPT>Changed</QRLPROMPT>"));
        // A second call brings the same window forward without reading the folder again.
        app.writeFile(QStringLiteral("Tpl/later.tet"), "later");
        QCOMPARE(newFromTemplate(app), n);
        QCOMPARE(n->File1->count(), 2);

        QPointer<frmNew> watched = n;
        n->Command1->click();
        QTRY_VERIFY(!watched);
        frmDoc *w = app.shownDocuments().last();
        QCOMPARE(editorOf(w)->Text(), QStringLiteral("<QRLPROMPT>Changed</QRLPROMPT>"));
        QCOMPARE(app.record(w).Title(), QStringLiteral("Untitled"));
        QCOMPARE(app.record(w).Changed(), true);
        QVERIFY(app.dialogs.prompted.isEmpty()); // the tags wait for Execute

        // The document's own item opens the window afresh, which reads the folder again.
        actionOf(w, "mnuNewTemplate")->trigger();
        n = app.ctx->windows.find<frmNew>(QStringLiteral("frmNew"));
        QCOMPARE(n->File1->count(), 3);
        watched = n;
        n->Command4->click(); // Blank
        QTRY_VERIFY(!watched);
        QCOMPARE(app.shownDocuments().size(), 2);
        QCOMPARE(editorOf(app.shownDocuments().last())->Text(), QString());
    }

    // A template with fields: a notice offers the form, which fills every
    // label's fields as one undo step and remembers the answers.
    void fillInFields()
    {
        const QString before = QStringLiteral("Dear <QRLPROMPT>Name</QRLPROMPT>,\r\n<QRLPROMPT>City</QRLPROMPT>, <QRLPROMPT>Name</QRLPROMPT>");
        AppFixture app({}, [&](AppFixture &a) { templates(a, {{"letter.tet", before.toUtf8()}}); });
        frmNew *n = newFromTemplate(app);
        n->File1->setCurrentRow(0);
        n->Command1->click();
        frmDoc *w = app.shownDocuments().last();
        QCOMPARE(editorOf(w)->Text(), before);
        QVERIFY(childOf<QWidget>(w, "fraOffer")->isVisible());
        whenModal("the fields form", [](QWidget *form) {
            QVERIFY(childOf<QCheckBox>(form, "chkExecute")->isHidden()); // nothing else for Execute
            auto *name = childOf<QLineEdit>(form, "txtField0");
            QCOMPARE(name->text(), QStringLiteral("Name"));
            name->setText(QStringLiteral("Ann"));
            childOf<QLineEdit>(form, "txtField1")->clear();
            QCOMPARE(childOf<QPlainTextEdit>(form, "txtPreview")->toPlainText(),
                     QStringLiteral("Dear Ann,\n<QRLPROMPT>City</QRLPROMPT>, Ann"));
            childOf<QPushButton>(form, "cmdOK")->click();
        });
        childOf<QPushButton>(w, "cmdOffer")->click();
        QCOMPARE(editorOf(w)->Text(), QStringLiteral("Dear Ann,\r\n<QRLPROMPT>City</QRLPROMPT>, Ann"));
        QVERIFY(!childOf<QWidget>(w, "fraOffer")->isVisible());
        w->timer1Tick();
        actionOf(w, "mnuEditUndo")->trigger();
        QCOMPARE(editorOf(w)->Text(), before);
        QString remembered;
        whenModal("the fields form again", [&remembered](QWidget *form) {
            remembered = childOf<QLineEdit>(form, "txtField0")->text() + "|" + childOf<QLineEdit>(form, "txtField1")->text();
            childOf<QPushButton>(form, "cmdCancel")->click();
        });
        actionOf(w, "mnuToolsFillFields")->trigger();
        QCOMPARE(remembered, QStringLiteral("Ann|City"));
        QCOMPARE(editorOf(w)->Text(), before);

        // With a title, Execute may run afterwards; an answer too long to
        // keep in the settings is used but not remembered.
        editorOf(w)->SetText(QStringLiteral("<QRLTITLE>Letter</QRLTITLE><QRLPROMPT>Name</QRLPROMPT>"));
        const QString longAnswer(1001, u'x');
        whenModal("the fields form with a title", [&longAnswer](QWidget *form) {
            auto *execute = childOf<QCheckBox>(form, "chkExecute");
            QVERIFY(execute->isVisible() && !execute->isChecked());
            execute->setChecked(true);
            childOf<QLineEdit>(form, "txtField0")->setText(longAnswer);
            childOf<QPushButton>(form, "cmdOK")->click();
        });
        actionOf(w, "mnuToolsFillFields")->trigger();
        QCOMPARE(w->Title(), QStringLiteral("Letter"));
        QCOMPARE(editorOf(w)->Text(), "<QRLTITLE>Letter</QRLTITLE>" + longAnswer);
        editorOf(w)->SetText(QStringLiteral("<QRLPROMPT>Name</QRLPROMPT>"));
        whenModal("the fields form, last time", [&remembered](QWidget *form) {
            remembered = childOf<QLineEdit>(form, "txtField0")->text();
            childOf<QPushButton>(form, "cmdCancel")->click();
        });
        actionOf(w, "mnuToolsFillFields")->trigger();
        QCOMPARE(remembered, QStringLiteral("Name")); // the label: nothing kept for it
    }

    void templatesFolder_data()
    {
        QTest::addColumn<QString>("folder"); // "" leaves it missing, "-" makes it empty
        QTest::addColumn<int>("listed");
        QTest::addColumn<QString>("message"); // "" for none
        const QString none = QStringLiteral("There are no installed templates, please visit our website: ")
                             + QLatin1String(Fragments::kWebAddress) + QStringLiteral(" to download the template");
        QTest::newRow("missing: made, with the templates that ship") << "" << 4 << "";
        QTest::newRow("emptied by the user: the message, once") << "-" << 0 << none;
        QTest::newRow("cannot be made: one message with the reason")
            << "no/such/Tpl" << 0 << "The templates folder <dir>/no/such/Tpl could not be created: No such file or directory.";
    }

    void templatesFolder()
    {
        QFETCH(QString, folder);
        QFETCH(int, listed);
        QFETCH(QString, message);
        AppFixture app({}, [&](AppFixture &a) {
            templates(a, folder == QLatin1String("-") ? QMap<QString, QByteArray>{{"", ""}} : QMap<QString, QByteArray>{});
            if (folder.contains(u'/'))
                a.ctx->settings.RegWriteString(SettingsStore::kOrvaneKey, QStringLiteral("TempDir"), a.path(folder));
        });
        app.dialogs.answers << Answer::Ok;
        frmNew *n = newFromTemplate(app);
        QCOMPARE(n->File1->count(), listed);
        QCOMPARE(n->Command1->isEnabled(), listed > 0);
        QCOMPARE(app.dialogs.asked.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QCOMPARE(app.dialogs.lastText(), message.replace(QLatin1String("<dir>"), app.dir.path()));
        newFromTemplate(app);
        QCOMPARE(app.dialogs.asked.size(), message.isEmpty() ? 0 : 1);
        n->Command3->click(); // Cancel
    }

    // Import: the Install Template window, modal; the list is read again when it closes.
    void installTemplates()
    {
        AppFixture app({}, [](AppFixture &a) { templates(a, {{"old.tet", "o"}}); });
        const QString source = app.writeFile(QStringLiteral("my page.tet"), "mine");
        frmNew *n = newFromTemplate(app);
        whenModal("Install Template window", [&](QWidget *modal) {
            auto *t = qobject_cast<frmTemplates *>(modal);
            QVERIFY(t);
            t->chooser->setDirectory(app.dir.path());
            QCOMPARE(t->chooser->files->count(), 1);
            emit t->chooser->files->itemClicked(t->chooser->files->item(0));
            QCOMPARE(t->txtTemplates->text(), source);
            t->Command1->click(); // add
            t->txtTemplates->setText(app.path(QStringLiteral("gone.tet")));
            t->Command1->click();
            QCOMPARE(t->lstTemplates->count(), 2);
            app.dialogs.beeps = 0;
            t->lstTemplates->clearSelection();
            t->Command2->click(); // Delete, nothing selected
            QCOMPARE(app.dialogs.beeps, 1);
            app.dialogs.answers << Answer::Ok;
            t->Command3->click(); // Import
        });
        n->Command2->click();
        QCOMPARE(app.readFile(QStringLiteral("Tpl/my_page.tet")), QByteArray("mine"));
        QCOMPARE(app.dialogs.asked.size(), 1);
        QVERIFY2(app.dialogs.lastText().contains(QStringLiteral("gone.tet: File not found")), qPrintable(app.dialogs.lastText()));
        QCOMPARE(n->File1->count(), 2);
    }

    // Both Date items open the dialog for the document that chose them.
    void insertDate_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("Insert > Stamp > Date") << "mnuInsertStampDate";
        QTest::newRow("context menu > Inserts > Date") << "mnuHiddenInsertsDate";
    }

    void insertDate()
    {
        QFETCH(QString, item);
        AppFixture app;
        frmDoc *w = app.newDocument();
        whenModal("Insert Date dialog", [&](QWidget *modal) {
            auto *d = qobject_cast<frmInsertDate *>(modal);
            QVERIFY(d);
            QCOMPARE(d->Tag, w->Tag());
            QCOMPARE(d->List1->count(), 5);
            d->Command1->click(); // nothing selected: stays
            QVERIFY(d->isVisible());
            d->List1->setCurrentRow(3);
            d->Command1->click();
        });
        actionOf(w, item.toLatin1().constData())->trigger();
        QCOMPARE(editorOf(w)->Text(), QLocale().toString(QDate::currentDate(), QStringLiteral("MMMM d, yyyy")));
    }

    void fontNames()
    {
        AppFixture app;
        frmDoc *w = app.newDocument();
        whenModal("font dialog", [](QWidget *modal) {
            auto *f = qobject_cast<frmFonts *>(modal);
            QVERIFY(f && f->lstFonts->count() > 0);
            QTest::keyClick(f->lstFonts, Qt::Key_Escape);
        });
        actionOf(w, "mnuInsertFontName")->trigger();
        QCOMPARE(editorOf(w)->Text(), QString());
        QString chosen;
        whenModal("font dialog", [&](QWidget *modal) {
            auto *f = qobject_cast<frmFonts *>(modal);
            chosen = f->lstFonts->item(0)->text();
            emit f->lstFonts->itemDoubleClicked(f->lstFonts->item(0));
        });
        actionOf(w, "mnuInsertFontName")->trigger();
        QCOMPARE(editorOf(w)->Text(), chosen);
    }

    void insertTextWithF4()
    {
        AppFixture app;
        frmDoc *w = app.newDocument();
        editorOf(w)->SetText(QStringLiteral("one two"));
        pressIn(w, QKeySequence(Qt::Key_F4)); // nothing kept yet
        QCOMPARE(editorOf(w)->Text(), QStringLiteral("one two"));
        actionOf(w, "mnuToolsInsertBox")->trigger();
        auto *box = app.ctx->windows.find<frmInserts>(QStringLiteral("frmInserts"));
        QVERIFY(box && box->isVisible());
        QCOMPARE(box->Label1->text(), QStringLiteral("PRESS \"F4\" TO INSERT THE TEXT INTO YOUR DOCUMENT."));
        box->txtInserts->setPlainText(QStringLiteral("abc\nd"));
        QPointer<frmInserts> watched = box;
        box->close();
        QTRY_VERIFY(!watched);
        editorOf(w)->SetSelStart(4);
        editorOf(w)->SetSelLength(3);
        pressIn(w, QKeySequence(Qt::Key_F4));
        QCOMPARE(editorOf(w)->Text(), QStringLiteral("one abc\r\nd"));
        pressIn(w, QKeySequence(Qt::Key_F4));
        QCOMPARE(editorOf(w)->Text(), QStringLiteral("one abc\r\ndabc\r\nd"));
    }

    // Whatever is pasted into the box reaches the document as it was; line
    // breaks of every kind go in as CR LF.
    void insertTextKeepsEveryCharacter_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("inserted");
        QTest::newRow("non-breaking space") << QStringLiteral("a\u00A0b") << QStringLiteral("a\u00A0b");
        QTest::newRow("tabs") << QStringLiteral("\ta\t") << QStringLiteral("\ta\t");
        QTest::newRow("CR LF") << QStringLiteral("a\r\nb") << QStringLiteral("a\r\nb");
        QTest::newRow("LF and lone CR") << QStringLiteral("a\nb\rc") << QStringLiteral("a\r\nb\r\nc");
        QTest::newRow("outside the BMP") << QStringLiteral("\U0001F600x") << QStringLiteral("\U0001F600x");
    }

    void insertTextKeepsEveryCharacter()
    {
        QFETCH(QString, pasted);
        QFETCH(QString, inserted);
        AppFixture app;
        frmDoc *w = app.newDocument();
        actionOf(w, "mnuToolsInsertBox")->trigger();
        auto *box = app.ctx->windows.find<frmInserts>(QStringLiteral("frmInserts"));
        box->txtInserts->insertPlainText(pasted); // as a paste inserts it
        pressIn(w, QKeySequence(Qt::Key_F4));
        QCOMPARE(editorOf(w)->Text(), inserted);
    }
};

ORVANE_GUI_TEST_MAIN(TestTemplates)
#include "tst_templates.moc"
