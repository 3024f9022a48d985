// Undo snapshots, the editing and selection commands, find and replace,
// Copy To / Move To, printing and files dropped on a document.
#include "document/FindBar.h"
#include "platform/QtPrinter.h"
#include "support/AppFixture.h"
#include "support/Drops.h"
#include "support/Modal.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include "ui/StatusPanel.h"

#include <QMimeData>
#include <QDialog>
#include <QFontInfo>
#include <QImage>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QProcess>
#include <QUrl>

using Answer = Dialogs::Answer;

namespace {

struct OneDocument : AppFixture {
    frmDoc *w = nullptr;
    RichTextBox *box = nullptr;
    explicit OneDocument(const QString &pdfFile = QString())
        : AppFixture({}, {}, pdfFile)
    {
        w = newDocument();
        box = editorOf(w);
    }
    void select(int start, int length)
    {
        box->SetSelStart(start);
        box->SetSelLength(length);
    }
    // Chooses a menu item, its enabled state brought up to date first as a user sees it.
    void run(const char *action)
    {
        QAction *a = actionOf(w, action);
        QVERIFY2(a, action);
        w->timer1Tick();
        QVERIFY2(a->isEnabled(), action);
        a->trigger();
        w->timer1Tick();
    }
    QString snapshot() { return QString::fromUtf8(record(w).UndoSnapshot()); }
};

// A click of the given button at the end of the text.
void clickAtEnd(RichTextBox *box, Qt::MouseButton button)
{
    box->SetSelStart(box->TextLength());
    const QPoint at = box->viewport()->rect().bottomRight() - QPoint(5, 5);
    QTest::mouseClick(box->viewport(), button, Qt::NoModifier, at);
}

// What a poppler tool writes about a PDF.
QByteArray poppler(const QString &tool, QStringList arguments)
{
    QProcess p;
    p.start(tool, arguments);
    return p.waitForFinished(30000) ? p.readAllStandardOutput() : QByteArray("<" + tool.toUtf8() + " failed>");
}

QString pdfText(const QString &pdf)
{
    return QString::fromUtf8(poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}));
}

// Whether the PDF's first page shows anything in colour (not black, grey or white).
bool hasColour(const QString &pdf)
{
    QImage page;
    page.loadFromData(poppler(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-l"),
                                                          QStringLiteral("1"), pdf}),
                      "PPM");
    for (qsizetype i = 0; i < qsizetype(page.width()) * page.height(); ++i) {
        if (const QColor c = page.pixelColor(int(i % page.width()), int(i / page.width())); c.hsvSaturation() > 100 && c.value() > 60)
            return true;
    }
    return false;
}

} // namespace

