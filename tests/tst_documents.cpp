// Documents: slots and windows, reading and writing files, the failure
// questions, the save prompt, change tracking and the status bar.
#include "core/RecentList.h"
#include "support/AppFixture.h"
#include "document/FindBar.h"
#include "ui/StatusPanel.h"
#include "support/Modal.h"

#include <QDialog>
#include <QMetaEnum>
#include <QStringEncoder>

#include <Qsci/qscilexer.h>
#include <QDir>
#include <QMenu>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QPushButton>
#include <QToolBar>
#include <cstdio>
#include <sys/stat.h>

using Answer = Dialogs::Answer;

namespace {

const QString kWhatNow = QStringLiteral("Would would you like to do");

QString status(frmDoc *w, const char *key)
{
    return w->panel(QString::fromLatin1(key))->text();
}

void type(frmDoc *w, const QString &text)
{
    editorOf(w)->setFocus();
    QTest::keyClicks(editorOf(w), text);
}

} // namespace

class TestDocuments : public QObject
{
    Q_OBJECT

private slots:
    void windowsStayWithTheirSlots()
    {
        AppFixture app;
        for (int i = 0; i < 3; ++i)
            app.newDocument();
        const QList<frmDoc *> docs = app.shownDocuments();
        QCOMPARE(docs[2]->subWindow()->windowTitle(), QStringLiteral("Untitled"));

        // The close box unloads: the slot's next document gets a new window.
        QPointer<frmDoc> second = docs[1];
        QVERIFY(second->subWindow()->close());
        QTRY_VERIFY(!second);
        frmDoc *again = app.newDocument();
        QCOMPARE(again, app.docs().window(2));
        QCOMPARE(app.docs().DocumentCount(), 3);

        // File > Close only hides: the same window comes back, emptied and
        // showing "Status" until the next second, not "Unsaved Changes Made".
        editorOf(again)->SetText(QStringLiteral("old text"));
        again->timer2Tick();
        app.dialogs.answers << Answer::No;
        actionOf(again, "mnuFileClose")->trigger();
        QVERIFY(!again->subWindow()->isVisible());
        QCOMPARE(app.record(again).InUse(), false);
        QCOMPARE(app.newDocument(), again);
        QVERIFY(again->subWindow()->isVisible());
        QCOMPARE(editorOf(again)->Text(), QString());
        QCOMPARE(app.record(again).Changed(), false);
        QCOMPARE(status(again, "Status"), QStringLiteral("Status"));
        again->timer2Tick();
        QCOMPARE(status(again, "Status"), QStringLiteral("Document is clean"));
    }

