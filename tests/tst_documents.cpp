// Documents: slots and windows, reading and writing files, the failure
// questions, the save prompt, change tracking and the status bar.
#include "core/RecentList.h"
#include "support/AppFixture.h"
#include "support/TestEnv.h"

#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>
#include <sys/resource.h>

using Answer = Dialogs::Answer;

namespace {

const QString kWhatNow = QStringLiteral("Would would you like to do");

QString status(frmDoc *w, const char *key)
{
    return w->panel(QString::fromLatin1(key))->text();
}

void type(frmDoc *w, const QString &text)
{
    w->txtContents->setFocus();
    QTest::keyClicks(w->txtContents, text);
}

} // namespace

class TestDocuments : public QObject
{
    Q_OBJECT

private slots:
    void slotsAreReusedLowestFirst()
    {
        AppFixture app;
        for (int i = 0; i < 3; ++i)
            app.docs().NewBlankDocument();
        AppFixture::settle();
        const QList<frmDoc *> docs = app.shownDocuments();
        QCOMPARE(docs.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(docs[i]->Tag(), QString::number(i + 1));
            QCOMPARE(docs[i]->subWindow()->windowTitle(), QStringLiteral("Untitled"));
        }

        // The close box unloads: the slot's next document gets a new window.
        QPointer<frmDoc> second = docs[1];
        QVERIFY(second->subWindow()->close());
        AppFixture::settle();
        QVERIFY(!second);
        app.docs().NewBlankDocument();
        AppFixture::settle();
        QCOMPARE(app.docs().DocumentCount(), 3);
        frmDoc *again = app.docs().window(2);
        QVERIFY(again);
        QCOMPARE(again->Tag(), QStringLiteral("2"));

        // File > Close only hides: the same window comes back, emptied.
        again->txtContents->SetText(QStringLiteral("old text"));
        app.dialogs.answers << Answer::No;
        actionOf(again, "mnuFileClose")->trigger();
        QVERIFY(!again->subWindow()->isVisible());
        QCOMPARE(app.record(again).InUse, false);
        app.docs().NewBlankDocument();
        AppFixture::settle();
        QCOMPARE(app.docs().window(2), again);
        QVERIFY(again->subWindow()->isVisible());
        QCOMPARE(again->txtContents->Text(), QString());
        QCOMPARE(app.record(again).Title, QStringLiteral("Untitled"));
        QCOMPARE(app.record(again).Changed, false);
        QCOMPARE(app.docs().DocumentCount(), 3);
    }

    void moreDocumentsThanTheTableHoldsAreRefused()
    {
        AppFixture app;
        bool grew = false;
        DocumentTable &table = app.docs().table();
        while (table.DocumentCount() < DocumentTable::MaxDocuments)
            table.record(table.TakeSlot(&grew)).InUse = true;
        app.dialogs.answers << Answer::Ok;
        app.docs().NewBlankDocument();
        QCOMPARE(app.dialogs.asked.size(), 1);
        QVERIFY(app.dialogs.lastText().contains(QLatin1String("32767")));
        QCOMPARE(app.shownDocuments().size(), 0);
        QCOMPARE(table.DocumentCount(), 32767);
    }

