// Undo snapshots, the editing and selection commands, Copy To / Move To,
// printing and files dropped on a document.
#include "platform/QtPrinter.h"
#include "support/AppFixture.h"
#include "support/Drops.h"
#include "support/TestEnv.h"

#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPrinterInfo>
#include <QProcess>
#include <QToolBar>
#include <QUrl>

using Answer = Dialogs::Answer;

namespace {

struct OneDocument : AppFixture {
    frmDoc *w = nullptr;
    RichTextBox *box = nullptr;
    explicit OneDocument(const QString &pdfFile = QString())
        : AppFixture({}, {}, pdfFile)
    {
        docs().NewBlankDocument();
        settle();
        w = shownDocuments().first();
        box = w->txtContents;
    }
    void select(int start, int length)
    {
        box->SetSelStart(start);
        box->SetSelLength(length);
    }
    void run(const char *action)
    {
        QAction *a = actionOf(w, action);
        QVERIFY2(a, action);
        settle(); // states are brought up to date on the next turn, as a user sees them
        a->trigger();
        settle();
    }
    QString snapshot() { return QString::fromUtf8(record(w).UndoSnapshot); }
};

// A click of the given button at the end of the text.
void clickAtEnd(RichTextBox *box, Qt::MouseButton button)
{
    box->SetSelStart(box->TextLength());
    const QPoint at = box->viewport()->rect().bottomRight() - QPoint(5, 5);
    QTest::mouseClick(box->viewport(), button, Qt::NoModifier, at);
    AppFixture::settle();
}

QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000))
        return QStringLiteral("<pdftotext failed>");
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestEditing : public QObject
{
    Q_OBJECT

private slots:
    void undoWorkedSequence()
    {
        OneDocument d;
        QCOMPARE(d.snapshot(), QString());
        QList<QPair<QString, QString>> steps = {{"A", ""}, {"B", "A"}, {"C", "B"}};
        for (const auto &step : steps) {
            d.box->SetText(step.first);
            d.w->undoTick();
            QCOMPARE(d.snapshot(), step.second);
        }
        QCOMPARE(QString::fromUtf8(d.record(d.w).UndoLevel1), QStringLiteral("A"));
        AppFixture::settle();
        QVERIFY(actionOf(d.w, "mnuEditUndo")->isEnabled());
        QVERIFY(d.w->toolbarButton(QStringLiteral("Undo"))->isVisible());

        d.record(d.w).Changed = false;
        d.run("mnuEditUndo");
        QCOMPARE(d.box->Text(), QStringLiteral("B"));
        QCOMPARE(d.snapshot(), QStringLiteral("A"));
        QCOMPARE(d.record(d.w).Changed, true);
        QCOMPARE(d.w->panel(QStringLiteral("Status"))->text(), QStringLiteral("Unsaved Changes Made"));
        QCOMPARE(d.w->panel(QStringLiteral("lngth"))->text(), QStringLiteral("Length: 1"));
        d.w->undoTick(); // the undo itself is no edit
        QCOMPARE(d.snapshot(), QStringLiteral("A"));
        d.run("mnuEditUndo");
        QCOMPARE(d.box->Text(), QStringLiteral("A"));
        QCOMPARE(d.snapshot(), QString());
        QVERIFY(!actionOf(d.w, "mnuEditUndo")->isEnabled());
        QVERIFY(!actionOf(d.w, "mnuHiddenUndo")->isEnabled());
        QVERIFY(!d.w->toolbarButton(QStringLiteral("Undo"))->isVisible());
    }

    void undoKeepsFourSteps()
    {
        OneDocument d;
        for (const char *text : {"1", "2", "3", "4", "5", "6"}) {
            d.box->SetText(QString::fromLatin1(text));
            d.w->undoTick();
        }
        QStringList restored;
        AppFixture::settle();
        while (actionOf(d.w, "mnuEditUndo")->isEnabled()) {
            d.run("mnuEditUndo");
            restored << d.box->Text();
        }
        QCOMPARE(restored, (QStringList{"5", "4", "3", "2"}));
    }

    void revertedEditsLeaveNoSnapshot()
    {
        OneDocument d;
        d.box->SetText(QStringLiteral("same"));
        d.w->undoTick();
        d.box->SetText(QStringLiteral("changed"));
        d.box->SetText(QStringLiteral("same"));
        d.w->undoTick();
        QCOMPARE(d.snapshot(), QString());
    }

    void typingAfterUndo()
    {
        OneDocument d;
        for (const char *text : {"A", "B", "C"}) {
            d.box->SetText(QString::fromLatin1(text));
            d.w->undoTick();
        }
        d.run("mnuEditUndo"); // B, snapshot A
        d.box->SetSelStart(1);
        QTest::keyClicks(d.box, QStringLiteral("x"));
        d.w->undoTick();
        QCOMPARE(d.snapshot(), QStringLiteral("B"));
        QCOMPARE(QString::fromUtf8(d.record(d.w).UndoLevel1), QStringLiteral("A"));
    }

    void emptiedDocumentCanBeUndone()
    {
        OneDocument d;
        d.box->SetText(QStringLiteral("precious"));
        d.w->undoTick();
        d.run("mnuEditSelectAll");
        QTest::keyClick(d.box, Qt::Key_Delete);
        d.w->undoTick();
        QCOMPARE(d.snapshot(), QStringLiteral("precious"));
        d.run("mnuEditUndo");
        QCOMPARE(d.box->Text(), QStringLiteral("precious"));
    }

    void everyUndoCommandRestores_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Edit menu") << "menu";
        QTest::newRow("Ctrl+Z") << "key";
        QTest::newRow("toolbar") << "toolbar";
        QTest::newRow("context menu") << "context";
    }

    void everyUndoCommandRestores()
    {
        QFETCH(QString, how);
        OneDocument d;
        d.box->SetText(QStringLiteral("before"));
        d.w->undoTick();
        d.box->SetText(QStringLiteral("after"));
        d.w->undoTick();
        AppFixture::settle();
        if (how == QLatin1String("menu")) {
            d.run("mnuEditUndo");
        } else if (how == QLatin1String("key")) {
            QApplication::setActiveWindow(d.frame);
            d.box->setFocus();
            QTest::keyClick(d.box, Qt::Key_Z, Qt::ControlModifier);
        } else if (how == QLatin1String("toolbar")) {
            d.w->toolbarButton(QStringLiteral("Undo"))->trigger();
        } else {
            d.run("mnuHiddenUndo");
        }
        QCOMPARE(d.box->Text(), QStringLiteral("before"));
    }

    void undoTickSkipsAnUnchangedText()
    {
        OneDocument d;
        d.box->SetText(QStringLiteral("one"));
        d.w->undoTick();
        // Changing the store behind the window's back shows whether a tick
        // compared texts: with nothing typed, it must not.
        d.record(d.w).UndoSnapshot = "marker";
        d.w->undoTick();
        QCOMPARE(d.snapshot(), QStringLiteral("marker"));
    }

    void clipboardCommands()
    {
        OneDocument d;
        QClipboard *cb = QGuiApplication::clipboard();
        cb->setText(QStringLiteral("untouched"));
        d.box->SetText(QStringLiteral("alpha beta"));
        d.box->SetSelStart(3);
        d.run("mnuEditCut");
        d.run("mnuEditCopy");
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

        d.select(0, 3);
        d.w->toolbarButton(QStringLiteral("Delete"))->trigger();
        QCOMPARE(d.box->Text(), QStringLiteral("\r\nlines betalpha"));
        d.box->SetSelStart(2);
        d.w->toolbarButton(QStringLiteral("Delete"))->trigger();
        QCOMPARE(d.box->Text(), QStringLiteral("\r\nlines betalpha"));
    }

    void selectAll()
    {
        OneDocument d;
        d.box->SetText(QStringLiteral("ab\r\ncd"));
        d.run("mnuEditSelectAll");
        QCOMPARE(d.box->SelStart(), 0);
        QCOMPARE(d.box->SelLength(), 6);
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
        QTest::newRow("tab and a letter") << "mnuSelectionLowerCase" << "\tA" << "\ta";
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
        d.record(d.w).Changed = false;
        d.run(command.toLatin1().constData());
        QCOMPARE(d.box->Text(), QStringLiteral("<") + result + QStringLiteral(">"));
        QCOMPARE(d.record(d.w).Changed, result != selected);
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
        AppFixture::settle();
        QVERIFY(actionOf(d.w, "mnuSelection")->isEnabled());
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

    void rightReleaseShowsTheContextMenu()
    {
        OneDocument d;
        d.box->SetText(QStringLiteral("text"));
        QVERIFY(!d.w->contextMenu()->isVisible());
        clickAtEnd(d.box, Qt::RightButton);
        QVERIFY(d.w->contextMenu()->isVisible());
        d.w->contextMenu()->hide();
        QCOMPARE(d.box->Text(), QStringLiteral("text"));
    }

    void printing_data()
    {
        QTest::addColumn<bool>("selection");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QString>("printed");
        QTest::newRow("nothing selected: whole text, no question") << false << QList<Answer>{} << "first line\r\nsecond line";
        QTest::newRow("selection, Yes") << true << QList<Answer>{Answer::Yes} << "second";
        QTest::newRow("selection, No: whole text") << true << QList<Answer>{Answer::No} << "first line\r\nsecond line";
    }

    void printing()
    {
        QFETCH(bool, selection);
        QFETCH(QList<Answer>, answers);
        QFETCH(QString, printed);
        OneDocument d;
        d.box->SetText(QStringLiteral("first line\r\nsecond line"));
        if (selection)
            d.select(12, 6);
        d.dialogs.answers.append(answers);
        d.run("mnuFilePrint");
        QCOMPARE(d.dialogs.asked.size(), answers.size());
        if (!answers.isEmpty()) {
            QCOMPARE(d.dialogs.asked.first().text, QStringLiteral("Do you wish to only print the highlighted text?"));
            QCOMPARE(d.dialogs.asked.first().caption, QStringLiteral("Print your selection?"));
            QCOMPARE(d.dialogs.asked.first().buttons, Dialogs::Buttons::YesNo);
        }
        QCOMPARE(d.printer.printed, QStringList{printed});
    }

    void printerFailure()
    {
        OneDocument d;
        d.box->SetText(QStringLiteral("unchanged"));
        d.record(d.w).Changed = false;
        d.printer.failWith = QStringLiteral("No default printer is installed.");
        d.dialogs.answers << Answer::Ok;
        d.w->toolbarButton(QStringLiteral("Print"))->trigger();
        QCOMPARE(d.dialogs.lastText(), QStringLiteral("there was an error in printing your document: No default printer is installed."));
        QCOMPARE(d.dialogs.asked.last().caption, QStringLiteral("Orvane"));
        QCOMPARE(d.dialogs.asked.last().buttons, Dialogs::Buttons::Ok);
        QCOMPARE(d.box->Text(), QStringLiteral("unchanged"));
        QCOMPARE(d.record(d.w).Changed, false);
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

    void oneDroppedFile_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("vanishes");
        QTest::addColumn<QList<Answer>>("failureAnswers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("windows");
        QTest::newRow("Yes replaces the selection") << Answer::Yes << false << QList<Answer>{} << "[dropped\r\nfile\r\n]" << 1;
        QTest::newRow("No opens it") << Answer::No << false << QList<Answer>{} << "[selected]" << 2;
        QTest::newRow("vanished, Abort") << Answer::Yes << true << QList<Answer>{Answer::Abort} << "[selected]" << 1;
        QTest::newRow("vanished, Ignore asks again") << Answer::Yes << true << QList<Answer>{Answer::Ignore, Answer::Abort}
                                                     << "[selected]" << 1;
    }

    void oneDroppedFile()
    {
        QFETCH(Answer, answer);
        QFETCH(bool, vanishes);
        QFETCH(QList<Answer>, failureAnswers);
        QFETCH(QString, text);
        QFETCH(int, windows);
        OneDocument d;
        const QString path = d.writeFile(QStringLiteral("drop me.txt"), "dropped\nfile\n");
        d.box->SetText(QStringLiteral("[selected]"));
        d.select(1, 8);
        d.dialogs.answers << answer;
        d.dialogs.answers.append(failureAnswers);
        if (vanishes)
            d.dialogs.beforeAnswer = [&] { QFile::remove(path); };
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        QVERIFY(simulateDrop(d.box->viewport(), &mime));
        AppFixture::settle();

        QVERIFY(!d.dialogs.asked.isEmpty());
        QCOMPARE(d.dialogs.asked.first().text,
                 QStringLiteral("Would you like to paste the contents of this file \r\n") + path + QStringLiteral("\r\nTo your document?"));
        QCOMPARE(d.dialogs.asked.first().caption, QStringLiteral("Insert As Contents?"));
        QCOMPARE(d.dialogs.asked.first().buttons, Dialogs::Buttons::YesNo);
        if (vanishes) {
            const QStringList lines = d.dialogs.asked.at(1).text.split(QStringLiteral("\r\n"));
            QCOMPARE(lines.size(), 3);
            QCOMPARE(lines[0], QStringLiteral("There was an error in reading your file"));
            QCOMPARE(lines[2], QStringLiteral("What would you like to do"));
            QCOMPARE(d.dialogs.asked.size(), 1 + failureAnswers.size());
        }
        QCOMPARE(d.box->Text(), text);
        QCOMPARE(d.shownDocuments().size(), windows);
        QCOMPARE(d.record(d.w).Title, QStringLiteral("Untitled")); // the inserted file is not the document's file
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
        AppFixture::settle();
        QCOMPARE(d.dialogs.asked.size(), 0);
        QStringList texts;
        for (frmDoc *w : d.shownDocuments())
            texts << w->txtContents->Text();
        QCOMPARE(texts, (QStringList{"", "c.txt", "a.txt", "b.txt"}));
    }
};

ORVANE_GUI_TEST_MAIN(TestEditing)
#include "tst_editing.moc"