class TestEditing : public QObject
{
    Q_OBJECT

private slots:
    // The one-second ticks record what was there before; every Undo command
    // puts it back. The store's own levels are tested in core.
    void undoThroughEveryCommand_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Edit menu") << "menu";
        QTest::newRow("Ctrl+Z") << "key";
        QTest::newRow("toolbar") << "toolbar";
        QTest::newRow("context menu") << "context";
    }

    void undoThroughEveryCommand()
    {
        QFETCH(QString, how);
        OneDocument d;
        d.box->SetText(QStringLiteral("before"));
        d.w->undoTick();
        d.box->SetText(QStringLiteral("changed"));
        d.box->SetText(QStringLiteral("before"));
        d.w->undoTick();
        QCOMPARE(d.snapshot(), QString()); // edits undone by hand leave nothing
        d.box->SetText(QStringLiteral("after"));
        d.w->undoTick();
        QCOMPARE(d.snapshot(), QStringLiteral("before"));
        d.w->timer1Tick();
        QVERIFY(d.w->toolbarButton(QStringLiteral("Undo"))->isVisible());
        d.record(d.w).setChanged(false);

        if (how == QLatin1String("menu")) {
            d.run("mnuEditUndo");
        } else if (how == QLatin1String("key")) {
            pressIn(d.w, QKeySequence(QStringLiteral("Ctrl+Z")));
        } else if (how == QLatin1String("toolbar")) {
            d.w->toolbarButton(QStringLiteral("Undo"))->trigger();
        } else {
            d.run("mnuHiddenUndo");
        }
        QCOMPARE(d.box->Text(), QStringLiteral("before"));
        QCOMPARE(d.record(d.w).Changed(), true);
        QCOMPARE(d.w->panel(QStringLiteral("lngth"))->text(), QStringLiteral("Length: 6"));
        d.w->undoTick(); // the undo itself is no edit
        QCOMPARE(d.snapshot(), QString());
        d.w->timer1Tick();
        QVERIFY(!actionOf(d.w, "mnuEditUndo")->isEnabled());
        QVERIFY(!actionOf(d.w, "mnuHiddenUndo")->isEnabled());
        QVERIFY(!d.w->toolbarButton(QStringLiteral("Undo"))->isVisible());
        // With nothing typed since, a tick does not even compare the texts.
        d.record(d.w).RecordUndo("marker");
        d.w->undoTick();
        QCOMPARE(d.snapshot(), QStringLiteral("marker"));
    }

    // Undo in a long document keeps the caret and the view; Redo steps
    // forward through the four levels until the next edit.
    void undoKeepsThePlaceAndRedoes()
    {
        OneDocument d;
        QString text;
        for (int i = 0; i < 5000; ++i)
            text += QStringLiteral("line %1\r\n").arg(i);
        d.box->SetText(text);
        d.w->undoTick();
        QStringList versions{text};
        for (int k = 1; k <= 5; ++k) {
            d.box->SetSelStart(d.box->TextLength());
            d.box->SetSelText(QStringLiteral("edit %1").arg(k));
            d.w->undoTick();
            versions << d.box->Text();
        }
        d.box->SetSelStart(int(text.size()) - 20);
        d.box->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, 4980);
        const long firstLine = d.box->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
        QVERIFY(firstLine > 4000);
        for (int back = 4; back >= 1; --back) {
            d.run("mnuEditUndo");
            QCOMPARE(d.box->Text(), versions[back]);
            QCOMPARE(d.box->SelStart(), int(text.size()) - 20);
            QCOMPARE(d.box->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE), firstLine);
        }
        QVERIFY(!actionOf(d.w, "mnuEditUndo")->isEnabled());
        for (int forward = 2; forward <= 5; ++forward) {
            pressIn(d.w, QKeySequence(forward % 2 ? QStringLiteral("Ctrl+Shift+Z") : QStringLiteral("Ctrl+Y")));
            QCOMPARE(d.box->Text(), versions[forward]);
        }
        d.w->timer1Tick();
        QVERIFY(!actionOf(d.w, "mnuEditRedo")->isEnabled());
        d.run("mnuEditUndo");
        QVERIFY(actionOf(d.w, "mnuEditRedo")->isEnabled());
        QTest::keyClicks(d.box, QStringLiteral("x")); // an edit ends what can be redone
        d.w->timer1Tick();
        QVERIFY(!actionOf(d.w, "mnuEditRedo")->isEnabled());
    }

    // After Undo the caret is where the change was undone, also when the
    // text after it moved (a caret kept as a number drifted into the next
    // lines, or to the end of a short file).
    void undoLeavesTheCaretAtTheChange_data()
    {
        QTest::addColumn<QString>("text"); // "|" marks the caret
        QTest::addColumn<QStringList>("steps"); // typed one second apart
        QTest::addColumn<QList<int>>("carets"); // after each Undo
        QTest::newRow("words typed in a line") << "first |line\r\nlast\r\n"
                                               << QStringList{"one ", "two ", "three ", "four ", "five ", "six ", "seven "}
                                               << QList<int>{34, 30, 25, 20};
        QTest::newRow("characters deleted") << "abcdef|" << QStringList{"\b", "\b", "\b"} << QList<int>{4, 5, 6};
    }

    void undoLeavesTheCaretAtTheChange()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, steps);
        QFETCH(QList<int>, carets);
        OneDocument d;
        d.box->SetText(QString(text).remove(u'|'));
        d.w->undoTick();
        d.box->SetSelStart(int(text.indexOf(u'|')));
        for (const QString &keys : steps) {
            QTest::keyClicks(d.box, keys);
            d.w->undoTick();
        }
        for (int caret : carets) {
            d.run("mnuEditUndo");
            QCOMPARE(d.box->SelStart(), caret);
        }
    }

    // A big text (made small here) is searched after a pause in typing,
    // counted up to the cap beside the window, and marked only on screen.
    void findBarBigText()
    {
        AppFixture app;
        frmDoc *w = app.newDocument();
        RichTextBox *box = editorOf(w);
        FindBar *bar = childOf<FindBar>(w, "fraFind");
        QString text;
        for (int i = 0; i < 2000; ++i)
            text += QStringLiteral("line with a cat\r\n");
        box->SetText(text);
        bar->backgroundFrom = 0;
        bar->countCap = 5;
        bar->open(false);
        QTest::keyClicks(bar->txtFind, QStringLiteral("cat"));
        QCOMPARE(box->SelLength(), 0);
        QTRY_COMPARE(bar->lblFindStatus->text(), QStringLiteral("1 of more than 5 matches"));
        QCOMPARE(box->SelStart(), 12);
        const auto marked = [box](int at) {
            return box->SendScintilla(QsciScintillaBase::SCI_INDICATORALLONFOR, at) & (1 << QsciScintillaBase::INDIC_CONTAINER);
        };
        const int last = int(text.size()) - 5;
        QVERIFY(marked(12) && !marked(last));
        box->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
        QTRY_VERIFY(marked(last));
    }

    // The search keys in the focused editor of the active window of two:
    // the other window's text and bar stay as they were.
    void findReplaceAndGoToLine()
    {
        AppFixture app;
        frmDoc *other = app.newDocument();
        editorOf(other)->SetText(QStringLiteral("cat cat"));
        frmDoc *w = app.newDocument();
        RichTextBox *box = editorOf(w);
        FindBar *bar = childOf<FindBar>(w, "fraFind");
        box->SetText(QStringLiteral("one cat\r\ntwo Cat\r\nthree cat\r\n"));
        w->undoTick();

        pressIn(w, QKeySequence(QStringLiteral("Ctrl+F")));
        QVERIFY(bar->isVisible());
        QVERIFY(!childOf<FindBar>(other, "fraFind")->isVisible());
        QTest::keyClicks(bar->txtFind, QStringLiteral("cat"));
        QCOMPARE(box->SelStart(), 4);
        QCOMPARE(bar->lblFindStatus->text(), QStringLiteral("1 of 3 matches"));
        const auto marked = [box] {
            return box->SendScintilla(QsciScintillaBase::SCI_INDICATORALLONFOR, 14) & (1 << QsciScintillaBase::INDIC_CONTAINER);
        };
        QVERIFY(marked()); // "Cat" on the second line
        pressIn(w, QKeySequence(QStringLiteral("Ctrl+G")));
        QCOMPARE(box->SelStart(), 13);
        pressIn(w, QKeySequence(QStringLiteral("Ctrl+G")));
        pressIn(w, QKeySequence(QStringLiteral("Ctrl+G")));
        QCOMPARE(box->SelStart(), 4);
        QCOMPARE(bar->lblFindStatus->text(), QStringLiteral("1 of 3 matches (wrapped around)"));
        pressIn(w, QKeySequence(QStringLiteral("Ctrl+Shift+G")));
        QCOMPARE(box->SelStart(), 24);
        QCOMPARE(editorOf(other)->SelLength(), 0);

        bar->chkRegex->setChecked(true);
        bar->txtFind->setText(QStringLiteral("c(at"));
        QTest::keyClick(bar->txtFind, Qt::Key_End); // a search runs as the field is edited
        QTest::keyClicks(bar->txtFind, QStringLiteral("["));
        QVERIFY(bar->lblFindStatus->text().startsWith(QStringLiteral("Not a valid regular expression: ")));
        QTest::keyClick(bar->txtFind, Qt::Key_Escape);
        QVERIFY(!bar->isVisible());
        QVERIFY(!marked());
        QTRY_VERIFY(box->hasFocus());

        // Typed just before Replace All: Undo takes back the replacing only.
        box->SetSelStart(box->TextLength());
        box->SetSelText(QStringLiteral("!"));
        pressIn(w, QKeySequence(QStringLiteral("Ctrl+H")));
        QVERIFY(bar->txtReplace->isVisible());
        bar->txtFind->setText(QStringLiteral("(\\w+) cat"));
        bar->chkMatchCase->setChecked(true);
        bar->txtReplace->setText(QStringLiteral("\\1 dog"));
        QTest::keyClick(bar->findChild<QPushButton *>(QStringLiteral("cmdReplaceAll")), Qt::Key_Space);
        QCOMPARE(box->Text(), QStringLiteral("one dog\r\ntwo Cat\r\nthree dog\r\n!"));
        QCOMPARE(bar->lblFindStatus->text(), QStringLiteral("2 matches replaced"));
        QTRY_VERIFY(actionOf(w, "mnuEditUndo")->isEnabled());
        pressIn(w, QKeySequence(QStringLiteral("Ctrl+Z"))); // one step undoes them all
        QCOMPARE(box->Text(), QStringLiteral("one cat\r\ntwo Cat\r\nthree cat\r\n!"));

        // Replace replaces the selected match and moves to the next.
        box->SetSelStart(0);
        QTest::keyClick(bar->findChild<QPushButton *>(QStringLiteral("cmdFindNext")), Qt::Key_Space);
        QTest::keyClick(bar->findChild<QPushButton *>(QStringLiteral("cmdReplace")), Qt::Key_Space);
        QCOMPARE(box->Text(), QStringLiteral("one dog\r\ntwo Cat\r\nthree cat\r\n!"));
        QCOMPARE(box->SelText(), QStringLiteral("three cat"));
        QCOMPARE(editorOf(other)->Text(), QStringLiteral("cat cat"));

        app.dialogs.inputs << QStringLiteral("3") << QStringLiteral("x");
        pressIn(w, QKeySequence(QStringLiteral("Ctrl+J")));
        QCOMPARE(box->caretLine(), 3);
        QCOMPARE(box->SelStart(), 18);
        app.dialogs.answers << Answer::Ok;
        pressIn(w, QKeySequence(QStringLiteral("Ctrl+J")));
        QCOMPARE(app.dialogs.prompted.last().prompt, QStringLiteral("Line number (1 to 4):"));
        QCOMPARE(app.dialogs.asked.last().text, QStringLiteral("\"x\" is not a line number."));
        QCOMPARE(box->caretLine(), 3);
    }

    void clipboardCommands()
    {
        OneDocument d;
        QClipboard *cb = QGuiApplication::clipboard();
        cb->setText(QStringLiteral("untouched"));
        d.box->SetText(QStringLiteral("alpha beta"));
        d.box->SetSelStart(3);
        actionOf(d.w, "mnuEditCut")->trigger();
        actionOf(d.w, "mnuEditCopy")->trigger();
        QCOMPARE(d.box->Text(), QStringLiteral("alpha beta"));
        QCOMPARE(cb->text(), QStringLiteral("untouched"));

        d.select(0, 5);
        d.run("mnuEditCopy");
        QCOMPARE(cb->text(), QStringLiteral("alpha"));
        d.select(5, 5);
        d.run("mnuEditCut");
        QCOMPARE(cb->text(), QStringLiteral(" beta"));
        QCOMPARE(d.box->Text(), QStringLiteral("alpha"));
        d.select(0, 1);
        d.run("mnuEditPaste");
        QCOMPARE(d.box->Text(), QStringLiteral(" betalpha"));

        cb->setText(QStringLiteral("two\nlines"));
        d.box->SetSelStart(0);
        d.run("mnuHiddenPaste");
        QCOMPARE(d.box->Text(), QStringLiteral("two\r\nlines betalpha"));
        QCOMPARE(d.box->SelStart(), 10);

        d.select(0, 3);
        d.w->toolbarButton(QStringLiteral("Delete"))->trigger();
        QCOMPARE(d.box->Text(), QStringLiteral("\r\nlines betalpha"));
    }

    void caseCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("result");
        QTest::newRow("upper, accents") << "mnuSelectionAllLetters" << "élan vital ß" << "ÉLAN VITAL SS";
        QTest::newRow("lower, accents") << "mnuSelectionLowerCase" << "ÇA VA, ÉLÈVE 42" << "ça va, élève 42";
        QTest::newRow("first letters") << "mnuSelectionFirstLetters" << "hELLO wORLD\tnew\r\nline" << "Hello World\tNew\r\nLine";
        QTest::newRow("first letters, accents") << "mnuSelectionFirstLetters" << "ÉCOLE d'été" << "École D'été";
        QTest::newRow("spaces only: nothing") << "mnuSelectionLowerCase" << "   " << "   ";
        QTest::newRow("line break and a letter") << "mnuSelectionAllLetters" << "\r\nb" << "\r\nB";
    }

    void caseCommands()
    {
        QFETCH(QString, command);
        QFETCH(QString, selected);
        QFETCH(QString, result);
        OneDocument d;
        d.box->SetText(QStringLiteral("<") + selected + QStringLiteral(">"));
        d.select(1, int(selected.size()));
        d.record(d.w).setChanged(false);
        d.run(command.toLatin1().constData());
        QCOMPARE(d.box->Text(), QStringLiteral("<") + result + QStringLiteral(">"));
        QCOMPARE(d.record(d.w).Changed(), result != selected);
        if (result != selected) {
            QCOMPARE(d.box->SelLength(), 0);
            QCOMPARE(d.box->SelStart(), 1 + int(result.size()));
        }
    }

    void clearKeepsTheText()
    {
        OneDocument d;
        d.box->SetText(QStringLiteral("keep all"));
        d.select(2, 4);
        d.run("mnuSelectionClear");
        QCOMPARE(d.box->Text(), QStringLiteral("keep all"));
        QCOMPARE(d.box->SelStart(), 2);
        QCOMPARE(d.box->SelLength(), 0);
        QVERIFY(!actionOf(d.w, "mnuSelection")->isEnabled());
    }

    void transfers_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QString>("result");
        QTest::newRow("Move To, left click") << "mnuHiddenMoveTo" << Qt::LeftButton << "one three two ";
        QTest::newRow("Copy To, left click") << "mnuHiddenCopyTo" << Qt::LeftButton << "one two three two ";
        QTest::newRow("Copy To, right click opens the menu") << "mnuHiddenCopyTo" << Qt::RightButton << "one two three two ";
    }

    void transfers()
    {
        QFETCH(QString, command);
        QFETCH(Qt::MouseButton, button);
        QFETCH(QString, result);
        OneDocument d;
        d.box->SetText(QStringLiteral("one two three "));
        d.select(4, 4);
        d.run(command.toLatin1().constData());
        QVERIFY(d.w->transferPending());
        // Typing in between does not drop the carried text.
        d.box->SetSelStart(d.box->TextLength());
        clickAtEnd(d.box, button);
        QVERIFY(!d.w->transferPending());
        QCOMPARE(d.box->Text(), result);
        QCOMPARE(d.w->contextMenu()->isVisible(), button == Qt::RightButton);
        d.w->contextMenu()->hide();
    }

    void characterMode()
    {
        OneDocument d;
        QAction *mode = actionOf(d.w, "mnuCharacterMode");
        mode->trigger();
        QCOMPARE(d.w->panel(5)->text(), QStringLiteral("CCM"));
        d.box->setFocus();
        // The soft hyphen is not printable, but it must go in all the same.
        QTest::keyClicks(d.box, QStringLiteral("c?Ql 1"));
        QTest::keyClick(d.box, Qt::Key_Backspace);
        QTest::keyClick(d.box, Qt::Key_Return);
        QTest::keyClicks(d.box, QStringLiteral("`"));
        const QString typed = QString::fromUtf16(u"\u00A9\u00B5\u00AD \u00CE\r\n\u00F6");
        QCOMPARE(d.box->Text(), typed);
        d.dialogs.fileNames << d.path(QStringLiteral("symbols.txt"));
        d.run("mnuFileSave");
        QCOMPARE(d.readFile(QStringLiteral("symbols.txt")), typed.toUtf8() + "\r\n");
        mode->trigger();
        QCOMPARE(d.w->panel(5)->text(), QString());
        QTest::keyClicks(d.box, QStringLiteral("c"));
        QCOMPARE(d.box->Text(), typed + u'c');
    }

    void printerFailure()
    {
        OneDocument d;
        d.box->SetText(QStringLiteral("unchanged"));
        d.record(d.w).setChanged(false);
        d.printer.failWith = QStringLiteral("No default printer is installed.");
        d.dialogs.answers << Answer::Ok;
        d.w->toolbarButton(QStringLiteral("Print"))->trigger();
        QCOMPARE(d.dialogs.lastText(), QStringLiteral("there was an error in printing your document: No default printer is installed."));
        QCOMPARE(d.dialogs.asked.last().caption, QStringLiteral("Orvane"));
        QCOMPARE(d.dialogs.asked.last().buttons, Dialogs::Buttons::Ok);
        QCOMPARE(d.box->Text(), QStringLiteral("unchanged"));
        QCOMPARE(d.record(d.w).Changed(), false);
    }

    void qtPrinterWithoutAPrinterReportsIt()
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("this machine has a default printer");
        QtPrinter printer;
        QString error;
        QVERIFY(!printer.printText(QStringLiteral("x"), &error));
        QVERIFY(!error.isEmpty());
    }

    void printsExactlyTheChosenTextThroughQt_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QStringList>("printed");
        QTest::addColumn<QStringList>("notPrinted");
        QTest::newRow("only the selection") << Answer::Yes << QStringList{"selected words"}
                                            << QStringList{"Alpha", "Bravo", "Charlie"};
        QTest::newRow("the whole text") << Answer::No << QStringList{"Alpha line", "Bravo selected words", "Charlie line"}
                                        << QStringList{};
    }

    void printsExactlyTheChosenTextThroughQt()
    {
        QFETCH(Answer, answer);
        QFETCH(QStringList, printed);
        QFETCH(QStringList, notPrinted);
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("printed.pdf"));
        OneDocument d(pdf);
        d.box->SetText(QStringLiteral("Alpha line\r\nBravo selected words\r\nCharlie line"));
        d.select(18, 14); // "selected words"
        d.dialogs.answers << answer;
        d.run("mnuFilePrint");
        QCOMPARE(d.dialogs.asked.size(), 1); // the selection question, and no error box
        const QString text = pdfText(pdf);
        int at = -1;
        for (const QString &line : printed) {
            const int found = int(text.indexOf(line));
            QVERIFY2(found > at, qPrintable(text));
            at = found;
        }
        for (const QString &word : notPrinted)
            QVERIFY2(!text.contains(word), qPrintable(text));
    }

    // Print, the preview and the PDF look as the document does: in the code
    // view its fixed-width font and colours. The preview shows what Print
    // would print; the PDF holds the whole text.
    void printedAsShown_data()
    {
        QTest::addColumn<bool>("codeView");
        QTest::newRow("plain") << false;
        QTest::newRow("code view") << true;
    }

    void printedAsShown()
    {
        QFETCH(bool, codeView);
        OneDocument d;
        d.ctx->CodeView = codeView;
        const QString text = QStringLiteral("int main() // Alpha line\r\n{ return \"Bravo selected words\"; }\r\nCharlie line");
        d.w = d.docs().OpenFileByPath(d.writeFile(QStringLiteral("main.cpp"), text.toUtf8()));
        d.box = editorOf(d.w);
        d.select(42, 14); // "selected words"
        d.dialogs.answers << Answer::Yes << Answer::Yes; // only the selection, for Print and the preview
        d.run("mnuFilePrint");
        int pages = 0;
        whenModal("print preview", [&](QWidget *modal) {
            auto *preview = modal->findChild<QPrintPreviewWidget *>();
            QVERIFY(preview);
            preview->updatePreview();
            pages = preview->pageCount();
            qobject_cast<QDialog *>(modal)->reject();
        });
        d.run("mnuFilePrintPreview");
        QCOMPARE(pages, 1);
        QCOMPARE(d.dialogs.asked.size(), 2);
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("doc.pdf"));
        d.dialogs.fileNames << out.filePath(QStringLiteral("doc")); // typed without .pdf
        d.run("mnuFileExportPdf");
        QCOMPARE(d.dialogs.fileInitials.last(), d.path(QStringLiteral("main.pdf")));
        QVERIFY2(pdfText(pdf).contains(QLatin1String("Charlie line")), qPrintable(pdfText(pdf)));

        // Print and the preview are given the same look; the PDF shows it.
        QCOMPARE(d.printer.looks.size(), 2);
        for (const PrintedText &look : d.printer.looks) {
            QCOMPARE(look.text, QStringLiteral("selected words"));
            QCOMPARE(look.font.has_value() && QFontInfo(*look.font).fixedPitch(), codeView);
            int covered = 0;
            for (const PrintedText::Run &run : look.colours)
                covered += run.length;
            QCOMPARE(covered, codeView ? look.text.size() : 0);
        }
        QCOMPARE(hasColour(pdf), codeView);
        QCOMPARE(poppler(QStringLiteral("pdffonts"), {pdf}).contains("Mono"), codeView);

        d.dialogs.fileNames << out.filePath(QStringLiteral("no/such/folder/doc.pdf"));
        d.dialogs.answers << Answer::Ok;
        d.run("mnuFileExportPdf");
        QVERIFY(d.dialogs.lastText().endsWith(QLatin1String("could not be written.")));
    }

    void oneDroppedFile_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("vanishes"); // before the answer: the read fails, Abort
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("windows");
        QTest::newRow("Yes replaces the selection") << Answer::Yes << false << "[dropped\r\nfile\r\n]" << 1;
        QTest::newRow("No opens it") << Answer::No << false << "[selected]" << 2;
        QTest::newRow("vanished, Abort") << Answer::Yes << true << "[selected]" << 1;
    }

    void oneDroppedFile()
    {
        QFETCH(Answer, answer);
        QFETCH(bool, vanishes);
        QFETCH(QString, text);
        QFETCH(int, windows);
        OneDocument d;
        const QString path = d.writeFile(QStringLiteral("drop me.txt"), "dropped\nfile\n");
        d.box->SetText(QStringLiteral("[selected]"));
        d.select(1, 8);
        d.dialogs.answers << answer << Answer::Abort;
        if (vanishes)
            d.dialogs.beforeAnswer = [&] { QFile::remove(path); };
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        QVERIFY(simulateDrop(d.box->viewport(), &mime));
        QTRY_VERIFY(!d.dialogs.asked.isEmpty());
        QCOMPARE(d.dialogs.asked.first().text,
                 QStringLiteral("Would you like to paste the contents of this file \r\n") + path + QStringLiteral("\r\nTo your document?"));
        QCOMPARE(d.dialogs.asked.first().caption, QStringLiteral("Insert As Contents?"));
        QCOMPARE(d.dialogs.asked.first().buttons, Dialogs::Buttons::YesNo);
        if (vanishes) {
            const QStringList lines = d.dialogs.asked.at(1).text.split(QStringLiteral("\r\n"));
            QCOMPARE(lines.size(), 3);
            QCOMPARE(lines[0], QStringLiteral("There was an error in reading your file"));
            QCOMPARE(lines[2], QStringLiteral("What would you like to do"));
        }
        QCOMPARE(d.dialogs.asked.size(), vanishes ? 2 : 1);
        QCOMPARE(d.box->Text(), text);
        QCOMPARE(d.shownDocuments().size(), windows);
        QCOMPARE(d.record(d.w).Title(), QStringLiteral("Untitled")); // the inserted file is not the document's file
    }

    void severalDroppedFilesOpenInOrder()
    {
        OneDocument d;
        QList<QUrl> urls;
        for (const char *name : {"c.txt", "a.txt", "b.txt"})
            urls << QUrl::fromLocalFile(d.writeFile(QString::fromLatin1(name), name));
        QMimeData mime;
        mime.setUrls(urls);
        QVERIFY(simulateDrop(d.box->viewport(), &mime));
        QTRY_COMPARE(d.shownDocuments().size(), 4);
        QCOMPARE(d.dialogs.asked.size(), 0);
        QStringList texts;
        for (frmDoc *w : d.shownDocuments())
            texts << editorOf(w)->Text();
        QCOMPARE(texts, (QStringList{"", "c.txt", "a.txt", "b.txt"}));
    }
};

ORVANE_GUI_TEST_MAIN(TestEditing)
#include "tst_editing.moc"