    void openAndSaveByteFormats_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("text");
        QTest::newRow("LF-only script") << QByteArray("#!/bin/sh\necho hi\n") << QStringLiteral("#!/bin/sh\r\necho hi");
        QTest::newRow("mixed, ending in a lone LF") << QByteArray("line1\nline2\r\nline3\n")
                                                    << QStringLiteral("line1\nline2\r\nline3");
        QTest::newRow("UTF-16 LE with an emoji") << QByteArray("\xFF\xFE" "a\0\r\0\n\0\x3D\xD8\x00\xDE\r\0\n\0", 14)
                                                 << QString::fromUtf16(u"a\r\n\U0001F600");
        QTest::newRow("not text") << QByteArray("\x00\xFF\xFE\x01\r\n\x00\x80\r\n", 10)
                                  << QString::fromLatin1("\x00\xFF\xFE\x01\r\n\x00", 7) + QChar(0x20AC);
    }

    // Opened and saved unchanged, every file keeps its bytes.
    void openAndSaveByteFormats()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, text);
        AppFixture app;
        const QString path = app.writeFile(QStringLiteral("doc.txt"), file);
        frmDoc *w = app.docs().OpenFileByPath(path);
        QVERIFY(w);
        QCOMPARE(editorOf(w)->Text(), text);
        QCOMPARE(status(w, "lngth"), QStringLiteral("Length: %1").arg(text.size())); // UTF-16 units: an emoji is 2
        QCOMPARE(app.record(w).Changed(), false);
        QCOMPARE(app.record(w).Title(), path);
        QTRY_COMPARE(w->subWindow()->windowTitle(), path);
        QVERIFY(w->panel(QStringLiteral("Status"))->toolTip().endsWith(TextFileCodec::describe(app.record(w).Format())));
        QCOMPARE(RecentList::entries(app.ctx->settings), QStringList{path});

        QVERIFY(QFile::remove(path));
        actionOf(w, "mnuFileSave")->trigger();
        QCOMPARE(app.readFile(path), file);
        QCOMPARE(app.dialogs.asked.size(), 0);
    }

    void saveBinaryWritesOnlyTheText()
    {
        AppFixture app;
        const QString path = app.writeFile(QStringLiteral("ten.txt"), QByteArray(10, 'x'));
        frmDoc *w = app.newDocument();
        editorOf(w)->SetText(QStringLiteral("abc"));
        app.dialogs.fileNames << path;
        actionOf(w, "mnuFileSaveBinary")->trigger();
        QCOMPARE(app.readFile(path), QByteArray("abc"));
        QCOMPARE(app.record(w).FilePath(), path);
        QCOMPARE(app.record(w).Changed(), false);
        // After a binary save, Save writes the same file with its line break.
        actionOf(w, "mnuFileSave")->trigger();
        QCOMPARE(app.readFile(path), QByteArray("abc\r\n"));
        // The one file dialog starts with the name chosen last; cancelling
        // it changes nothing.
        type(w, QStringLiteral("x"));
        actionOf(w, "mnuFileSaveAs")->trigger();
        QCOMPARE(app.dialogs.fileInitials.last(), path);
        QCOMPARE(app.record(w).Changed(), true);
        QCOMPARE(app.readFile(path), QByteArray("abc\r\n"));
        actionOf(w, "mnuFileOpen")->trigger();
        QCOMPARE(app.shownDocuments().size(), 1);

        app.record(w).setFilePath(QStringLiteral("   "));
        app.dialogs.answers << Answer::Ok;
        QVERIFY(!app.docs().SaveDocument(w->slot()));
        QCOMPARE(app.dialogs.lastText(), QStringLiteral("Error: No File"));
    }

    void readFailureQuestions_data()
    {
        QTest::addColumn<QString>("target"); // relative to the test directory
        QTest::addColumn<bool>("withDialog");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<bool>("createBeforeRetry");
        QTest::addColumn<QString>("firstLine");
        QTest::addColumn<QString>("description");
        using L = QList<Answer>;
        const QString plain = QStringLiteral("There was an error in reading your file");
        QTest::newRow("missing, Abort") << "nothing.txt" << false << L{Answer::Abort} << false << plain << "File not found";
        QTest::newRow("missing, Retry after it appears") << "later.txt" << false << L{Answer::Retry} << true << plain << "";
        QTest::newRow("missing, Ignore asks again") << "nothing.txt" << false << L{Answer::Ignore, Answer::Ignore, Answer::Abort}
                                                    << false << plain << "";
        QTest::newRow("missing folder, through the dialog") << "no/dir/x.txt" << true << L{Answer::Abort} << false
                                                            << QStringLiteral("76> ") + plain << "Path not found";
        QTest::newRow("a named pipe does not hang") << "fifo" << false << L{Answer::Abort} << false << plain
                                                    << "not a regular file";
        QTest::newRow("3 GB (sparse): too big for the editor") << "huge" << false << L{Answer::Abort} << false << plain
                                                               << "too big for the editor (3.0 GB; it holds at most 2.0 GB)";
    }

    // A line too long to lay out is shown cut, read-only, and every byte of
    // it is still what Save and Save As write.
    void tooLongLinesAreCutNotLost()
    {
        AppFixture app;
        QByteArray line(DocumentManager::kLongLine + 1000, 'x');
        line[DocumentManager::kShownOfLongLine] = 'Y'; // past what is shown
        const QByteArray raw = "short\n" + line + "\nend\n";
        frmDoc *w = app.docs().OpenFileByPath(app.writeFile(QStringLiteral("min.js"), raw));
        QVERIFY(w);
        QTRY_VERIFY(!app.record(w).Loading()); // a big file: read in the background
        QVERIFY(childOf<QLabel>(w, "lblCutNotice")->isVisibleTo(w));
        QVERIFY(editorOf(w)->isReadOnly());
        const QString shown = editorOf(w)->Text();
        QVERIFY(shown.size() < DocumentManager::kShownOfLongLine + 100);
        QVERIFY(shown.startsWith(QStringLiteral("short\r\nxxx")));
        QVERIFY(shown.endsWith(QStringLiteral(" more bytes of this line are not shown]\r\nend")));
        QVERIFY(!shown.contains(u'Y'));
        actionOf(w, "mnuSearchReplace")->trigger();
        childOf<FindBar>(w, "fraFind")->txtFind->setText(QStringLiteral("x"));
        childOf<FindBar>(w, "fraFind")->replaceAll();
        QCOMPARE(childOf<FindBar>(w, "fraFind")->lblFindStatus->text(), QStringLiteral("The document is read-only: nothing was replaced"));
        QCOMPARE(editorOf(w)->Text(), shown);
        app.writeFile(QStringLiteral("min.js"), "changed\n"); // Save must write the held bytes
        app.dialogs.answers << Answer::Yes; // overwrite the other program's change
        actionOf(w, "mnuFileSave")->trigger();
        QCOMPARE(app.readFile(QStringLiteral("min.js")), raw);
        app.dialogs.fileNames << app.path(QStringLiteral("copy.js"));
        actionOf(w, "mnuFileSaveAs")->trigger();
        QCOMPARE(app.readFile(QStringLiteral("copy.js")), raw);
        // The window, reused for a new document, is an ordinary one again.
        app.dialogs.answers << Answer::No;
        actionOf(w, "mnuFileClose")->trigger();
        frmDoc *again = app.newDocument();
        QCOMPARE(again, w);
        QVERIFY(!editorOf(w)->isReadOnly());
        QVERIFY(!childOf<QLabel>(w, "lblCutNotice")->isVisibleTo(w));
    }

    // A big file is read and built into a document while the window goes on
    // answering: its window comes at once, marked as loading; edits wait;
    // the whole text comes in with its progress shown; a place asked for
    // meanwhile is taken when the text is in. Closing it midway stops the
    // load, and the frame can close while one runs.
    void bigFilesLoadInTheBackground()
    {
        AppFixture app;
        app.ctx->backgroundLoadFrom = 64 * 1024;
        QByteArray lines;
        for (int i = 1; lines.size() < 200 * 1024; ++i)
            lines += "<div>\xC3\xA9 line " + QByteArray::number(i) + "</div>\n"; // é: UTF-16 offsets differ from bytes
        const QString path = app.writeFile(QStringLiteral("big.html"), lines);
        QList<int> percents;
        QStringList texts;
        connect(&app.docs(), &DocumentManager::loadProgress, this, [&](const QString &text, int percent) {
            percents << percent;
            texts << text;
        });
        frmDoc *w = app.docs().OpenFileByPath(path);
        QVERIFY(w && app.record(w).Loading());
        QCOMPARE(w->panel(QStringLiteral("Status"))->text(), QStringLiteral("Loading\u2026"));
        w->selectAt(1000, 7, 8);
        actionOf(w, "mnuToolsInsertText")->trigger(); // waits: nothing opens
        QVERIFY(!app.ctx->windows.find<QWidget>(QStringLiteral("frmInserts")));
        QTRY_VERIFY(!app.record(w).Loading());
        QCOMPARE(editorOf(w)->textBytes(), QByteArray(lines).replace("\n", "\r\n").chopped(2));
        QCOMPARE(editorOf(w)->SelText(), QStringLiteral("line 100"));
        QCOMPARE(editorOf(w)->SelStart(), editorOf(w)->Text().indexOf(QStringLiteral("\u00E9 line 1000<")) + 2);
        QVERIFY(!app.record(w).Changed() && !editorOf(w)->isReadOnly());
        QCOMPARE(w->panel(QStringLiteral("lngth"))->text(), QStringLiteral("Length: %1").arg(editorOf(w)->TextLength()));
        QCOMPARE(w->panel(QStringLiteral("Status"))->text(), QStringLiteral("Document is clean"));
        QCOMPARE(percents.last(), -1);
        QVERIFY(std::is_sorted(percents.cbegin(), percents.cend() - 1));
        QVERIFY(texts.first().endsWith(QLatin1String(" big.html")));
        // The first edit is one undo step back to the file's text.
        editorOf(w)->SetSelText(QStringLiteral("x"));
        w->undoTick();
        w->Undo();
        QCOMPARE(editorOf(w)->textBytes(), QByteArray(lines).replace("\n", "\r\n").chopped(2));
        // Read again in an encoding the bytes are not: refused, and the
        // window takes edits again with its text as it was.
        app.dialogs.answers << Answer::Yes << Answer::Ok; // the undone edit is given up
        QVERIFY(!app.docs().ReopenWithEncoding(w->slot(), TextFileCodec::Encoding::Utf32Le, {}));
        QVERIFY(app.record(w).Loading() && editorOf(w)->isReadOnly());
        QTRY_VERIFY(!app.record(w).Loading());
        QVERIFY(app.dialogs.lastText().contains(QLatin1String("is not text in UTF-32 LE")));
        QVERIFY(!editorOf(w)->isReadOnly());
        QCOMPARE(editorOf(w)->textBytes(), QByteArray(lines).replace("\n", "\r\n").chopped(2));

        // Closed while it loads: the next document of its slot gets nothing of it.
        frmDoc *second = app.docs().OpenFileByPath(path);
        QVERIFY(app.record(second).Loading());
        actionOf(second, "mnuFileClose")->trigger();
        QCOMPARE(percents.last(), -1); // no progress left showing
        QCOMPARE(app.newDocument(), second);
        QTest::qWait(50);
        QCOMPARE(editorOf(second)->Text(), QString());
        QVERIFY(!app.record(second).Loading());
        app.docs().OpenFileByPath(path); // still loading when the frame goes
    }

    // A big file's text comes in whole whatever its shape: read as it goes
    // when it is plain UTF-8 (begun again when it is not ASCII after all),
    // read whole when it is not; either way its offsets count UTF-16 units
    // and the first edit is undone back to the file's text.
    void bigFileShapes_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QByteArray ascii;
        for (int i = 1; ascii.size() < 200 * 1024; ++i)
            ascii += "<p>line " + QByteArray::number(i) + "</p>\n";
        QTest::newRow("ASCII") << ascii;
        QTest::newRow("CR LF") << QByteArray(ascii).replace("\n", "\r\n");
        QTest::newRow("lone CR") << QByteArray(ascii).replace('\n', '\r');
        QTest::newRow("not ASCII from the start") << "\xC3\xA9 " + ascii;
        QTest::newRow("not ASCII late") << ascii + "\xF0\x9F\x98\x80 \xC3\xA9\n" + ascii;
        QTest::newRow("Windows-1252 late") << ascii + "caf\xE9\n";
        QTest::newRow("breaks mixed late") << ascii + "a\r\nb\n";
    }

    void bigFileShapes()
    {
        QFETCH(QByteArray, raw);
        AppFixture app;
        app.ctx->backgroundLoadFrom = 64 * 1024;
        frmDoc *w = app.docs().OpenFileByPath(app.writeFile(QStringLiteral("big.html"), raw));
        QVERIFY(w && app.record(w).Loading());
        QTRY_VERIFY(!app.record(w).Loading());
        const TextFileCodec::Decoded expected = TextFileCodec::decode(raw);
        QCOMPARE(editorOf(w)->textBytes(), expected.text);
        QCOMPARE(app.record(w).Format(), expected.format);
        const QString text = editorOf(w)->Text();
        QCOMPARE(editorOf(w)->TextLength(), int(text.size()));
        editorOf(w)->SetSelStart(int(text.size()) - 10);
        QCOMPARE(editorOf(w)->SelStart(), int(text.size()) - 10);
        QVERIFY(!app.record(w).Changed());
        editorOf(w)->SetSelText(QStringLiteral("\u00E9"));
        w->undoTick();
        w->Undo();
        QCOMPARE(editorOf(w)->textBytes(), expected.text);
    }

    // The text a file was read with is taken for the undo history at the
    // first edit, also when there is none (an empty text is no undo step).
    void firstEditOfAnEmptyFile()
    {
        AppFixture app;
        frmDoc *w = app.docs().OpenFileByPath(app.writeFile(QStringLiteral("empty.txt"), QByteArray()));
        QVERIFY(w);
        editorOf(w)->SetSelText(QStringLiteral("x"));
        w->undoTick();
        editorOf(w)->SetSelText(QStringLiteral("y"));
        w->undoTick();
        w->Undo();
        QCOMPARE(editorOf(w)->textBytes(), QByteArray("x"));
    }

    void readFailureQuestions()
    {
        QFETCH(QString, target);
        QFETCH(bool, withDialog);
        QFETCH(QList<Answer>, answers);
        QFETCH(bool, createBeforeRetry);
        QFETCH(QString, firstLine);
        QFETCH(QString, description);
        AppFixture app;
        ::mkfifo(QFile::encodeName(app.path(QStringLiteral("fifo"))).constData(), 0600);
        QFile huge(app.path(QStringLiteral("huge")));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(3) << 30));
        huge.close();
        app.dialogs.answers.append(answers);
        if (createBeforeRetry)
            app.dialogs.beforeAnswer = [&] { app.writeFile(target, "arrived\r\n"); };
        if (withDialog) {
            app.dialogs.fileNames << app.path(target);
            app.docs().OpenFileWithDialog();
        } else {
            app.docs().OpenFileByPath(app.path(target));
        }
        QCOMPARE(app.dialogs.asked.size(), answers.size());
        const QStringList lines = app.dialogs.asked.first().text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], firstLine);
        QVERIFY2(!lines[1].isEmpty() && lines[1].contains(description), qPrintable(lines[1]));
        QCOMPARE(lines[2], kWhatNow);
        QCOMPARE(app.dialogs.asked.first().buttons, Dialogs::Buttons::AbortRetryIgnore);
        QCOMPARE(app.dialogs.asked.first().caption, QStringLiteral("Orvane"));
        QCOMPARE(app.shownDocuments().size(), createBeforeRetry ? 1 : 0);
        QCOMPARE(RecentList::entries(app.ctx->settings).size(), createBeforeRetry ? 1 : 0);
    }

    // The fixture does not ignore SIGXFSZ: start-up must, or a save past
    // the file-size limit kills this test.
    void writeFailureQuestions_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<int>("size");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<bool>("written");
        using L = QList<Answer>;
        QTest::newRow("missing folder, Ignore") << "missing folder" << 10 << L{Answer::Ignore} << false;
        QTest::newRow("missing folder, Retry after it appears") << "missing folder" << 10 << L{Answer::Retry} << true;
        QTest::newRow("directory in its place, Abort") << "directory" << 10 << L{Answer::Abort} << false;
        QTest::newRow("full disk, 5,000 bytes (buffered), Retry then Abort") << "full disk" << 5000
                                                                             << L{Answer::Retry, Answer::Abort} << false;
        QTest::newRow("full disk, 20,000 bytes, Ignore") << "full disk" << 20000 << L{Answer::Ignore} << false;
    }

    void writeFailureQuestions()
    {
        QFETCH(QString, failure);
        QFETCH(int, size);
        QFETCH(QList<Answer>, answers);
        QFETCH(bool, written);
        AppFixture app;
        const QByteArray old("old file\r\n");
        const QString existing = app.writeFile(QStringLiteral("old.txt"), old);
        frmDoc *w = app.docs().OpenFileByPath(existing);
        QVERIFY(w);
        const QString text(size - 2, QLatin1Char('n'));
        editorOf(w)->SetText(text);
        QString target = existing;
        if (failure == QLatin1String("missing folder")) {
            target = app.path(QStringLiteral("later/out.txt"));
            app.dialogs.beforeAnswer = [&] { QDir(app.dir.path()).mkdir(QStringLiteral("later")); };
        } else if (failure == QLatin1String("directory")) {
            target = app.path(QStringLiteral("adir"));
            QDir(app.dir.path()).mkdir(QStringLiteral("adir"));
        }
        app.record(w).setFilePath(target);
        app.dialogs.answers.append(answers);
        bool ok = false;
        {
            FileSizeLimit full(failure == QLatin1String("full disk") ? 1000 : RLIM_INFINITY);
            ok = app.docs().SaveDocument(w->slot());
        }
        QCOMPARE(ok, written);
        QCOMPARE(app.dialogs.asked.size(), answers.size());
        const QStringList lines = app.dialogs.asked.first().text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.first(), QStringLiteral("There was an error in saving to the file. "));
        QCOMPARE(lines.last(), kWhatNow);
        QCOMPARE(app.record(w).Changed(), !written);
        QCOMPARE(RecentList::entries(app.ctx->settings).size(), written ? 2 : 1);
        QCOMPARE(app.readFile(existing), old);
        if (written)
            QCOMPARE(app.readFile(target), text.toUtf8() + "\r\n");
    }

    // Another program writes, replaces (by rename) or removes an open file.
    void filesChangedByOtherPrograms_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("unsaved");
        for (const char *how : {"write", "rename", "remove"}) {
            QTest::addRow("%s", how) << QString::fromLatin1(how) << false;
            QTest::addRow("%s, with unsaved changes", how) << QString::fromLatin1(how) << true;
        }
    }

    void filesChangedByOtherPrograms()
    {
        QFETCH(QString, how);
        QFETCH(bool, unsaved);
        AppFixture app;
        const QString path = app.writeFile(QStringLiteral("page.html"), "mine\n");
        frmDoc *w = app.docs().OpenFileByPath(path);
        if (unsaved)
            type(w, QStringLiteral("x"));
        if (how == QLatin1String("write")) {
            QVERIFY(writeBytes(path, "theirs\n"));
        } else if (how == QLatin1String("rename")) {
            app.writeFile(QStringLiteral("page.html.new"), "theirs\n");
            QCOMPARE(::rename(QFile::encodeName(path + QStringLiteral(".new")).constData(), QFile::encodeName(path).constData()), 0);
        } else {
            QVERIFY(QFile::remove(path));
        }
        QTRY_VERIFY(childOf<QFrame>(w, "fraDiskNotice")->isVisible());
        const bool removed = how == QLatin1String("remove");
        QCOMPARE(childOf<QLabel>(w, "lblDiskNotice")->text(), removed ? QStringLiteral("Another program has removed this file. Save writes it again.")
                                           : unsaved ? QStringLiteral("Another program has changed this file, and this document has unsaved changes too.")
                                                     : QStringLiteral("Another program has changed this file."));
        auto *reload = childOf<QFrame>(w, "fraDiskNotice")->findChild<QPushButton *>(QStringLiteral("cmdReload"));
        QCOMPARE(reload->isVisibleTo(w), !removed);
        if (removed) {
            pressIn(w, QKeySequence(QStringLiteral("Ctrl+S"))); // written again, nothing asked
            QCOMPARE(app.readFile(path), unsaved ? QByteArray("xmine\n") : QByteArray("mine\n"));
        } else {
            reload->click();
            QCOMPARE(editorOf(w)->Text(), QStringLiteral("theirs"));
            QCOMPARE(app.record(w).Changed(), false);
        }
        QVERIFY(!childOf<QFrame>(w, "fraDiskNotice")->isVisible());
    }

    // A name relative to the current folder is kept whole: the recent list
    // must still find it from another folder.
    void relativeNamesAreStoredWhole()
    {
        AppFixture app;
        const QString path = app.writeFile(QStringLiteral("index.html"), "x");
        QVERIFY(QDir().mkdir(app.path(QStringLiteral("sub"))) && QDir::setCurrent(app.path(QStringLiteral("sub"))));
        frmDoc *w = app.docs().OpenFileByPath(QStringLiteral("../index.html"));
        QVERIFY(w);
        QCOMPARE(app.record(w).FilePath(), path);
        QCOMPARE(RecentList::entries(app.ctx->settings).first(), path);
    }

    void savingOverAnotherProgramsChangeAsks()
    {
        AppFixture app;
        const QString path = app.writeFile(QStringLiteral("page.html"), "mine\n");
        frmDoc *w = app.docs().OpenFileByPath(path);
        type(w, QStringLiteral("x"));
        QVERIFY(writeBytes(path, "theirs\n"));
        app.dialogs.answers << Answer::Cancel;
        pressIn(w, QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(app.dialogs.asked.last().buttons, Dialogs::Buttons::OverwriteCancel);
        QCOMPARE(app.readFile(path), QByteArray("theirs\n"));
        QCOMPARE(app.record(w).Changed(), true);
        app.dialogs.answers << Answer::Yes;
        pressIn(w, QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(app.readFile(path), QByteArray("xmine\n"));
        pressIn(w, QKeySequence(QStringLiteral("Ctrl+S"))); // its own write asks nothing
        QCOMPARE(app.dialogs.asked.size(), 2);

        // Another program adds a line while the save is being written:
        // nothing is replaced and the same question is asked.
        type(w, QStringLiteral("y"));
        FileIO::setBeforeReplaceHook([](const QString &target) {
            QFile f(target);
            QVERIFY(f.open(QIODevice::Append) && f.write("during\n") == 7);
        });
        app.dialogs.answers << Answer::Cancel;
        pressIn(w, QKeySequence(QStringLiteral("Ctrl+S")));
        FileIO::setBeforeReplaceHook({});
        QCOMPARE(app.dialogs.asked.size(), 3);
        QCOMPARE(app.dialogs.asked.last().buttons, Dialogs::Buttons::OverwriteCancel);
        QCOMPARE(app.readFile(path), QByteArray("xmine\nduring\n"));
        QCOMPARE(QDir(app.dir.path()).entryList({QStringLiteral("page.html.*")}, QDir::Files | QDir::Hidden), QStringList());
        QCOMPARE(app.record(w).Changed(), true);
        // Changed again while the question is open: Overwrite agreed to
        // what the user saw, so the new change is asked about too.
        app.dialogs.beforeAnswer = [&] {
            QFile f(path);
            QVERIFY(f.open(QIODevice::Append) && f.write("while asked\n") == 12);
            app.dialogs.beforeAnswer = {};
        };
        app.dialogs.answers << Answer::Yes << Answer::Cancel;
        pressIn(w, QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(app.dialogs.asked.size(), 5);
        QCOMPARE(app.readFile(path), QByteArray("xmine\nduring\nwhile asked\n"));
        app.dialogs.answers << Answer::Yes;
        pressIn(w, QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(app.readFile(path), QByteArray("xymine\n"));
    }

    void savePromptOnClose_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("hasPath");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QString>("saveAsName"); // "" cancels the dialog
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("fileWritten");
        using L = QList<Answer>;
        QTest::newRow("unchanged: no question") << false << true << L{} << "" << true << false;
        QTest::newRow("Cancel keeps it open") << true << true << L{Answer::Cancel} << "" << false << false;
        QTest::newRow("No closes unsaved") << true << true << L{Answer::No} << "" << true << false;
        QTest::newRow("Yes saves and closes") << true << true << L{Answer::Yes} << "" << true << true;
        QTest::newRow("Yes on untitled asks a name") << true << false << L{Answer::Yes} << "named.txt" << true << true;
        QTest::newRow("Yes, name dialog cancelled: stays open") << true << false << L{Answer::Yes} << "" << false << false;
        QTest::newRow("Yes, save fails and is abandoned: stays open") << true << true << L{Answer::Yes, Answer::Abort} << ""
                                                                       << false << false;
    }

    void savePromptOnClose()
    {
        QFETCH(bool, changed);
        QFETCH(bool, hasPath);
        QFETCH(QList<Answer>, answers);
        QFETCH(QString, saveAsName);
        QFETCH(bool, closed);
        QFETCH(bool, fileWritten);
        AppFixture app;
        frmDoc *w = app.newDocument();
        editorOf(w)->SetText(QStringLiteral("work"));
        app.record(w).setChanged(changed);
        const QString target = app.path(answers.size() == 2 ? QStringLiteral("gone/x.txt") : QStringLiteral("doc.txt"));
        if (hasPath)
            app.record(w).setFilePath(target);
        if (!saveAsName.isEmpty())
            app.dialogs.fileNames << app.path(saveAsName);
        app.dialogs.answers.append(answers);

        QCOMPARE(w->CloseDocument(), !closed);
        QCOMPARE(app.dialogs.asked.size(), answers.size());
        if (!answers.isEmpty()) {
            QCOMPARE(app.dialogs.asked.first().text,
                     QStringLiteral("Would you like to save the changes you may have made to your work?"));
            QCOMPARE(app.dialogs.asked.first().buttons, Dialogs::Buttons::YesNoCancel);
        }
        QCOMPARE(w->subWindow()->isVisible(), !closed);
        QCOMPARE(app.record(w).InUse(), !closed);
        QCOMPARE(QFile::exists(saveAsName.isEmpty() ? target : app.path(saveAsName)), fileWritten);
        QCOMPARE(editorOf(w)->Text(), QStringLiteral("work"));
    }

    void closingTheFrame()
    {
        AppFixture app;
        frmDoc *hidden = app.newDocument();
        frmDoc *kept = app.newDocument();
        type(hidden, QStringLiteral("unsaved"));
        app.dialogs.answers << Answer::No;
        actionOf(hidden, "mnuFileClose")->trigger();
        type(kept, QStringLiteral("keep me"));
        // One Cancel keeps the frame; the window File > Close hid is not asked about again.
        app.dialogs.answers << Answer::Cancel;
        QVERIFY(!app.frame->close());
        QCOMPARE(app.dialogs.asked.size(), 2);
        QCOMPARE(editorOf(kept)->Text(), QStringLiteral("keep me"));
        // File > Exit closes only its own window.
        app.dialogs.answers << Answer::No;
        actionOf(kept, "mnuFileExit")->trigger();
        QTRY_COMPARE(app.shownDocuments().size(), 0);
        QVERIFY(app.frame->isVisible());
        QVERIFY(app.frame->close());
        QCOMPARE(app.dialogs.asked.size(), 3);
        app.frame = nullptr; // deleted on close
    }

    // A new document window never reaches past the area, however large the
    // screen's scale makes it: shrunk to fit, cascading from the top-left.
    void windowsStayInsideTheArea_data()
    {
        QTest::addColumn<bool>("fromCommandLine"); // made while the frame is hidden
        QTest::addColumn<bool>("cascade");
        QTest::newRow("new documents") << false << false;
        QTest::newRow("named at start-up") << true << false;
        QTest::newRow("cascaded") << false << true;
    }

    void windowsStayInsideTheArea()
    {
        QFETCH(bool, fromCommandLine);
        QFETCH(bool, cascade);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("a.txt"));
        QVERIFY(writeBytes(file, "a"));
        AppFixture app(fromCommandLine ? QStringList{file} : QStringList());
        const QRect room = app.frame->mdiArea()->viewport()->rect();
        for (int i = fromCommandLine ? 1 : 0; i < 3; ++i)
            app.newDocument();
        const QList<frmDoc *> docs = app.shownDocuments();
        QVERIFY(room.width() < docs[0]->sizeHint().width());
        if (cascade) {
            QMenu *windows = documentMenus(docs[0])->findChild<QMenu *>(QStringLiteral("mnuViewWindows"));
            QMetaObject::invokeMethod(windows, "aboutToShow");
            actionOf(windows, "mnuWindowsCascade")->trigger();
        }
        QTRY_COMPARE(docs[0]->subWindow()->pos(), QPoint(0, 0));
        for (frmDoc *w : docs)
            QVERIFY2(room.contains(w->subWindow()->geometry()), qPrintable(w->Tag()));
    }

    void windowList()
    {
        AppFixture app;
        frmDoc *first = app.newDocument();
        frmDoc *second = app.newDocument();
        type(second, QStringLiteral("changed"));
        QMenu *windows = documentMenus(second)->findChild<QMenu *>(QStringLiteral("mnuViewWindows"));
        QMetaObject::invokeMethod(windows, "aboutToShow");
        actionOf(windows, "mnuWindowsTile")->trigger();
        QVERIFY(!first->subWindow()->geometry().intersects(second->subWindow()->geometry()));
        app.dialogs.answers << Answer::Cancel;
        actionOf(windows, "mnuWindowsCloseAll")->trigger(); // the changed one cancels
        QTRY_COMPARE(app.shownDocuments(), QList<frmDoc *>{second});
        app.dialogs.answers << Answer::No;
        QMetaObject::invokeMethod(windows, "aboutToShow");
        actionOf(windows, "mnuWindowsCloseAll")->trigger();
        QTRY_COMPARE(app.shownDocuments().size(), 0);
        QCOMPARE(app.dialogs.asked.size(), 2);
    }

    void statusTexts()
    {
        AppFixture app;
        frmDoc *w = app.newDocument();
        QCOMPARE(status(w, "lngth"), QStringLiteral("Length: 0"));
        QCOMPARE(status(w, "Status"), QStringLiteral("Status"));
        w->timer2Tick();
        QCOMPARE(status(w, "Status"), QStringLiteral("Document is clean"));

        // Typing shows the length, the change and the caret at once.
        type(w, QStringLiteral("a"));
        QCOMPARE(status(w, "lngth"), QStringLiteral("Length: 1"));
        QCOMPARE(status(w, "Status"), QStringLiteral("Unsaved Changes Made"));
        QCOMPARE(status(w, "sllen"), QStringLiteral("Loc: 1 Len: 0"));
        QTest::keyClick(editorOf(w), Qt::Key_Return);
        type(w, QStringLiteral("bc"));
        QCOMPARE(status(w, "lngth"), QStringLiteral("Length: 5"));
        QCOMPARE(status(w, "sllen"), QStringLiteral("Loc: 5 Len: 0"));
        QTest::keyClick(editorOf(w), Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(status(w, "sllen"), QStringLiteral("Loc: 4 Len: 1"));

        app.dialogs.fileNames << app.path(QStringLiteral("s.txt"));
        actionOf(w, "mnuFileSave")->trigger();
        QCOMPARE(status(w, "Status"), QStringLiteral("Unsaved Changes Made")); // until the next second
        w->timer2Tick();
        QCOMPARE(status(w, "Status"), QStringLiteral("Document is clean"));
    }

    // No panel's text is drawn over another's, however narrow the window;
    // a cut text is whole in the tooltip.
    void statusPanelsNeverOverlap_data()
    {
        QTest::addColumn<int>("width");
        for (int width : {150, 320, 480, 640, 1200})
            QTest::addRow("%d pixels", width) << width;
    }

    void statusPanelsNeverOverlap()
    {
        QFETCH(int, width);
        AppFixture app;
        frmDoc *w = app.newDocument();
        editorOf(w)->SetText(QString(123456, u'x'));
        w->subWindow()->resize(width, 400);
        QTRY_VERIFY(childOf<QStatusBar>(w, "stBar")->width() <= qMax(width, w->minimumSizeHint().width()));
        QList<QRect> taken;
        for (int i = 1; i <= 8; ++i) {
            StatusPanel *p = w->panel(i);
            const QRect r = p->geometry();
            for (const QRect &other : taken)
                QVERIFY2(!r.intersects(other), qPrintable(QStringLiteral("panel %1 overlaps").arg(i)));
            QVERIFY(childOf<QStatusBar>(w, "stBar")->rect().contains(r));
            QVERIFY(p->fontMetrics().horizontalAdvance(p->shownText()) <= p->contentsRect().width());
            QVERIFY(p->toolTip().startsWith(p->text()));
            taken << r;
        }
    }

    void timer1States_data()
    {
        QTest::addColumn<QString>("clipboard"); // "text", "image" or "empty"
        QTest::addColumn<bool>("selection");
        QTest::newRow("text, nothing selected") << "text" << false;
        QTest::newRow("text, selection") << "text" << true;
        QTest::newRow("only an image") << "image" << true;
    }

    void timer1States()
    {
        QFETCH(QString, clipboard);
        QFETCH(bool, selection);
        AppFixture app;
        frmDoc *w = app.newDocument();
        editorOf(w)->SetText(QStringLiteral("some text"));
        if (clipboard == QLatin1String("text")) {
            QGuiApplication::clipboard()->setText(QStringLiteral("copied"));
        } else if (clipboard == QLatin1String("image")) {
            QImage image(4, 4, QImage::Format_RGB32);
            image.fill(Qt::red);
            QGuiApplication::clipboard()->setImage(image);
        }
        editorOf(w)->SetSelStart(2);
        editorOf(w)->SetSelLength(selection ? 3 : 0);
        const bool text = clipboard == QLatin1String("text");
        QTRY_COMPARE(actionOf(w, "mnuSelection")->isEnabled(), selection);
        QTRY_COMPARE(actionOf(w, "mnuEditPaste")->isEnabled(), text);
        QCOMPARE(actionOf(w, "mnuHiddenPaste")->isEnabled(), text);
        QCOMPARE(w->toolbarButton(QStringLiteral("Paste"))->isVisible(), text);
        QCOMPARE(actionOf(w, "mnuEditUndo")->isEnabled(), false);
        QCOMPARE(w->toolbarButton(QStringLiteral("Undo"))->isVisible(), false);
        // With Undo hidden, no two separators stand side by side.
        bool lastWasSeparator = true;
        for (QAction *a : childOf<QToolBar>(w, "Toolbar1")->actions()) {
            if (!a->isVisible())
                continue;
            QVERIFY(!(a->isSeparator() && lastWasSeparator));
            lastWasSeparator = a->isSeparator();
        }
    }

    void recentMenusFollowSaves()
    {
        AppFixture app;
        // Only the owner's own menus: the frame's children include the documents'.
        auto recentItems = [](QWidget *owner) {
            QList<QAction *> shown;
            QMenu *file = owner->findChild<QMenu *>(QStringLiteral("mnuFile"), Qt::FindDirectChildrenOnly);
            for (QAction *a : file->findChildren<QAction *>(QStringLiteral("mnuOpenRecent"))) {
                if (a->isVisible())
                    shown << a;
            }
            return shown;
        };
        QVERIFY(recentItems(app.frame).isEmpty());
        frmDoc *w = app.newDocument();
        const QString path = app.path(QStringLiteral("a & b.txt"));
        app.dialogs.fileNames << path;
        actionOf(w, "mnuFileSaveAs")->trigger();
        QCOMPARE(recentItems(documentMenus(w)).size(), 1);
        QVERIFY(recentItems(app.frame).isEmpty()); // until its File menu opens
        QMetaObject::invokeMethod(app.frame->findChild<QMenu *>(QStringLiteral("mnuFile"), Qt::FindDirectChildrenOnly),
                                  "aboutToShow");
        QCOMPARE(recentItems(app.frame).size(), 1);
        // Choosing the item opens the full path, '&' and all.
        recentItems(app.frame).first()->trigger();
        QCOMPARE(app.shownDocuments().size(), 2);
        // The shared items outlive the window that made them.
        QPointer<frmDoc> gone = w;
        w->unload();
        QTRY_VERIFY(!gone);
        recentItems(documentMenus(app.frame)).first()->trigger();
        QCOMPARE(app.shownDocuments().size(), 2);
        QCOMPARE(app.record(app.shownDocuments().last()).Title(), path);
    }

    // Code view and word wrap are off at first, then as the user left them:
    // every window follows, and the next run starts with them.
    void codeViewIsRemembered()
    {
        QTemporaryDir home;
        const QString page = home.filePath(QStringLiteral("page.css"));
        QVERIFY(writeBytes(page, "p { color: red; }\r\n"));
        {
            AppFixture app({page}, {}, QString(), home.path());
            frmDoc *w = app.shownDocuments().first();
            frmDoc *blank = app.newDocument();
            QVERIFY(!editorOf(w)->lexer());
            QVERIFY(!actionOf(w, "mnuOptionsCodeView")->isChecked());
            QVERIFY(!w->findChild<StatusPanel *>(QStringLiteral("stBarCaret"))->isVisible());
            actionOf(w, "mnuOptionsCodeView")->trigger();
            actionOf(blank, "mnuOptionsWordWrap")->trigger();
            QCOMPARE(QString::fromLatin1(editorOf(w)->lexer()->language()), QStringLiteral("CSS"));
            QVERIFY(actionOf(blank, "mnuOptionsCodeView")->isChecked());
            QVERIFY(editorOf(blank)->codeLook());
            QCOMPARE(editorOf(w)->wrapMode(), QsciScintilla::WrapWord);
            editorOf(w)->SetSelStart(4);
            QCOMPARE(w->findChild<StatusPanel *>(QStringLiteral("stBarCaret"))->text(), QStringLiteral("Ln 1, Col 5"));
        }
        AppFixture again({page}, {}, QString(), home.path());
        frmDoc *w = again.shownDocuments().first();
        QVERIFY(actionOf(w, "mnuOptionsCodeView")->isChecked());
        QVERIFY(actionOf(w, "mnuOptionsWordWrap")->isChecked());
        QCOMPARE(QString::fromLatin1(editorOf(w)->lexer()->language()), QStringLiteral("CSS"));
        // Saved under another name, the document takes that language.
        again.dialogs.fileNames << home.filePath(QStringLiteral("page.js"));
        actionOf(w, "mnuFileSaveAs")->trigger();
        QCOMPARE(QString::fromLatin1(editorOf(w)->lexer()->language()), QStringLiteral("JavaScript"));
        actionOf(w, "mnuOptionsCodeView")->trigger();
        QVERIFY(!editorOf(w)->lexer());
        QVERIFY(!editorOf(w)->codeLook());
    }

    // Options > Font is the code view's font, remembered; the document font
    // stays while the code view is off. Ctrl+Plus, Ctrl+Minus, Ctrl+0 zoom.
    void codeViewFontAndZoom()
    {
        QTemporaryDir home;
        const auto shown = [](frmDoc *w) {
            char name[256] = {};
            editorOf(w)->SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, QsciScintillaBase::STYLE_DEFAULT, name);
            return QString::fromUtf8(name) + QLatin1Char(' ')
                   + QString::number(editorOf(w)->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, QsciScintillaBase::STYLE_DEFAULT));
        };
        {
            AppFixture app({}, {}, QString(), home.path());
            frmDoc *w = app.newDocument();
            const QString documentFont = shown(w);
            app.dialogs.fonts << QFont(QStringLiteral("Chosen Mono"), 17);
            actionOf(w, "mnuOptionsFont")->trigger();
            QCOMPARE(shown(w), documentFont);
            actionOf(w, "mnuOptionsCodeView")->trigger();
            QCOMPARE(shown(w), QStringLiteral("Chosen Mono 17"));
            const auto zoom = [w] { return editorOf(w)->SendScintilla(QsciScintillaBase::SCI_GETZOOM); };
            pressIn(w, QKeySequence(Qt::CTRL | Qt::Key_Plus));
            QCOMPARE(zoom(), 1L);
            pressIn(w, QKeySequence(Qt::CTRL | Qt::Key_Minus));
            pressIn(w, QKeySequence(Qt::CTRL | Qt::Key_Minus));
            QCOMPARE(zoom(), -1L);
            pressIn(w, QKeySequence(Qt::CTRL | Qt::Key_0));
            QCOMPARE(zoom(), 0L);
        }
        AppFixture again({}, {}, QString(), home.path());
        frmDoc *w = again.newDocument();
        QCOMPARE(shown(w), QStringLiteral("Chosen Mono 17"));
        actionOf(w, "mnuOptionsFont")->trigger(); // cancelled
        QCOMPARE(again.dialogs.fontsOffered.last().family(), QStringLiteral("Chosen Mono"));
        QCOMPARE(shown(w), QStringLiteral("Chosen Mono 17"));
    }

    void viewerMenuCaptions()
    {
        AppFixture app;
        app.ctx->viewers[1].Title = QStringLiteral("  Browser  ");
        app.ctx->viewers[2].Title = QStringLiteral("   ");
        frmDoc *w = app.newDocument();
        w->RefreshViewerMenu();
        const QList<QAction *> items = documentMenus(w)->findChildren<QAction *>(QStringLiteral("mnuViewProgram"));
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[0]->text(), QStringLiteral("[UNSET]"));
        QCOMPARE(items[1]->text(), QStringLiteral("  Browser  "));
        QCOMPARE(items[2]->text(), QStringLiteral("[UNSET]"));
        QVERIFY(!items[0]->isEnabled());
    }

    // Read again in another encoding, the caret stays on its line.
    void reopenKeepsTheCaretsLine()
    {
        AppFixture app;
        frmDoc *w = app.docs().OpenFileByPath(app.writeFile(QStringLiteral("e.txt"), "\xC3\xA9\nline 2\nline 3 \xC3\xA9\n"));
        editorOf(w)->goToLine(2);
        QVERIFY(app.docs().ReopenWithEncoding(w->slot(), TextFileCodec::Encoding::Windows1252, {}));
        QCOMPARE(editorOf(w)->Text(), QStringLiteral("\u00C3\u00A9\r\nline 2\r\nline 3 \u00C3\u00A9"));
        QCOMPARE(editorOf(w)->caretLine(), 2);
    }

    // File > Reopen with Encoding and Save with Encoding, through the menus
    // and the searchable list; the status panel names what the file is in.
    void encodingsByHand()
    {
        AppFixture app;
        const QString russian = QStringLiteral("Привет! Это обычный текст на русском языке, который пишут в старых файлах "
                                               "и на веб-страницах.");
        QByteArray koi8;
        QVERIFY(TextFileCodec::textToLegacy("KOI8-R", russian + QStringLiteral("\n"), &koi8));
        const QString path = app.writeFile(QStringLiteral("ru.txt"), koi8);
        frmDoc *w = app.docs().OpenFileByPath(path);
        QCOMPARE(editorOf(w)->Text(), russian);
        w->timer1Tick();
        QCOMPARE(w->findChild<StatusPanel *>(QStringLiteral("stBarFormat"))->text(), QStringLiteral("KOI8-R \u00B7 LF"));

        const auto choose = [](const QString &typed) {
            whenModal("encoding list", [typed](QWidget *d) {
                d->findChild<QLineEdit *>(QStringLiteral("txtFilter"))->setText(typed);
                qobject_cast<QDialog *>(d)->accept();
            });
        };
        // Unsaved changes are asked about first; No keeps them.
        type(w, QStringLiteral("x"));
        w->undoTick();
        app.dialogs.answers << Answer::No;
        choose(QStringLiteral("1251"));
        actionOf(w, "mnuFileReopenEncoding")->trigger();
        QVERIFY(editorOf(w)->Text().startsWith(u'x'));
        app.dialogs.answers << Answer::Yes;
        choose(QStringLiteral("1251"));
        actionOf(w, "mnuFileReopenEncoding")->trigger();
        QCOMPARE(app.record(w).Format().codec, QByteArray("windows-1251"));
        QString asCp1251;
        QVERIFY(TextFileCodec::legacyToText("windows-1251", koi8.chopped(1), &asCp1251));
        QCOMPARE(editorOf(w)->Text(), asCp1251);
        QCOMPARE(app.record(w).Changed(), false);
        // A new reading, not an edit: Undo cannot bring back the KOI8-R text
        // to be written as windows-1251.
        w->undoTick();
        w->Undo();
        QCOMPARE(editorOf(w)->Text(), asCp1251);

        // Back to KOI8-R, then saved as UTF-16 LE with its BOM.
        choose(QStringLiteral("koi8-r"));
        actionOf(w, "mnuFileReopenEncoding")->trigger();
        QCOMPARE(editorOf(w)->Text(), russian);
        choose(QStringLiteral("utf-16 le with"));
        actionOf(w, "mnuFileSaveEncoding")->trigger();
        QCOMPARE(app.readFile(path), QByteArray("\xFF\xFE") + QByteArray(QStringEncoder(QStringConverter::Utf16LE).encode(russian + u'\n')));

        // A character the encoding cannot hold: the failure question offers UTF-8.
        editorOf(w)->SetText(russian + QStringLiteral(" \u4E2D"));
        app.dialogs.answers << Answer::Yes;
        choose(QStringLiteral("koi8-r"));
        actionOf(w, "mnuFileSaveEncoding")->trigger();
        QVERIFY(app.dialogs.lastText().contains(QLatin1String("U+4E2D")));
        QVERIFY(app.dialogs.lastText().endsWith(QLatin1String("Save it as UTF-8 instead?")));
        QCOMPARE(app.readFile(path), (russian + QStringLiteral(" \u4E2D\n")).toUtf8());
        QCOMPARE(app.record(w).Format().encoding, TextFileCodec::Encoding::Utf8);
    }

    // File > Line Breaks: every break of the document becomes the chosen one
    // (lone ones of a mixed file included, in one undo step) and is saved so.
    void lineBreaks()
    {
        const struct {
            const char *item;
            QByteArray bytes;
        } kinds[] = {{"mnuLineBreaksLf", "a\nb\nc\n"}, {"mnuLineBreaksCr", "a\rb\rc\r"}, {"mnuLineBreaksCrLf", "a\r\nb\r\nc\r\n"}};
        QCOMPARE(std::size(kinds), size_t(QMetaEnum::fromType<TextFileCodec::LineEnd>().keyCount()));
        for (const auto &k : kinds) {
            AppFixture app;
            const QString path = app.writeFile(QStringLiteral("mixed.txt"), QByteArray("a\r\nb\nc\r\n"));
            frmDoc *w = app.docs().OpenFileByPath(path);
            w->undoTick();
            actionOf(w, k.item)->trigger();
            QVERIFY(app.record(w).Changed());
            actionOf(w, "mnuFileSave")->trigger();
            QCOMPARE(app.readFile(path), k.bytes);
            QTRY_VERIFY(actionOf(w, "mnuEditUndo")->isEnabled()); // the menus follow on the next turn
            actionOf(w, "mnuEditUndo")->trigger();
            QCOMPARE(editorOf(w)->Text(), QStringLiteral("a\r\nb\nc"));
        }
    }

    // Options > Line Breaks for New Documents: CR LF unless LF is chosen,
    // remembered.
    void newDocumentsLineBreaks()
    {
        AppFixture app;
        for (const char *item : {"", "mnuNewLineBreaksLf", "mnuNewLineBreaksCrLf"}) {
            frmDoc *w = app.newDocument();
            if (*item) {
                actionOf(w, item)->trigger();
                w = app.newDocument();
            }
            editorOf(w)->SetText(QStringLiteral("a\r\nb"));
            const QString path = app.path(QStringLiteral("new%1.txt").arg(qstrlen(item)));
            app.dialogs.fileNames << path;
            actionOf(w, "mnuFileSave")->trigger();
            const bool lf = qstrcmp(item, "mnuNewLineBreaksLf") == 0;
            QCOMPARE(app.readFile(path), QByteArray(lf ? "a\nb\n" : "a\r\nb\r\n"));
            // The menus mark the choice and the document's own breaks.
            QMetaObject::invokeMethod(documentMenus(w)->findChild<QMenu *>(QStringLiteral("mnuOptionsNewLineBreaks")), "aboutToShow");
            w->timer1Tick();
            for (const char *mark : {"mnuNewLineBreaksLf", "mnuLineBreaksLf"}) {
                QCOMPARE(actionOf(w, mark)->isChecked(), lf);
                QCOMPARE(actionOf(w, QByteArray(mark).replace("Lf", "CrLf").constData())->isChecked(), !lf);
            }
        }
        QCOMPARE(app.ctx->settings.ReadUserSetting(QStringLiteral("Orvane"), QStringLiteral("Options"), QStringLiteral("NewLineBreaks"),
                                                     QString()),
                 QStringLiteral("CrLf"));
    }
};

ORVANE_GUI_TEST_MAIN(TestDocuments)
#include "tst_documents.moc"
