// Start-up, the main frame's menus and shortcuts, drops on the frame,
// "Document From Clip" and the about window.
#include "core/RecentList.h"
#include "support/AppFixture.h"
#include "support/Drops.h"
#include "support/Modal.h"
#include "ui/StatusPanel.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <sys/stat.h>
#include <QMimeData>
#include <QPushButton>
#include <QTabBar>
#include <QUrl>

using Answer = Dialogs::Answer;

namespace {

const QStringList kFrameMenus = {"&File", "&Edit", "&Tools", "&Options", "&Help"};
const QStringList kDocumentMenus = {"&File", "&Edit", "Sear&ch", "&Selection", "In&sert", "&Tools", "&View", "&Options", "&Help"};

// The access key of a caption ("&&" is a plain "&"), lower case; 0 for none.
QChar accessKey(const QString &caption)
{
    for (qsizetype i = caption.indexOf(u'&'); i >= 0 && i + 1 < caption.size(); i = caption.indexOf(u'&', i + 2)) {
        if (caption.at(i + 1) != u'&')
            return caption.at(i + 1).toLower();
    }
    return QChar();
}

// Captions that share a key where the program's design gives them so.
const QStringList kDesignedCaptions = {"&Selection", "In&sert", "&Save", "&Save Binary", "&Cut", "&Copy"};

// Captions in one scope that share an access key and are not all of the design.
QStringList clashes(const QString &scope, const QStringList &captions)
{
    QMultiHash<QChar, QString> byKey;
    for (const QString &c : captions) {
        if (!accessKey(c).isNull())
            byKey.insert(accessKey(c), c);
    }
    QStringList out;
    for (const QChar key : byKey.uniqueKeys()) {
        const QStringList same = byKey.values(key);
        if (same.size() > 1 && !std::all_of(same.begin(), same.end(), [](const QString &c) { return kDesignedCaptions.contains(c); }))
            out << scope + QStringLiteral(": ") + same.join(QStringLiteral(", "));
    }
    return out;
}

// Every clash of a window: its menu bar's titles with its shown buttons and
// labels, then the items of each of its menus.
QStringList windowClashes(QWidget *window)
{
    QStringList keys;
    if (auto *main = qobject_cast<QMainWindow *>(window)) {
        for (QAction *a : main->menuBar()->actions())
            keys << a->text();
    }
    for (QAbstractButton *b : window->findChildren<QAbstractButton *>()) {
        if (b->isVisibleTo(window))
            keys << b->text();
    }
    for (QLabel *l : window->findChildren<QLabel *>()) {
        if (l->buddy() && l->isVisibleTo(window))
            keys << l->text();
    }
    QStringList out = clashes(window->objectName(), keys);
    QList<QMenu *> menus = window->findChildren<QMenu *>();
    if (auto *main = qobject_cast<QMainWindow *>(window)) {
        for (QAction *a : main->menuBar()->actions())
            menus << a->menu();
    }
    for (QMenu *m : menus) {
        QStringList items;
        for (QAction *a : m->actions())
            items << a->text();
        out << clashes(window->objectName() + u'/' + m->title(), items);
    }
    out.removeDuplicates();
    return out;
}

} // namespace