    void openAndSaveByteFormats_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringLiteral("a\r\nb") << QByteArray("a\r\nb\r\n");
        QTest::newRow("LF-only script") << QByteArray("#!/bin/sh\necho hi\n") << QStringLiteral("#!/bin/sh\r\necho hi")
                                        << QByteArray("#!/bin/sh\necho hi\n");
        QTest::newRow("empty") << QByteArray() << QString() << QByteArray("\r\n");
        QTest::newRow("Windows-1252") << QByteArray("na\xEFve\r\n") << QStringLiteral("naïve") << QByteArray("na\xEFve\r\n");
        QTest::newRow("not text") << QByteArray("\x00\xFF\xFE\x01\r\n\x00\x80\r\n", 10)
                                  << QString::fromLatin1("\x00\xFF\xFE\x01\r\n\x00", 7) + QChar(0x20AC)
                                  << QByteArray("\x00\xFF\xFE\x01\r\n\x00\x80\r\n", 10);
    }

    void openAndSaveByteFormats()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, text);
        QFETCH(QByteArray, saved);
        AppFixture app;
        const QString path = app.writeFile(QStringLiteral("doc.txt"), file);
        frmDoc *w = app.docs().OpenFileByPath(path);
        QVERIFY(w);
        AppFixture::settle();
        QCOMPARE(w->txtContents->Text(), text);
        QCOMPARE(app.record(w).Changed, false);
        QCOMPARE(app.record(w).Title, path);
        QCOMPARE(w->subWindow()->windowTitle(), path);
        QCOMPARE(RecentList::entries(app.ctx->settings), QStringList{path});

        QVERIFY(QFile::remove(path));
        actionOf(w, "mnuFileSave")->trigger();
        QCOMPARE(app.readFile(path), saved);
        QCOMPARE(app.dialogs.asked.size(), 0);
    }

    void saveBinaryWritesOnlyTheText()
    {
        AppFixture app;
        const QString path = app.writeFile(QStringLiteral("ten.txt"), QByteArray(10, 'x'));
        app.docs().NewBlankDocument();
        frmDoc *w = app.shownDocuments().first();
        w->txtContents->SetText(QStringLiteral("abc"));
        app.dialogs.fileNames << path;
        actionOf(w, "mnuFileSaveBinary")->trigger();
        QCOMPARE(app.readFile(path), QByteArray("abc"));
        QCOMPARE(app.record(w).FilePath, path);
        QCOMPARE(app.record(w).Changed, false);
        // After a binary save, Save writes the same file with its line break.
        actionOf(w, "mnuFileSave")->trigger();
        QCOMPARE(app.readFile(path), QByteArray("abc\r\n"));
        // The dialogs get the filter in Qt's form, and the one file dialog
        // starts with the name chosen last.
        QCOMPARE(app.dialogs.fileFilters.first().split(QStringLiteral(";;")).first(), QStringLiteral("Text Files(.txt) (*.txt)"));
        actionOf(w, "mnuFileSaveAs")->trigger(); // cancelled
        QCOMPARE(app.dialogs.fileInitials.last(), path);
    }

    void cancelledDialogsChangeNothing()
    {
        AppFixture app;
        app.docs().NewBlankDocument();
        frmDoc *w = app.shownDocuments().first();
        type(w, QStringLiteral("x"));
        actionOf(w, "mnuFileSaveAs")->trigger(); // no name queued: cancelled
        QCOMPARE(app.record(w).Changed, true);
        QCOMPARE(app.record(w).FilePath, QString());
        QCOMPARE(app.record(w).Title, QStringLiteral("Untitled"));
        actionOf(w, "mnuFileOpen")->trigger();
        QCOMPARE(app.shownDocuments().size(), 1);
        QVERIFY(RecentList::entries(app.ctx->settings).isEmpty());
    }

    void saveWithoutPathSaysNoFile()
    {
        AppFixture app;
        app.docs().NewBlankDocument();
        frmDoc *w = app.shownDocuments().first();
        app.record(w).FilePath = QStringLiteral("   ");
        app.dialogs.answers << Answer::Ok;
        QVERIFY(!app.docs().SaveDocument(w->slot()));
        QCOMPARE(app.dialogs.lastText(), QStringLiteral("Error: No File"));
        QCOMPARE(app.dialogs.asked.last().buttons, Dialogs::Buttons::Ok);
    }

    void readFailureQuestions_data()
    {
        QTest::addColumn<QString>("target");        // relative to the test directory
        QTest::addColumn<bool>("withDialog");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<bool>("createBeforeRetry");
        QTest::addColumn<QString>("firstLine");
        QTest::addColumn<bool>("opened");
        const QString plain = QStringLiteral("There was an error in reading your file");
        using L = QList<Answer>;
        QTest::newRow("missing, Abort") << "nothing.txt" << false << L{Answer::Abort} << false << plain << false;
        QTest::newRow("missing, Retry after it appears") << "later.txt" << false << L{Answer::Retry} << true << plain << true;
        QTest::newRow("missing, Retry while missing, Abort") << "nothing.txt" << false << L{Answer::Retry, Answer::Abort}
                                                             << false << plain << false;
        QTest::newRow("missing, Ignore asks again") << "nothing.txt" << false << L{Answer::Ignore, Answer::Ignore, Answer::Abort}
                                                    << false << plain << false;
        QTest::newRow("missing, through the dialog") << "nothing.txt" << true << L{Answer::Abort} << false
                                                     << QStringLiteral("53> ") + plain << false;
        QTest::newRow("missing folder, through the dialog") << "no/dir/x.txt" << true << L{Answer::Abort} << false
                                                            << QStringLiteral("76> ") + plain << false;
        QTest::newRow("a directory") << "adir" << false << L{Answer::Abort} << false << plain << false;
    }

    void readFailureQuestions()
    {
        QFETCH(QString, target);
        QFETCH(bool, withDialog);
        QFETCH(QList<Answer>, answers);
        QFETCH(bool, createBeforeRetry);
        QFETCH(QString, firstLine);
        QFETCH(bool, opened);
        AppFixture app;
        QDir(app.dir.path()).mkdir(QStringLiteral("adir"));
        const QString path = app.path(target);
        app.dialogs.answers.append(answers);
        if (createBeforeRetry)
            app.dialogs.beforeAnswer = [&] { app.writeFile(target, "arrived\r\n"); };
        if (withDialog) {
            app.dialogs.fileNames << path;
            app.docs().OpenFileWithDialog();
        } else {
            app.docs().OpenFileByPath(path);
        }
        AppFixture::settle();
        QCOMPARE(app.dialogs.asked.size(), answers.size());
        const QStringList lines = app.dialogs.asked.first().text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], firstLine);
        QVERIFY(!lines[1].isEmpty());
        QCOMPARE(lines[2], kWhatNow);
        QCOMPARE(app.dialogs.asked.first().buttons, Dialogs::Buttons::AbortRetryIgnore);
        QCOMPARE(app.dialogs.asked.first().caption, QStringLiteral("Orvane"));
        QCOMPARE(app.shownDocuments().size(), opened ? 1 : 0);
        QCOMPARE(RecentList::entries(app.ctx->settings).size(), opened ? 1 : 0);
    }

    void writeFailureQuestions_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<bool>("written");
        using L = QList<Answer>;
        QTest::newRow("missing folder, Abort") << "missing folder" << L{Answer::Abort} << false;
        QTest::newRow("missing folder, Ignore") << "missing folder" << L{Answer::Ignore} << false;
        QTest::newRow("missing folder, Retry after it appears") << "missing folder" << L{Answer::Retry} << true;
        QTest::newRow("directory in its place, Abort") << "directory" << L{Answer::Abort} << false;
        QTest::newRow("full disk, Retry then Abort") << "full disk" << L{Answer::Retry, Answer::Abort} << false;
        QTest::newRow("full disk, Ignore") << "full disk" << L{Answer::Ignore} << false;
    }

    void writeFailureQuestions()
    {
        QFETCH(QString, failure);
        QFETCH(QList<Answer>, answers);
        QFETCH(bool, written);
        AppFixture app;
        const QByteArray old("old file\r\n");
        const QString existing = app.writeFile(QStringLiteral("old.txt"), old);
        frmDoc *w = app.docs().OpenFileByPath(existing);
        QVERIFY(w);
        const QString big(20000, QLatin1Char('n'));
        w->txtContents->SetText(big);
        QString target = existing;
        if (failure == QLatin1String("missing folder")) {
            target = app.path(QStringLiteral("later/out.txt"));
            app.dialogs.beforeAnswer = [&] { QDir(app.dir.path()).mkdir(QStringLiteral("later")); };
        } else if (failure == QLatin1String("directory")) {
            target = app.path(QStringLiteral("adir"));
            QDir(app.dir.path()).mkdir(QStringLiteral("adir"));
        }
        app.record(w).FilePath = target;
        app.dialogs.answers.append(answers);

        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        if (failure == QLatin1String("full disk")) {
            rlimit small = saved;
            small.rlim_cur = 4096;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        const bool ok = app.docs().SaveDocument(w->slot());
        setrlimit(RLIMIT_FSIZE, &saved);

        QCOMPARE(ok, written);
        QCOMPARE(app.dialogs.asked.size(), answers.size());
        QCOMPARE(app.dialogs.asked.first().text,
                 QStringLiteral("There was an error in saving to the file. \r\n") + app.dialogs.asked.first().text.section(QStringLiteral("\r\n"), 1, 1)
                     + QStringLiteral("\r\n") + kWhatNow);
        QCOMPARE(app.record(w).Changed, !written);
        QCOMPARE(RecentList::entries(app.ctx->settings).size(), written ? 2 : 1);
        // The file that was there is untouched.
        QCOMPARE(app.readFile(existing), old);
        if (written)
            QCOMPARE(app.readFile(target), big.toUtf8() + "\r\n");
    }

    void savePromptOnClose_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("hasPath");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QString>("saveAsName");  // "" cancels the dialog
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
        const bool failSave = answers.size() == 2;
        app.docs().NewBlankDocument();
        frmDoc *w = app.shownDocuments().first();
        w->txtContents->SetText(QStringLiteral("work"));
        app.record(w).Changed = changed;
        const QString target = failSave ? app.path(QStringLiteral("gone/x.txt")) : app.path(QStringLiteral("doc.txt"));
        if (hasPath)
            app.record(w).FilePath = target;
        if (!saveAsName.isEmpty())
            app.dialogs.fileNames << app.path(saveAsName);
        app.dialogs.answers.append(answers);

        const bool cancelled = w->CloseDocument();
        QCOMPARE(cancelled, !closed);
        QCOMPARE(app.dialogs.asked.size(), answers.size());
        if (!answers.isEmpty()) {
            QCOMPARE(app.dialogs.asked.first().text,
                     QStringLiteral("Would you like to save the changes you may have made to your work?"));
            QCOMPARE(app.dialogs.asked.first().buttons, Dialogs::Buttons::YesNoCancel);
        }
        QCOMPARE(w->subWindow()->isVisible(), !closed);
        QCOMPARE(app.record(w).InUse, !closed);
        const QString written = saveAsName.isEmpty() ? target : app.path(saveAsName);
        QCOMPARE(QFile::exists(written), fileWritten);
        if (!closed)
            QCOMPARE(w->txtContents->Text(), QStringLiteral("work"));
    }

    void hiddenWindowDoesNotAskAgainWhenTheProgramCloses()
    {
        AppFixture app;
        app.docs().NewBlankDocument();
        frmDoc *w = app.shownDocuments().first();
        type(w, QStringLiteral("unsaved"));
        app.dialogs.answers << Answer::No;
        actionOf(w, "mnuFileClose")->trigger();
        QCOMPARE(app.dialogs.asked.size(), 1);
        QVERIFY(app.frame->close());
        QCOMPARE(app.dialogs.asked.size(), 1);
        app.frame = nullptr; // deleted on close
        AppFixture::settle();
    }

    void frameStaysWhenAWindowCancels()
    {
        AppFixture app;
        app.docs().NewBlankDocument();
        app.docs().NewBlankDocument();
        frmDoc *w = app.shownDocuments().last();
        type(w, QStringLiteral("keep me"));
        app.dialogs.answers << Answer::Cancel;
        QVERIFY(!app.frame->close());
        QVERIFY(app.frame->isVisible());
        QCOMPARE(w->txtContents->Text(), QStringLiteral("keep me"));
    }

    void fileExitClosesOnlyThisWindow()
    {
        AppFixture app;
        app.docs().NewBlankDocument();
        app.docs().NewBlankDocument();
        QPointer<frmDoc> first = app.shownDocuments().first();
        actionOf(first, "mnuFileExit")->trigger();
        AppFixture::settle();
        QVERIFY(!first);
        QCOMPARE(app.shownDocuments().size(), 1);
        QVERIFY(app.frame->isVisible());
    }

    void statusTexts()
    {
        AppFixture app;
        app.docs().NewBlankDocument();
        frmDoc *w = app.shownDocuments().first();
        QCOMPARE(status(w, "lngth"), QStringLiteral("Length: 0"));
        w->timer2Tick();
        QCOMPARE(status(w, "Status"), QStringLiteral("Document is clean"));

        type(w, QStringLiteral("a"));
        QCOMPARE(status(w, "lngth"), QStringLiteral("Length: 1"));
        QCOMPARE(status(w, "Status"), QStringLiteral("Unsaved Changes Made"));
        QTest::keyClick(w->txtContents, Qt::Key_Return);
        type(w, QStringLiteral("bc"));
        QCOMPARE(status(w, "lngth"), QStringLiteral("Length: 5"));
        AppFixture::settle();
        QCOMPARE(status(w, "sllen"), QStringLiteral("Loc: 5 Len: 0"));
        QTest::keyClick(w->txtContents, Qt::Key_Left, Qt::ShiftModifier);
        AppFixture::settle();
        QCOMPARE(status(w, "sllen"), QStringLiteral("Loc: 4 Len: 1"));

        app.dialogs.fileNames << app.path(QStringLiteral("s.txt"));
        actionOf(w, "mnuFileSave")->trigger();
        QCOMPARE(status(w, "Status"), QStringLiteral("Unsaved Changes Made")); // until the next second
        w->timer2Tick();
        QCOMPARE(status(w, "Status"), QStringLiteral("Document is clean"));

        const QString path = app.writeFile(QStringLiteral("two.txt"), "ab\r\ncd\r\n");
        frmDoc *opened = app.docs().OpenFileByPath(path);
        QCOMPARE(status(opened, "lngth"), QStringLiteral("Length: 6"));
        QCOMPARE(status(opened, "Status"), QStringLiteral("Unsaved Changes Made"));
        opened->timer2Tick();
        QCOMPARE(status(opened, "Status"), QStringLiteral("Document is clean"));
        opened->txtContents->SetSelStart(0);
        QCOMPARE(status(opened, "sllen"), QStringLiteral("Loc: 0 Len: 0"));
    }

    void timer1States_data()
    {
        QTest::addColumn<QString>("clipboard"); // "text", "image" or "empty"
        QTest::addColumn<bool>("selection");
        QTest::newRow("text, nothing selected") << "text" << false;
        QTest::newRow("text, selection") << "text" << true;
        QTest::newRow("only an image") << "image" << true;
        QTest::newRow("empty clipboard") << "empty" << false;
    }

    void timer1States()
    {
        QFETCH(QString, clipboard);
        QFETCH(bool, selection);
        AppFixture app;
        app.docs().NewBlankDocument();
        AppFixture::settle();
        frmDoc *w = app.shownDocuments().first();
        QCOMPARE(w->subWindow()->windowTitle(), QStringLiteral("Untitled"));
        w->txtContents->SetText(QStringLiteral("some text"));
        if (clipboard == QLatin1String("text")) {
            QGuiApplication::clipboard()->setText(QStringLiteral("copied"));
        } else if (clipboard == QLatin1String("image")) {
            QImage image(4, 4, QImage::Format_RGB32);
            image.fill(Qt::red);
            QGuiApplication::clipboard()->setImage(image);
        } else {
            QGuiApplication::clipboard()->clear();
        }
        if (selection) {
            w->txtContents->SetSelStart(2);
            w->txtContents->SetSelLength(3);
        } else {
            w->txtContents->SetSelStart(2);
        }
        AppFixture::settle();
        const bool text = clipboard == QLatin1String("text");
        QCOMPARE(actionOf(w, "mnuEditPaste")->isEnabled(), text);
        QCOMPARE(actionOf(w, "mnuHiddenPaste")->isEnabled(), text);
        QCOMPARE(w->toolbarButton(QStringLiteral("Paste"))->isVisible(), text);
        QCOMPARE(actionOf(w, "mnuSelection")->isEnabled(), selection);
        QCOMPARE(actionOf(w, "mnuEditUndo")->isEnabled(), false);
        QCOMPARE(w->toolbarButton(QStringLiteral("Undo"))->isVisible(), false);

        // Clearing the selection disables the Selection menu by the next turn.
        if (selection) {
            actionOf(w, "mnuSelectionClear")->trigger();
            AppFixture::settle();
            QCOMPARE(actionOf(w, "mnuSelection")->isEnabled(), false);
            QCOMPARE(w->txtContents->SelStart(), 2);
        }
    }

    void characterMode()
    {
        AppFixture app;
        app.docs().NewBlankDocument();
        frmDoc *w = app.shownDocuments().first();
        QAction *mode = actionOf(w, "mnuCharacterMode");
        mode->trigger();
        QCOMPARE(mode->isChecked(), true);
        QCOMPARE(w->panel(5)->text(), QStringLiteral("CCM"));
        type(w, QStringLiteral("c?Q 1"));
        QTest::keyClick(w->txtContents, Qt::Key_Backspace);
        QTest::keyClick(w->txtContents, Qt::Key_Tab);
        QTest::keyClick(w->txtContents, Qt::Key_Return);
        type(w, QStringLiteral("`"));
        QCOMPARE(w->txtContents->Text(), QString::fromUtf16(u"\u00A9\u00B5 \u00CE\r\n\u00F6"));
        mode->trigger();
        QCOMPARE(w->panel(5)->text(), QString());
        type(w, QStringLiteral("c?"));
        QTest::keyClick(w->txtContents, Qt::Key_Backspace);
        QCOMPARE(w->txtContents->Text(), QString::fromUtf16(u"\u00A9\u00B5 \u00CE\r\n\u00F6c"));
    }

    void recentMenusFollowSaves()
    {
        AppFixture app;
        // Only the window's own menus: the frame's children include the documents.
        auto shownRecent = [](QWidget *owner) {
            QStringList shown;
            QMenu *file = owner->findChild<QMenu *>(QStringLiteral("mnuFile"), Qt::FindDirectChildrenOnly);
            for (QAction *a : file->findChildren<QAction *>(QStringLiteral("mnuOpenRecent"))) {
                if (a->isVisible())
                    shown << a->data().toString();
            }
            return shown;
        };
        QVERIFY(shownRecent(app.frame).isEmpty());
        app.docs().NewBlankDocument();
        frmDoc *w = app.shownDocuments().first();
        const QString path = app.path(QStringLiteral("a & b.txt"));
        app.dialogs.fileNames << path;
        actionOf(w, "mnuFileSaveAs")->trigger();
        QCOMPARE(shownRecent(w), QStringList{path});
        QVERIFY(shownRecent(app.frame).isEmpty()); // until its File menu opens
        QMetaObject::invokeMethod(app.frame->findChild<QMenu *>(QStringLiteral("mnuFile"), Qt::FindDirectChildrenOnly),
                                  "aboutToShow");
        QCOMPARE(shownRecent(app.frame), QStringList{path});
        // Choosing the item opens the full path, '&' and all.
        QAction *item = nullptr;
        for (QAction *a : app.frame->findChild<QMenu *>(QStringLiteral("mnuFile"), Qt::FindDirectChildrenOnly)
                              ->findChildren<QAction *>(QStringLiteral("mnuOpenRecent")))
            if (a->isVisible())
                item = a;
        item->trigger();
        QCOMPARE(app.shownDocuments().size(), 2);
        QCOMPARE(app.record(app.shownDocuments().last()).Title, path);
    }

    void layoutFollowsTheWindow()
    {
        AppFixture app;
        app.docs().NewBlankDocument();
        frmDoc *w = app.shownDocuments().first();
        w->subWindow()->resize(500, 400);
        AppFixture::settle();
        const QRect r = w->txtContents->geometry();
        QCOMPARE(r.left(), 0);
        QCOMPARE(r.top(), w->Toolbar1->height());
        QCOMPARE(r.width(), w->width());
        QCOMPARE(r.height(), w->height() - w->Toolbar1->height() - w->stBar->height());
        w->subWindow()->showMinimized();
        AppFixture::settle();
        QCOMPARE(w->txtContents->geometry(), r);
    }

    void viewerMenuCaptions()
    {
        AppFixture app;
        app.ctx->viewers[1].Title = QStringLiteral("  Browser  ");
        app.ctx->viewers[2].Title = QStringLiteral("   ");
        app.docs().NewBlankDocument();
        frmDoc *w = app.shownDocuments().first();
        w->RefreshViewerMenu();
        const QList<QAction *> items = w->findChildren<QAction *>(QStringLiteral("mnuViewProgram"));
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[0]->text(), QStringLiteral("[UNSET]"));
        QCOMPARE(items[1]->text(), QStringLiteral("  Browser  "));
        QCOMPARE(items[2]->text(), QStringLiteral("[UNSET]"));
        QVERIFY(!items[0]->isEnabled());
        QVERIFY(!items[2]->isEnabled());
    }

    void everyMenuItemIsThere()
    {
        AppFixture app;
        app.docs().NewBlankDocument();
        frmDoc *w = app.shownDocuments().first();
        QStringList captions;
        for (QMenu *m : w->menuBarMenus())
            captions << m->title();
        QCOMPARE(captions, (QStringList{"&File", "&Edit", "&Selection", "In&sert", "&Tools", "&View", "&Options", "&Help"}));
        // No two items share a shortcut.
        QSet<QString> seen;
        for (QAction *a : w->findChildren<QAction *>()) {
            if (a->shortcut().isEmpty())
                continue;
            QVERIFY2(!seen.contains(a->shortcut().toString()), qPrintable(a->shortcut().toString()));
            seen.insert(a->shortcut().toString());
        }
        QCOMPARE(actionOf(w, "mnuFileSaveAs")->text(), QStringLiteral("Save &As"));
        QCOMPARE(actionOf(w, "mnuHiddenMoveTo")->text(), QStringLiteral("&Move to"));
        QCOMPARE(w->Toolbar1->actions().size(), 12);
        AppFixture::settle();
        QCOMPARE(w->windowTitle(), QStringLiteral("Untitled"));
    }
};

ORVANE_GUI_TEST_MAIN(TestDocuments)
#include "tst_documents.moc"