class TestFrame : public QObject
{
    Q_OBJECT

private slots:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments"); // "<file>" stands for the test file's path
        QTest::addColumn<int>("documents");
        QTest::newRow("nothing") << QStringList{} << 0;
        QTest::newRow("only blanks") << QStringList{"  ", " "} << 0;
        QTest::newRow("a full path") << QStringList{"<file>"} << 1;
        QTest::newRow("a path with blanks, split by the shell") << QStringList{"<dir>/my", "notes", "file.txt"} << 1;
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, documents);
        QString expectedPath;
        AppFixture app(arguments, [&](AppFixture &a) {
            a.writeFile(QStringLiteral("my notes file.txt"), "hello\r\n");
            a.ctx->settings.RegWriteString(SettingsStore::kViewersKey, QStringLiteral("File2"), QStringLiteral("lynx"));
            for (QString &arg : arguments) {
                arg.replace(QLatin1String("<file>"), a.path(QStringLiteral("my notes file.txt")));
                arg.replace(QLatin1String("<dir>"), a.dir.path());
            }
            expectedPath = a.path(QStringLiteral("my notes file.txt"));
        });
        QVERIFY(app.frame->isVisible());
        QCOMPARE(app.frame->windowTitle(), QStringLiteral("Orvane"));
        QCOMPARE(app.shownDocuments().size(), documents);
        if (documents) {
            QTRY_COMPARE(app.shownDocuments().first()->subWindow()->windowTitle(), expectedPath);
            QCOMPARE(editorOf(app.shownDocuments().first())->Text(), QStringLiteral("hello"));
            QCOMPARE(app.menuBarCaptions(), kDocumentMenus);
        } else {
            QCOMPARE(app.menuBarCaptions(), kFrameMenus);
        }
        // Start-up made the "tempfile" directory and read the templates directory.
        QVERIFY(QFileInfo(app.ctx->settings.ProgramDirectory() + QStringLiteral("tempfile")).isDir());
        QCOMPARE(app.ctx->TemplatesDir, app.ctx->settings.ProgramDirectory() + QStringLiteral("Templates/"));
        QCOMPARE(app.ctx->viewers[2].Title, QStringLiteral("UnNamed Program"));
    }

    void severalFilesOnTheCommandLine()
    {
        QStringList paths;
        AppFixture app({}, [&](AppFixture &a) {
            paths = {a.writeFile(QStringLiteral("one.txt"), "1"), a.writeFile(QStringLiteral("two.txt"), "2")};
        });
        AppFixture several(paths);
        QCOMPARE(several.shownDocuments().size(), 2);
        QCOMPARE(several.record(several.shownDocuments()[1]).FilePath(), paths[1]);
        // One of them missing: the joined path is what failed.
        AppFixture missing({paths[0], app.path(QStringLiteral("gone.txt"))},
                           [](AppFixture &a) { a.dialogs.answers << Answer::Abort; });
        QCOMPARE(missing.shownDocuments().size(), 0);
        QCOMPARE(missing.dialogs.asked.size(), 1);
        QVERIFY(missing.dialogs.lastText().contains(QStringLiteral("not found: ") + paths[0] + QStringLiteral(" ")
                                                    + app.path(QStringLiteral("gone.txt"))));
    }

    void unreadableCommandLineStillShowsTheFrame()
    {
        AppFixture app({QStringLiteral("/no/such/file.txt")}, [](AppFixture &a) { a.dialogs.answers << Answer::Abort; });
        QCOMPARE(app.dialogs.asked.size(), 1);
        QVERIFY(app.dialogs.lastText().startsWith(QLatin1String("There was an error in reading your file")));
        QVERIFY(app.frame->isVisible());
        QCOMPARE(app.shownDocuments().size(), 0);
    }

    // The bar shown, and in it File > New: the frame's while no document
    // is shown, else the active document's.
    void menuBarFollowsTheDocuments()
    {
        AppFixture app;
        const auto shownNewMenu = [&app] {
            QMenu *fileNew = app.frame->menuBar()->actions().first()->menu()->actions().first()->menu();
            QStringList items{fileNew->objectName()};
            for (QAction *a : fileNew->actions())
                items << (a->isVisible() ? "" : "hidden ") + (a->isSeparator() ? "- " + a->objectName() : a->text());
            return items;
        };
        const QStringList frameNew = {"mnuFileNew", "&New Document", "- mnuFileNewCut01", "New from Template"};
        const QStringList documentNew = {"mnuFileNew", "New &Document", "- mnuFileNewCut01", "New From Template"};
        QCOMPARE(app.menuBarCaptions(), kFrameMenus);
        QCOMPARE(shownNewMenu(), frameNew);
        actionOf(app.frame, "mnuNew")->trigger();
        QTRY_COMPARE(app.menuBarCaptions(), kDocumentMenus);
        QCOMPARE(shownNewMenu(), documentNew);
        frmDoc *w = app.shownDocuments().first();
        QCOMPARE(app.frame->activeDocument(), w);
        actionOf(w, "mnuFileClose")->trigger();
        QTRY_COMPARE(app.menuBarCaptions(), kFrameMenus);
        QCOMPARE(shownNewMenu(), frameNew);
        actionOf(app.frame, "mnuNew")->trigger();
        QTRY_COMPARE(app.menuBarCaptions(), kDocumentMenus);
        actionOf(app.shownDocuments().first(), "mnuFileExit")->trigger();
        QTRY_COMPARE(app.menuBarCaptions(), kFrameMenus);
    }

    void shortcutsActOnTheActiveWindowOnly()
    {
        AppFixture app;
        for (int i = 0; i < 3; ++i)
            app.newDocument();
        QList<frmDoc *> docs = app.shownDocuments();
        for (frmDoc *w : docs)
            editorOf(w)->SetText(QStringLiteral("text of ") + w->Tag());
        // The third is closed with File > Close: hidden, still loaded.
        app.dialogs.answers << Answer::No;
        actionOf(docs[2], "mnuFileClose")->trigger();
        app.frame->mdiArea()->setActiveSubWindow(docs[0]->subWindow());
        QTRY_COMPARE(app.frame->activeDocument(), docs[0]);
        pressIn(docs[0], QKeySequence(QStringLiteral("Ctrl+A")));
        QCOMPARE(editorOf(docs[0])->SelLength(), 9);
        QCOMPARE(editorOf(docs[1])->SelLength(), 0);
        QCOMPARE(editorOf(docs[2])->SelLength(), 0);
        // Ctrl+N makes exactly one new document, reusing the hidden window.
        pressIn(docs[0], QKeySequence(QStringLiteral("Ctrl+N")));
        QCOMPARE(app.shownDocuments().size(), 3);
        QCOMPARE(app.docs().DocumentCount(), 3);
    }

    // With two windows open, every key reaches its item in the focused
    // editor of the active window only, and beats the editor's own bindings.
    void menuShortcutsReachTheirCommands()
    {
        AppFixture app;
        frmDoc *other = app.newDocument();
        frmDoc *w = app.newDocument();
        editorOf(w)->SetText(QStringLiteral("Lower upper"));
        editorOf(w)->SetSelStart(2);

        pressIn(w, QKeySequence(QStringLiteral("Ctrl+A")));
        QCOMPARE(editorOf(w)->SelLength(), 11);
        pressIn(w, QKeySequence(QStringLiteral("Ctrl+O")));
        QCOMPARE(app.dialogs.fileFilters.size(), 1); // the open dialog was shown (and cancelled)
        pressIn(w, QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(app.dialogs.fileFilters.size(), 2); // untitled: the save dialog
        app.dialogs.answers << Answer::No; // print the whole text, not the selection
        pressIn(w, QKeySequence(QStringLiteral("Ctrl+P")));
        QCOMPARE(app.printer.printed, QStringList{QStringLiteral("Lower upper")});

        // The fragments' keys (the three that ask are cancelled); keys of
        // commands not offered yet, and Alt with a letter that is no access
        // key, do nothing.
        editorOf(w)->SetSelStart(0);
        for (const char *key : {"Ctrl+B", "Ctrl+U", "Ctrl+I", "F2", "Ctrl+L", "Ctrl+E", "Shift+F2", "F3", "F4", "Ctrl+F5",
                                "Alt+I", "Alt+Q", "Alt+Shift+K", "Meta+X"})
            pressIn(w, QKeySequence(QString::fromLatin1(key)));
        QCOMPARE(editorOf(w)->Text(), QStringLiteral("<B><!-- Paragraph //--></B><U><!-- Paragraph //--></U>"
                                                        "<I><!-- Paragraph //--></I><BR /><A href='#' target='_SELF'>"
                                                        "[Insert Text]</A><A href='mailto:#' target='_SELF'>[Insert Text]</A>"
                                                        "<Span ID='' name='' class=''>[INSERT TEXT HERE]</span>Lower upper"));
        QCOMPARE(editorOf(other)->Text(), QString());
        pressIn(w, QKeySequence(QStringLiteral("Ctrl+N")));
        QCOMPARE(app.shownDocuments().size(), 3);
    }

    // Reopen Documents at Start-up, off at first: on, the next start opens
    // the documents shown when the frame closed, each at its caret and
    // first line, and names the files that are gone in one message.
    void documentsReopenAtStartUp()
    {
        QTemporaryDir home;
        const QString a = home.filePath(QStringLiteral("a.txt")), b = home.filePath(QStringLiteral("b.txt")),
                      gone = home.filePath(QStringLiteral("gone.txt"));
        for (const QString &path : {a, b, gone})
            QVERIFY(writeBytes(path, QByteArray("line\r\n").repeated(200)));
        {
            AppFixture app({a}, {}, QString(), home.path());
            frmDoc *first = app.shownDocuments().first();
            QVERIFY(!actionOf(first, "mnuOptionsReopenDocuments")->isChecked());
            frmDoc *closed = app.docs().OpenFileByPath(b);
            app.docs().OpenFileByPath(gone);
            actionOf(closed, "mnuOptionsReopenDocuments")->trigger();
            QVERIFY(actionOf(closed, "mnuOptionsReopenDocuments")->isChecked());
            actionOf(closed, "mnuFileClose")->trigger();
            first->setPlace(600, 50);
            // Replaced by a named pipe: said once, with why, never opened.
            QVERIFY(QFile::remove(gone) && ::mkfifo(QFile::encodeName(gone).constData(), 0600) == 0);
            QCloseEvent close;
            QApplication::sendEvent(app.frame, &close);
            QVERIFY(close.isAccepted());
        }
        AppFixture again({}, [](AppFixture &f) { f.dialogs.answers << Answer::Ok; }, QString(), home.path());
        QCOMPARE(again.shownDocuments().size(), 1);
        frmDoc *w = again.shownDocuments().first();
        QCOMPARE(again.record(w).FilePath(), a);
        QCOMPARE(w->place(), std::make_pair(600, 50));
        QCOMPARE(again.dialogs.asked.size(), 1);
        QVERIFY2(again.dialogs.lastText().endsWith(gone + QStringLiteral(" (Path/File access error: not a regular file (a named pipe))")),
                 qPrintable(again.dialogs.lastText()));
    }

    // Reopened documents come back in their windows as the windowed view
    // left them: minimised, maximised (the active one) or at their place
    // and size, a maximised one keeping the place it is restored to.
    void documentsReopenInTheirWindows()
    {
        QTemporaryDir home;
        QStringList files;
        for (const char *name : {"a.txt", "b.txt", "c with blanks.txt"}) {
            files << home.filePath(QLatin1String(name));
            QVERIFY(writeBytes(files.last(), "text\r\n"));
        }
        const QList<QRect> boxes = {{10, 20, 420, 300}, {40, 50, 440, 320}, {70, 80, 460, 340}};
        const auto reopenOn = [](AppFixture &f) { f.ctx->settings.setValue(SettingsStore::Key::ReopenDocuments, true); };
        {
            AppFixture app(files, reopenOn, QString(), home.path());
            const QList<frmDoc *> docs = app.shownDocuments();
            for (int i = 0; i < 3; ++i)
                docs[i]->subWindow()->setGeometry(boxes[i]);
            docs[0]->subWindow()->showMinimized();
            app.frame->mdiArea()->setActiveSubWindow(docs[1]->subWindow());
            docs[1]->subWindow()->showMaximized();
            QCloseEvent close;
            QApplication::sendEvent(app.frame, &close);
        }
        AppFixture again({}, {}, QString(), home.path());
        const QList<frmDoc *> docs = again.shownDocuments();
        QCOMPARE(docs.size(), 3);
        QCOMPARE(again.record(docs[2]).FilePath(), files[2]);
        QCOMPARE(again.frame->activeDocument(), docs[1]);
        QVERIFY(docs[0]->subWindow()->isMinimized());
        QVERIFY(docs[1]->subWindow()->isMaximized());
        QCOMPARE(docs[2]->subWindow()->geometry(), boxes[2]);
        for (int i : {1, 0}) { // restored while another is maximised, a window is maximised
            docs[i]->subWindow()->showNormal();
            QCOMPARE(docs[i]->subWindow()->geometry(), boxes[i]);
        }
    }

    // With Tabs on, documents reopen in the bar's order with the active one
    // active, and the list keeps the order the tabs were moved to and the
    // windowed states it was read with. An older entry still reads.
    void sessionKeepsTabOrderAndWindowedStates()
    {
        QTemporaryDir home;
        QStringList files;
        for (const char *name : {"x with blanks.txt", "y.txt", "z.txt"}) {
            files << home.filePath(QLatin1String(name));
            QVERIFY(writeBytes(files.last(), QByteArray("line\r\n").repeated(50)));
        }
        AppFixture app({}, [&](AppFixture &f) {
            f.ctx->settings.setValue(SettingsStore::Key::Tabs, true);
            f.ctx->settings.setValue(SettingsStore::Key::ReopenDocuments, true);
            f.ctx->settings.setValue(SettingsStore::Key::SessionDocument, "12 0 " + files[0], 1);
            f.ctx->settings.setValue(SettingsStore::Key::SessionDocument, "normal,active 5,6,400,300 0 0 " + files[1], 2);
            f.ctx->settings.setValue(SettingsStore::Key::SessionDocument, "minimised 7,8,420,310 0 0 " + files[2], 3);
        }, QString(), home.path());
        const QList<frmDoc *> docs = app.shownDocuments();
        QCOMPARE(docs.size(), 3);
        QCOMPARE(app.record(docs[0]).FilePath(), files[0]);
        QCOMPARE(docs[0]->place().first, 12);
        QCOMPARE(app.frame->activeDocument(), docs[1]);
        app.frame->mdiArea()->findChild<QTabBar *>()->moveTab(2, 0);
        app.frame->mdiArea()->setActiveSubWindow(docs[0]->subWindow());
        QCloseEvent close;
        QApplication::sendEvent(app.frame, &close);
        QStringList stored;
        for (int i = 1; i <= 4; ++i)
            stored << app.ctx->settings.value(SettingsStore::Key::SessionDocument, i).toString();
        stored[1] = stored[1].section(u' ', 0, 0) + " <box> " + stored[1].section(u' ', 2); // where the area put it
        QCOMPARE(stored, (QStringList{"minimised 7,8,420,310 0 0 " + files[2], "normal,active <box> 12 0 " + files[0],
                                      "normal 5,6,400,300 0 0 " + files[1], ""}));
    }

    // Options > Tabs, off at first, then as left: one tab per shown window
    // (File > Close only hides one), the title with a mark for unsaved
    // changes, the file as the tooltip; a middle click closes.
    void tabsFollowShownWindows()
    {
        QTemporaryDir home;
        {
            AppFixture app({}, {}, QString(), home.path());
            QCOMPARE(app.frame->mdiArea()->viewMode(), QMdiArea::SubWindowView);
            actionOf(app.newDocument(), "mnuOptionsTabs")->trigger();
        }
        QStringList files;
        for (const char *name : {"x.txt", "y.txt", "z.txt"}) {
            files << home.filePath(QLatin1String(name));
            QVERIFY(writeBytes(files.last(), "text\r\n"));
        }
        AppFixture app(files, {}, QString(), home.path());
        QCOMPARE(app.frame->mdiArea()->viewMode(), QMdiArea::TabbedView);
        auto *bar = app.frame->mdiArea()->findChild<QTabBar *>();
        const auto tabs = [bar] {
            QStringList shown;
            for (int i = 0; i < bar->count(); ++i) {
                if (bar->isTabVisible(i))
                    shown << bar->tabText(i) + QLatin1Char('|') + bar->tabToolTip(i);
            }
            return shown;
        };
        const QList<frmDoc *> docs = app.shownDocuments();
        actionOf(docs[1], "mnuFileClose")->trigger();
        editorOf(docs[0])->SetText(QStringLiteral("changed"));
        QTRY_COMPARE(tabs(), (QStringList{files[0] + " *|" + files[0], files[2] + "|" + files[2]}));
        QTest::mouseClick(bar, Qt::MiddleButton, {}, bar->tabRect(2).center());
        QCOMPARE(app.shownDocuments(), QList<frmDoc *>{docs[0]});
        QTRY_COMPARE(tabs().size(), 1);
    }

    // With Tabs on, Ctrl+Tab and Ctrl+Shift+Tab, pressed in the text, go to
    // the next and previous shown tab in the bar's order (moves included)
    // and round its ends; the text of the window reached has the focus.
    void ctrlTabFollowsTheTabBar()
    {
        AppFixture app({}, [](AppFixture &a) { a.ctx->settings.setValue(SettingsStore::Key::Tabs, true); });
        QList<frmDoc *> docs;
        for (int i = 0; i < 4; ++i)
            docs << app.newDocument();
        auto *bar = app.frame->mdiArea()->findChild<QTabBar *>();
        bar->moveTab(3, 0);
        actionOf(docs[1], "mnuFileClose")->trigger(); // hidden: its tab is passed over
        QTRY_VERIFY(!bar->isTabVisible(2));
        app.frame->mdiArea()->setActiveSubWindow(docs[0]->subWindow()); // the second tab
        QApplication::setActiveWindow(app.frame);
        editorOf(docs[0])->setFocus();
        const QKeyCombination next(Qt::ControlModifier, Qt::Key_Tab),
            previous(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Backtab);
        const struct {
            QKeyCombination key;
            int reached;
        } steps[] = {{next, 2}, {next, 3}, {next, 0}, {previous, 3}, {previous, 2}, {previous, 0}};
        for (const auto &step : steps) {
            QTest::keyClick(QApplication::focusWidget(), step.key.key(), step.key.keyboardModifiers());
            QCOMPARE(app.frame->activeDocument(), docs[step.reached]);
            QCOMPARE(QApplication::focusWidget(), editorOf(docs[step.reached]));
        }
        QVERIFY(!docs[1]->subWindow()->isVisible()); // passing its tab did not show it again
    }

    // With Tabs on, the one window left shown fills the area under its tab,
    // however the others went; with none shown, no tab strip is left.
    void lastTabFillsTheArea_data()
    {
        QTest::addColumn<bool>("byTab");
        QTest::newRow("File > Close, which hides") << false;
        QTest::newRow("the tab's close button") << true;
    }

    void lastTabFillsTheArea()
    {
        QFETCH(bool, byTab);
        AppFixture app({}, [](AppFixture &a) { a.ctx->settings.setValue(SettingsStore::Key::Tabs, true); });
        QList<frmDoc *> docs;
        for (int i = 0; i < 3; ++i)
            docs << app.newDocument();
        QMdiArea *area = app.frame->mdiArea();
        auto *bar = area->findChild<QTabBar *>();
        const auto close = [&](frmDoc *w) {
            if (byTab)
                qobject_cast<QAbstractButton *>(bar->tabButton(area->subWindowList().indexOf(w->subWindow()), QTabBar::RightSide))->click();
            else
                actionOf(w, "mnuFileClose")->trigger();
        };
        area->setActiveSubWindow(docs[1]->subWindow());
        close(docs[0]);
        close(docs[1]);
        QMdiSubWindow *last = docs[2]->subWindow();
        QTRY_VERIFY(last->isMaximized());
        QCOMPARE(last->geometry(), area->viewport()->rect());
        close(docs[2]);
        QTRY_VERIFY(!bar->isVisible());
        QTRY_COMPARE(area->viewport()->geometry(), area->contentsRect()); // no empty band for the bar
        frmDoc *again = app.newDocument();
        QTRY_VERIFY(bar->isVisible() && again->subWindow()->isMaximized());
        QCOMPARE(area->viewport()->geometry().top(), bar->geometry().bottom() + 1);
    }

    // A maximised window closed with File > Close stays hidden whatever is
    // maximised or activated after it, and the next one is shown maximised.
    void closedMaximisedWindowsStayHidden()
    {
        AppFixture app;
        QList<frmDoc *> docs;
        for (int i = 0; i < 3; ++i)
            docs << app.newDocument();
        QMdiArea *area = app.frame->mdiArea();
        area->setActiveSubWindow(docs[0]->subWindow());
        docs[0]->subWindow()->showMaximized();
        actionOf(docs[0], "mnuFileClose")->trigger();
        QTRY_VERIFY(app.docs().activeWindow() && app.docs().activeWindow()->subWindow()->isMaximized());
        docs[1]->subWindow()->showMaximized();
        area->setActiveSubWindow(docs[2]->subWindow());
        area->setActiveSubWindow(docs[1]->subWindow());
        QVERIFY(!docs[0]->subWindow()->isVisible());
        QCOMPARE(app.shownDocuments().size(), 2);
    }

    // The program ends with the frame: no tool window stays to act on
    // documents that are gone.
    void closingTheFrameClosesToolWindows()
    {
        AppFixture app;
        frmDoc *w = app.newDocument();
        actionOf(w, "mnuToolsUrlSnip")->trigger();
        auto *tool = app.ctx->windows.find<QWidget>(QStringLiteral("frmUrlSnip"));
        QVERIFY(tool && tool->isVisible());
        QVERIFY(app.frame->close());
        QVERIFY(!tool->isVisible());
    }

    void filesDroppedOnTheFrame()
    {
        AppFixture app;
        QList<QUrl> urls;
        for (const char *name : {"one.txt", "two.txt", "three.txt"})
            urls << QUrl::fromLocalFile(app.writeFile(QString::fromLatin1(name), QByteArray(name) + "\r\n"));
        QMimeData text;
        text.setText(QStringLiteral("words"));
        QVERIFY(!simulateDrop(app.frame, &text));
        QMimeData files;
        files.setUrls(urls);
        QVERIFY(simulateDrop(app.frame, &files));
        QTRY_COMPARE(app.shownDocuments().size(), 3);
        QStringList texts;
        for (frmDoc *w : app.shownDocuments())
            texts << editorOf(w)->Text();
        QCOMPARE(texts, (QStringList{"one.txt", "two.txt", "three.txt"}));
    }

    void documentFromClip_data()
    {
        QTest::addColumn<bool>("hasText");
        QTest::newRow("text on the clipboard") << true;
        QTest::newRow("no text") << false;
    }

    void documentFromClip()
    {
        QFETCH(bool, hasText);
        AppFixture app;
        if (hasText)
            QGuiApplication::clipboard()->setText(QStringLiteral("from\nanother program"));
        else
            QGuiApplication::clipboard()->clear();
        actionOf(app.frame, "mnuDFClip")->trigger();
        QCOMPARE(app.shownDocuments().size(), 1);
        frmDoc *w = app.shownDocuments().first();
        QTRY_COMPARE(w->subWindow()->windowTitle(), QStringLiteral("Clipboard"));
        // Line breaks come in as the document holds them: CR LF.
        QCOMPARE(editorOf(w)->Text(), hasText ? QStringLiteral("from\r\nanother program") : QString());
        QCOMPARE(w->panel(QStringLiteral("lngth"))->text(), hasText ? QStringLiteral("Length: 21") : QStringLiteral("Length: 0"));
        QCOMPARE(app.record(w).Changed(), true);
        QCOMPARE(app.record(w).FilePath(), QString());
    }

    // No two access keys of one window or one menu clash, except where the
    // design's own captions do; the document shows its find bar and notice.
    void accessKeysDoNotClash()
    {
        AppFixture app;
        QStringList found;
        frmDoc *w = app.newDocument();
        actionOf(w, "mnuSearchFind")->trigger();
        w->showDiskNotice(frmDoc::DiskNotice::Changed);
        for (const char *modal : {"mnuInsertStampDate", "mnuFileAppendContents", "mnuInsertFontName"}) {
            whenModal(modal, [&](QWidget *d) {
                found << windowClashes(d);
                d->close();
            });
            actionOf(w, modal)->trigger();
        }
        for (const char *opens : {"mnuNewTemplate", "mnuToolsSnip", "mnuToolsUrlSnip", "mnuToolsQuickSearch",
                                  "mnuToolsProjectList", "mnuSetViewer", "mnuToolsInsertBox", "mnuHelpAbout"})
            actionOf(w, opens)->trigger();
        whenModal("Install Template window", [&](QWidget *d) {
            found << windowClashes(d);
            d->close();
        });
        app.ctx->windows.find<QWidget>(QStringLiteral("frmNew"))->findChild<QPushButton *>(QStringLiteral("Command2"))->click();
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top->isVisible())
                found << windowClashes(top);
        }
        QCOMPARE(found, QStringList());
    }

    void aboutWindow()
    {
        AppFixture app;
        actionOf(app.frame, "mnuHelpAbout")->trigger();
        frmAbout *about = app.ctx->windows.find<frmAbout>(QStringLiteral("frmAbout"));
        QVERIFY(about);
        about->move(0, 0);
        frmDoc *w = app.newDocument(); // the document's item opens the same window
        actionOf(w, "mnuHelpAbout")->trigger();
        QCOMPARE(app.ctx->windows.find<frmAbout>(QStringLiteral("frmAbout")), about);
        const QWidgetList tops = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(tops.begin(), tops.end(),
                               [](QWidget *w) { return w->objectName() == QLatin1String("frmAbout"); }),
                 1);
        const QRect screen = about->screen()->geometry();
        QCOMPARE(about->frameGeometry().center().x() / 2, screen.center().x() / 2);
        QCOMPARE(about->lblProgTitle->text(), QStringLiteral("Orvane"));
        QVERIFY(qAbs(about->lblProgTitle->geometry().center().x() - about->width() / 2) <= 1);
        QVERIFY(qAbs(about->lblCopyright->geometry().center().x() - about->width() / 2) <= 1);

        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QPointer<frmAbout> shown = frmAbout::showAbout(app.ctx->windows);
            QTest::keyClick(shown, key);
            QTRY_VERIFY(!shown);
        }
        about = frmAbout::showAbout(app.ctx->windows);
        QTest::mousePress(about->Label1, Qt::LeftButton);
        QCOMPARE(about->Label1->frameShape(), QFrame::Box);
        QPointer<frmAbout> watched = about;
        QTest::mouseRelease(about->Label1, Qt::LeftButton);
        QTRY_VERIFY(!watched);
    }
};

ORVANE_GUI_TEST_MAIN(TestFrame)
#include "tst_frame.moc"
