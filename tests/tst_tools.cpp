// Projects and tools as a user meets them: the project window, external
// viewers and the settings window, the snip tools (a real HTTP server on
// 127.0.0.1), quick scan and append to file.
#include "core/ProjectList.h"
#include "core/TemplateLibrary.h"
#include "project/frmProject.h"
#include "templates/frmNew.h"
#include "support/AppFixture.h"
#include "support/Drops.h"
#include "support/Modal.h"
#include "tools/FindInFilesPanel.h"
#include "tools/frmAppend.h"
#include "ui/FileChooser.h"
#include "tools/frmQuick.h"
#include "tools/frmSnip.h"
#include "tools/frmUrlSnip.h"
#include "tools/frmViewSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTreeWidget>
#include <QUrl>
#include <sys/stat.h>

using Answer = Dialogs::Answer;

namespace {

// Answers GET requests on 127.0.0.1 from a table of path -> raw response.
class HttpServer : public QTcpServer
{
public:
    QMap<QByteArray, QByteArray> responses;
    HttpServer()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *s = nextPendingConnection();
            connect(s, &QTcpSocket::readyRead, s, [this, s] {
                const QByteArray path = s->readAll().split(' ').value(1);
                s->write(responses.value(path, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"));
                s->disconnectFromHost();
            });
        });
    }
    QString url(const char *path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(QLatin1String(path)); }
};

QByteArray ok(const QByteArray &body, const QByteArray &type)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: " + type + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QStringList rows(QTreeWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        out << list->topLevelItem(i)->text(1) + list->topLevelItem(i)->text(0);
    return out;
}

} // namespace

class TestTools : public QObject
{
    Q_OBJECT

private slots:
    // Every item of every menu has a command now: none is disabled for
    // being not built yet.
    void everyMenuItemIsOffered()
    {
        AppFixture app;
        QList<QAction *> items = app.frame->findChildren<QAction *>(QString(), Qt::FindDirectChildrenOnly);
        for (QMenu *menu : app.frame->findChildren<QMenu *>())
            items += menu->actions();
        for (QAction *a : items + documentMenus(app.newDocument())->findChildren<QAction *>()) {
            if (!a->isSeparator() && !a->menu() && a->objectName().startsWith(QLatin1String("mnu"))
                && a->objectName() != QLatin1String("mnuOpenRecent"))
                QVERIFY2(CommandRegistry::isOffered(a), qPrintable(a->objectName()));
        }
    }

    void projectWindow()
    {
        AppFixture app;
        QStringList files;
        for (const char *name : {"a.html", "b.css", "c.js"})
            files << app.writeFile(QLatin1String(name), name);
        actionOf(app.frame, "mnuPL")->trigger();
        auto *w = app.ctx->windows.find<frmProject>(QStringLiteral("frmProject"));
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->cboPrjMode->currentText(), QStringLiteral("Drive"));
        QVERIFY(!w->fraUrlInfo->isEnabled());
        for (const char *mode : {"Local", "Network", "Drive"}) {
            w->cboPrjMode->setCurrentText(QLatin1String(mode));
            QCOMPARE(w->fraUrlInfo->isEnabled(), QLatin1String(mode) != QLatin1String("Drive"));
        }
        QVERIFY(!w->cmdAction[2]->isEnabled() && !w->cmdAction[4]->isEnabled());
        for (const QString &f : files) {
            app.dialogs.fileNames << f;
            w->cmdAction[0]->click(); // Add File
        }
        QCOMPARE(w->prjList->topLevelItemCount(), 3);
        QCOMPARE(w->prjList->topLevelItem(0)->text(3), QLocale().toString(QDate::currentDate(), QStringLiteral("dd MMM yyyy")));
        w->prjList->setCurrentItem(w->prjList->topLevelItem(1));
        w->cmdAction[1]->click(); // Drop File: the middle one
        QCOMPARE(rows(w->prjList), (QStringList{files[0], files[2]}));

        const QString project = app.path(QStringLiteral("site.TEP"));
        app.dialogs.fileNames << project;
        w->cmdAction[3]->click(); // Save
        QCOMPARE(w->txtStatus->toPlainText(), QStringLiteral("Project Saved Successfully!"));
        QCOMPARE(w->txtProjectName->text(), project);
        app.dialogs.fileNames << project;
        w->cmdAction[5]->click(); // Open
        QCOMPARE(rows(w->prjList), (QStringList{files[0], files[2]}));
        emit w->prjList->itemDoubleClicked(w->prjList->topLevelItem(1), 0);
        QCOMPARE(app.record(app.shownDocuments().last()).FilePath(), files[2]);

        // Closed and shown again: empty fields, and the project list kept.
        QPointer<frmProject> watched = w;
        w->close();
        QTRY_VERIFY(!watched);
        actionOf(app.shownDocuments().last(), "mnuToolsProjectList")->trigger();
        w = app.ctx->windows.find<frmProject>(QStringLiteral("frmProject"));
        QCOMPARE(w->prjList->topLevelItemCount(), 0);
        QCOMPARE(w->txtProjectName->text(), QString());
        app.dialogs.fileNames << files[1];
        w->cmdAction[0]->click();
        QCOMPARE(rows(w->prjList), (QStringList{files[0], files[2], files[1]}));
    }

    // A real start of a script that records its arguments.
    void viewers()
    {
        AppFixture app;
        const QString record = app.path(QStringLiteral("args.txt"));
        const QString script = app.writeFile(QStringLiteral("view er.sh"), "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + record.toUtf8() + "\"\n");
        QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        app.ctx->viewers[0] = {QLatin1Char('\'') + script + QStringLiteral("' --fixed"), QStringLiteral("Browser")};
        app.ctx->viewers[1] = {QStringLiteral("/no/such/program"), QStringLiteral("Gone")};
        frmDoc *w = app.newDocument();
        w->RefreshViewerMenu();
        const QList<QAction *> items = documentMenus(w)->findChildren<QAction *>(QStringLiteral("mnuViewProgram"));
        QVERIFY(items[0]->isEnabled() && !items[2]->isEnabled());

        app.dialogs.answers << Answer::Ok;
        items[0]->trigger(); // never saved
        QCOMPARE(app.dialogs.lastText(), QStringLiteral("You must save your document before you can preview it using Browser"));
        QCOMPARE(app.dialogs.asked.last().caption, QStringLiteral("Document Not Saved"));
        QCOMPARE(app.dialogs.beeps, 1);

        app.record(w).setFilePath(app.writeFile(QStringLiteral("my page.html"), "<p>"));
        items[0]->trigger();
        QTRY_COMPARE(app.readFile(record), "--fixed\n" + app.path(QStringLiteral("my page.html")).toUtf8() + "\n");
        // A name given relative to the current folder, that looks like an
        // option, reaches the viewer as a full path.
        QFile::remove(record);
        QVERIFY(QDir::setCurrent(app.dir.path()));
        app.record(w).setFilePath(QStringLiteral("--help.html"));
        items[0]->trigger();
        QTRY_COMPARE(app.readFile(record), "--fixed\n" + app.path(QStringLiteral("--help.html")).toUtf8() + "\n");
        app.dialogs.answers << Answer::Ok;
        items[1]->trigger();
        QVERIFY2(app.dialogs.lastText().contains(QLatin1String("/no/such/program")), qPrintable(app.dialogs.lastText()));
    }

    void settingsWindow()
    {
        AppFixture app;
        app.ctx->viewers[0] = {QStringLiteral("lynx"), QStringLiteral("Text")};
        actionOf(app.frame, "mnuViewSettings")->trigger();
        auto *s = app.ctx->windows.find<frmViewSettings>(QStringLiteral("frmViewSettings"));
        QVERIFY(s && s->isVisible());
        QCOMPARE(s->txtProgram[0]->text(), QStringLiteral("lynx"));
        s->txtProgram[0]->clear();
        s->txtTitle[0]->setText(QStringLiteral("   ")); // both empty: entry 0 stays
        app.dialogs.fileNames << QStringLiteral("  /usr/bin/firefox  ");
        s->cmdBrowse[1]->click();
        s->txtTitle[1]->setText(QStringLiteral(" Web "));
        s->txtTempDir->setText(QStringLiteral(" /srv/tpl"));
        s->cmdApply->click();
        QCOMPARE(app.ctx->viewers[0].File, QStringLiteral("lynx"));
        QCOMPARE(app.ctx->viewers[1].File, QStringLiteral("/usr/bin/firefox"));
        QCOMPARE(app.ctx->viewers[1].Title, QStringLiteral("Web"));
        QCOMPARE(app.ctx->TemplatesDir, QStringLiteral(" /srv/tpl"));
        ExternalViewerTable stored;
        app.ctx->settings.LoadExternalViewers(stored);
        QCOMPARE(stored[1].Title, QStringLiteral("Web"));
        QCOMPARE(app.ctx->settings.LoadSettings(), QStringLiteral("/srv/tpl"));
    }

    void snipTool()
    {
        AppFixture app;
        frmDoc *a = app.newDocument();
        frmDoc *b = app.newDocument();
        const QString source = app.writeFile(QStringLiteral("source.txt"), "first line\nsecond\n");
        actionOf(a, "mnuToolsSnip")->trigger();
        auto *snip = app.ctx->windows.find<frmSnip>(QStringLiteral("frmSnip"));
        QCOMPARE(snip->Tag, a->Tag());
        app.dialogs.fileNames << source;
        snip->Command1->click(); // Open
        QCOMPARE(snip->txtSnip->Text(), QStringLiteral("first line\r\nsecond\r\n"));
        snip->Command2->click(); // nothing selected: stays
        QVERIFY(snip->isVisible());
        snip->txtSnip->SetSelStart(6);
        snip->txtSnip->SetSelLength(12);
        app.frame->mdiArea()->setActiveSubWindow(b->subWindow()); // the grab still goes to A
        snip->Command2->click();
        QCOMPARE(editorOf(a)->Text(), QStringLiteral("line\r\nsecond"));
        QCOMPARE(editorOf(b)->Text(), QString());
        QTRY_VERIFY(!app.ctx->windows.find<frmSnip>(QStringLiteral("frmSnip")));

        // Opened from B, which is then closed and its slot taken by a new
        // document C: the tool stays, says so, and C gets nothing.
        actionOf(b, "mnuToolsSnip")->trigger();
        snip = app.ctx->windows.find<frmSnip>(QStringLiteral("frmSnip"));
        snip->loadFile(source);
        snip->txtSnip->selectAll();
        app.dialogs.answers << Answer::Ok;
        b->CloseDocument();
        frmDoc *c = app.newDocument();
        QCOMPARE(c->Tag(), snip->Tag);
        app.dialogs.answers << Answer::Ok;
        snip->Command2->click();
        QVERIFY(app.dialogs.lastText().contains(QLatin1String("has been closed")));
        QVERIFY(snip->isVisible());
        QCOMPARE(editorOf(c)->Text(), QString());
        QMimeData two;
        two.setUrls({QUrl::fromLocalFile(source), QUrl::fromLocalFile(source)});
        app.dialogs.answers << Answer::Ok;
        QVERIFY(simulateDrop(snip->txtSnip->viewport(), &two));
        QTRY_COMPARE(app.dialogs.lastText(), QStringLiteral("You can only drop one file into the snip tool"));
        app.dialogs.answers << Answer::Abort;
        snip->loadFile(app.path(QStringLiteral("gone.txt")));
        QVERIFY(app.dialogs.lastText().startsWith(QLatin1String("There was an error in reading your file\r\n")));
        QCOMPARE(snip->txtSnip->Text(), QStringLiteral("first line\r\nsecond\r\n"));
    }

    void urlSnip_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("failure"); // in the message; "" for none
        QTest::newRow("Windows-1252 by its header") << QByteArray("/1252") << "caf\u00e9 \u20ac" << "";
        QTest::newRow("UTF-8 without a charset") << QByteArray("/utf8") << "caf\u00e9" << "";
        QTest::newRow("an empty body") << QByteArray("/empty") << "" << "";
        QTest::newRow("a redirect") << QByteArray("/moved") << "caf\u00e9 \u20ac" << "";
        QTest::newRow("404") << QByteArray("/missing") << "" << "Not Found";
        QTest::newRow("a refused port") << QByteArray("refused") << "" << "refused";
        QTest::newRow("a damaged compressed body") << QByteArray("/gzip") << ""
                                                   << "Decompression failed: the server's answer could not be read as sent";
        QTest::newRow("no scheme") << QByteArray("127.0.0.1/utf8") << "" << "Add http:// or https:// in front of the address";
        // The tool takes at most 1,000 bytes here.
        QTest::newRow("too big, announced") << QByteArray("/announced") << ""
                                            << "the server announces 2.8 GB, more than the snip tool takes (1000 bytes)";
        QTest::newRow("too big, not announced") << QByteArray("/endless") << ""
                                                << "the answer is larger than the snip tool takes (1000 bytes); the load was stopped";
    }

    void urlSnip()
    {
        QFETCH(QByteArray, path);
        QFETCH(QString, text);
        QFETCH(QString, failure);
        HttpServer server;
        server.responses["/1252"] = ok("caf\xE9 \x80", "text/plain; charset=windows-1252");
        server.responses["/utf8"] = ok("caf\xC3\xA9", "text/plain");
        server.responses["/empty"] = ok("", "text/html");
        server.responses["/announced"] = "HTTP/1.1 200 OK\r\nContent-Length: 3000000000\r\n\r\nabc";
        server.responses["/endless"] = "HTTP/1.0 200 OK\r\n\r\n" + QByteArray(5000, 'x');
        server.responses["/gzip"] = "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: 8\r\n\r\nnot gzip";
        server.responses["/moved"] = "HTTP/1.1 302 Found\r\nLocation: /1252\r\nContent-Length: 0\r\n\r\n";
        QTcpServer closed;
        closed.listen(QHostAddress::LocalHost);
        const QString refused = QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort());
        closed.close();
        AppFixture app;
        frmDoc *w = app.newDocument();
        actionOf(w, "mnuToolsUrlSnip")->trigger();
        auto *u = app.ctx->windows.find<frmUrlSnip>(QStringLiteral("frmUrlSnip"));
        QCOMPARE(u->Label3->text(), QStringLiteral("Idle"));
        if (!failure.isEmpty()) { // a failure follows a success
            u->txtAddress->setText(server.url("/utf8"));
            u->Command1->click();
            QTRY_COMPARE(u->Label3->text(), QStringLiteral("Idle"));
            app.dialogs.answers << Answer::Ok;
        }
        u->bodyLimit = 1000;
        u->txtAddress->setText(path == "refused" ? refused : path.startsWith('/') ? server.url(path.constData()) : QString::fromLatin1(path));
        u->Command1->click();
        QCOMPARE(u->Label3->text(), QStringLiteral("Working"));
        QTRY_COMPARE(u->Label3->text(), QStringLiteral("Idle"));
        QCOMPARE(u->txtUrl->Text(), text);
        if (failure.isEmpty()) {
            QCOMPARE(u->lblSize->text(), QString::number(text.size()) + QStringLiteral(" Bytes"));
            QVERIFY(app.dialogs.asked.isEmpty());
        } else {
            QCOMPARE(u->lblSize->text(), QString());
            QVERIFY2(app.dialogs.lastText().contains(u->txtAddress->text()) && app.dialogs.lastText().contains(failure),
                     qPrintable(app.dialogs.lastText()));
        }
    }

    void quickScanWindow()
    {
        AppFixture app;
        QByteArray big;
        for (int i = 0; big.size() < 40 * 1024 * 1024; ++i)
            big += "line " + QByteArray::number(i) + " with a needle\n";
        const QString path = app.writeFile(QStringLiteral("big.txt"), big);
        actionOf(app.frame, "mnuToolsQuickSearch")->trigger();
        auto *q = app.ctx->windows.find<frmQuick>(QStringLiteral("frmQuick"));
        q->Text1->setText(QStringLiteral(" NEEDLE "));
        q->Command1->click(); // the dialog is cancelled: nothing
        QCOMPARE(q->results->rowCount(), 0);
        QSignalSpy done(q, &frmQuick::scanFinished);
        q->limits.rows = 1000;
        q->scanFile(path);
        q->cmdStop->click();
        QCOMPARE(done.size(), 1);
        QVERIFY(!q->scanning() && q->results->rowCount() < 1000);
        q->scanFile(path);
        QTRY_COMPARE(done.size(), 2);
        QCOMPARE(q->results->rowCount(), 1000);
        QCOMPARE(q->results->lines().first(), QStringLiteral("line 0 with a needle"));
        QCOMPARE(q->lblMore->text(), QStringLiteral("and %1 more matching lines").arg(big.count('\n') - 1000));
        // A new scan replaces the one under way; the window closes mid-scan.
        q->scanFile(path);
        q->scanFile(path);
        QPointer<frmQuick> alive(q);
        q->close();
        QTRY_VERIFY(!alive);
    }

    // Every place that reads a file the user names or the program finds
    // refuses a named pipe (whose open would wait for ever) with a message,
    // and goes on.
    void readGate_data()
    {
        QTest::addColumn<QString>("entry");
        for (const char *entry : {"open", "insert or drop", "new from template", "snip", "url snip file://", "append target",
                                  "quick scan", "project file", "link tag", "template preview"})
            QTest::newRow(entry) << QString::fromLatin1(entry);
    }

    void readGate()
    {
        QFETCH(QString, entry);
        AppFixture app;
        const QString fifo = app.path(QStringLiteral("pipe.html"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        frmDoc *w = app.newDocument();
        app.dialogs.answers << Answer::Abort;
        if (entry == QLatin1String("open")) {
            QVERIFY(!app.docs().OpenFileByPath(fifo));
        } else if (entry == QLatin1String("insert or drop")) {
            w->InsertFileContents(fifo);
        } else if (entry == QLatin1String("new from template")) {
            QVERIFY(!frmNew::CreateFromTemplate(*app.ctx, app.docs(), fifo));
        } else if (entry == QLatin1String("snip")) {
            actionOf(w, "mnuToolsSnip")->trigger();
            app.ctx->windows.find<frmSnip>(QStringLiteral("frmSnip"))->loadFile(fifo);
        } else if (entry == QLatin1String("url snip file://")) {
            actionOf(w, "mnuToolsUrlSnip")->trigger();
            auto *u = app.ctx->windows.find<frmUrlSnip>(QStringLiteral("frmUrlSnip"));
            u->txtAddress->setText(QUrl::fromLocalFile(fifo).toString());
            u->Command1->click();
        } else if (entry == QLatin1String("append target")) {
            frmAppend d(*app.ctx, app.docs(), w->ref(), nullptr);
            d.chooseFile(fifo);
        } else if (entry == QLatin1String("quick scan")) {
            actionOf(app.frame, "mnuToolsQuickSearch")->trigger();
            app.ctx->windows.find<frmQuick>(QStringLiteral("frmQuick"))->scanFile(fifo);
        } else if (entry == QLatin1String("project file")) {
            ProjectList list;
            QString error;
            list.ReadProjectFile(fifo, &error);
            app.dialogs.message(error, Dialogs::Buttons::Ok, Dialogs::Icon::None, QString());
        } else if (entry == QLatin1String("link tag")) {
            w->SetText(QStringLiteral("<QRLLINK>") + fifo + QStringLiteral("</QRLLINK>"));
            actionOf(w, "mnuToolsExecute")->trigger();
        } else {
            QCOMPARE(TemplateLibrary::preview(fifo), QString());
            return;
        }
        QVERIFY2(app.dialogs.lastText().contains(QLatin1String("not a regular file (a named pipe)")),
                 qPrintable(app.dialogs.lastText()));
        QCOMPARE(app.shownDocuments().size(), 1);
    }

    // Search > Find in Files: in the document's folder and below, in the
    // background; a hit opens its file (or shows its window) with the match
    // selected, and stepping goes on to the next.
    void findInFiles()
    {
        AppFixture app;
        const QString page = app.writeFile(QStringLiteral("a.html"), "<p>needle</p>\nxx needle\n");
        QVERIFY(QDir(app.dir.path()).mkdir(QStringLiteral("css")));
        app.writeFile(QStringLiteral("css/b.css"), "p { needle: 1 }\n");
        frmDoc *w = app.docs().OpenFileByPath(page);
        actionOf(w, "mnuSearchFindInFiles")->trigger();
        auto *panel = app.frame->findChild<FindInFilesPanel *>(QStringLiteral("frmFindInFiles"));
        QVERIFY(panel && panel->isVisible());
        QCOMPARE(panel->txtFolder->text(), app.dir.path());
        panel->txtFindText->setText(QStringLiteral("needle"));
        panel->cmdFind->click();
        QTRY_VERIFY(panel->lblSummary->text().startsWith(QLatin1String("3 matches in 2 of ")));
        panel->step(1);
        QCOMPARE(app.shownDocuments().size(), 1); // the open window, not a second one
        QCOMPARE(editorOf(w)->SelText(), QStringLiteral("needle"));
        QCOMPARE(editorOf(w)->SelStart(), 3);
        panel->step(1);
        QCOMPARE(editorOf(w)->SelStart(), 18); // "<p>needle</p>", CR LF, "xx "
        panel->step(1);
        QCOMPARE(app.shownDocuments().size(), 2);
        QCOMPARE(editorOf(app.shownDocuments().last())->SelText(), QStringLiteral("needle"));
        // The project list's files instead of the folder.
        panel->cboWhere->setCurrentIndex(1);
        panel->cmdFind->click();
        QCOMPARE(panel->lblSummary->text(), QStringLiteral("The project list has no files."));
        QVERIFY(app.ctx->projectList.AddFileToProject(page));
        panel->cmdFind->click();
        QTRY_COMPARE(panel->lblSummary->text(), QStringLiteral("2 matches in 1 of 1 files"));
        // Stopped at once; and one still running when the frame goes.
        panel->cmdFind->click();
        panel->cmdStop->click();
        QVERIFY2(panel->lblSummary->text() == QLatin1String("Stopped.")
                     || panel->lblSummary->text().endsWith(QLatin1String(" (stopped)")),
                 qPrintable(panel->lblSummary->text()));
        QVERIFY(panel->cmdFind->isEnabled() && !panel->cmdStop->isEnabled());
        panel->cmdFind->click();
    }

    // Replace in Files: an open document is searched as it stands and gets
    // the change as an edit that Undo takes back (its file untouched),
    // closed files are written, and a file that cannot be written is named
    // while the others are.
    void replaceInFiles()
    {
        AppFixture app;
        const QString open = app.writeFile(QStringLiteral("a.html"), "needle\nkeep\n");
        const QString closed = app.writeFile(QStringLiteral("b.css"), "needle needle\n");
        const QString big = app.writeFile(QStringLiteral("c.js"), "needle" + QByteArray(3000, ';') + "\n");
        frmDoc *w = app.docs().OpenFileByPath(open);
        editorOf(w)->SetSelText(QStringLiteral("mine\r\n")); // its hit is on line 2 now, not in the file
        actionOf(w, "mnuSearchFindInFiles")->trigger();
        auto *panel = app.frame->findChild<FindInFilesPanel *>(QStringLiteral("frmFindInFiles"));
        panel->txtFindText->setText(QStringLiteral("needle"));
        panel->cmdFind->click();
        QTRY_VERIFY(panel->cmdReplace->isEnabled());
        panel->lstHits->findItems(QStringLiteral("1"), Qt::MatchExactly | Qt::MatchRecursive)[1]->setCheckState(0, Qt::Unchecked); // b.css's second
        panel->txtReplaceWith->setText(QStringLiteral("pin"));
        app.dialogs.answers << Answer::Yes << Answer::Ok;
        {
            FileSizeLimit full(1000);
            panel->cmdReplace->click();
            QTRY_VERIFY(panel->cmdFind->isEnabled());
        }
        QCOMPARE(app.dialogs.asked[0].text.section(u'\r', 0, 0), QStringLiteral("Replace 3 matches in 3 files with \"pin\"?"));
        QVERIFY2(app.dialogs.lastText().contains(QLatin1String("Not replaced:\r\n") + big), qPrintable(app.dialogs.lastText()));
        QCOMPARE(app.readFile(closed), "pin needle\n");
        QCOMPARE(app.readFile(big), "needle" + QByteArray(3000, ';') + "\n");
        QCOMPARE(app.readFile(open), "needle\nkeep\n");
        QCOMPARE(editorOf(w)->Text(), QStringLiteral("mine\r\npin\r\nkeep"));
        actionOf(w, "mnuEditUndo")->trigger();
        QCOMPARE(editorOf(w)->Text(), QStringLiteral("mine\r\nneedle\r\nkeep"));
    }

    // The target's own bytes stay as they were around the insertion.
    void appendToFile_data()
    {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("selection"); // append only the document's last character
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("AB, x at 1: 5 bytes") << QByteArray("AB") << 1 << true << QByteArray("AxB\r\n");
        QTest::newRow("CR LF file") << QByteArray("l1\r\nl2\r\n") << 4 << false << QByteArray("l1\r\nx\r\ny\r\nxl2\r\n\r\n");
        QTest::newRow("LF file keeps LF") << QByteArray("l1\nl2\n") << 4 << false << QByteArray("l1\nx\ny\nxl2\n\n");
        QTest::newRow("mixed file, lone breaks kept") << QByteArray("a\nb\r\nc\r") << 8 << false << QByteArray("a\nb\r\nc\rx\r\ny\r\nx\r\n");
        QTest::newRow("Windows-1252 stays Windows-1252") << QByteArray("caf\xE9\r\n") << 0 << false << QByteArray("x\r\ny\r\nxcaf\xE9\r\n\r\n");
        QTest::newRow("the whole document") << QByteArray("[]") << 1 << false << QByteArray("[x\r\ny\r\nx]\r\n");
    }

    void appendToFile()
    {
        QFETCH(QByteArray, target);
        QFETCH(int, position);
        QFETCH(bool, selection);
        QFETCH(QByteArray, written);
        AppFixture app;
        const QString path = app.writeFile(QStringLiteral("target.txt"), target);
        frmDoc *w = app.newDocument();
        editorOf(w)->SetText(QStringLiteral("x\r\ny\r\nx"));
        if (selection) {
            editorOf(w)->SetSelStart(6);
            editorOf(w)->SetSelLength(1);
        }
        whenModal("Append to file", [&](QWidget *modal) {
            auto *d = qobject_cast<frmAppend *>(modal);
            QVERIFY(d);
            d->chooseFile(path);
            d->Text1->SetSelStart(position);
            QTest::mouseClick(d->Text1->viewport(), Qt::LeftButton, {}, QPoint(1, 1)); // shows the position
            d->Text1->SetSelStart(position);
            QCOMPARE(d->lblPosition->text(), QStringLiteral("Position: 0"));
            d->Command1->click();
        });
        actionOf(w, "mnuFileAppendContents")->trigger();
        QCOMPARE(app.readFile(path), written);
    }

    void appendFailures()
    {
        AppFixture app;
        const QString path = app.writeFile(QStringLiteral("target.txt"), QByteArray(3000, 't'));
        app.writeFile(QStringLiteral(".htaccess"), "h");
        QDir(app.dir.path()).mkdir(QStringLiteral(".git"));
        frmDoc *w = app.newDocument();
        editorOf(w)->SetText(QStringLiteral("doc"));
        whenModal("Append to file", [&](QWidget *modal) {
            auto *d = qobject_cast<frmAppend *>(modal);
            d->chooser->setDirectory(app.dir.path()); // dot files and folders are listed too
            // The folder shown is the one listed, and so is the place it is in.
            QCOMPARE(d->chooser->folder->text(), QDir(app.dir.path()).canonicalPath());
            QVERIFY(QDir(app.dir.path()).canonicalPath().startsWith(QDir(d->chooser->places->currentText()).canonicalPath()));
            QCOMPARE(d->chooser->files->findItems(QStringLiteral(".htaccess"), Qt::MatchExactly).size(), 1);
            QCOMPARE(d->chooser->folders->findItems(QStringLiteral(".git"), Qt::MatchExactly).size(), 1);
            app.dialogs.answers << Answer::Ok << Answer::Ok;
            d->Command1->click(); // no file chosen
            QCOMPARE(app.dialogs.lastText(), QStringLiteral("Choose the file to append the document to first."));
            d->chooseFile(path);
            {
                FileSizeLimit full(1000);
                d->Command1->click();
            }
            QVERIFY(app.dialogs.lastText().startsWith(QLatin1String("Nothing was written to ")));
            QCOMPARE(d->Text1->TextLength(), 3000); // as before the failed append
            // Another program adds a line after the file was read: the read
            // question; Abort writes nothing, Retry reads the file again.
            QVERIFY(writeBytes(path, QByteArray(3000, 't') + "theirs\n"));
            d->Text1->SetSelStart(1);
            app.dialogs.answers << Answer::Abort << Answer::Retry;
            d->Command1->click();
            QVERIFY(app.dialogs.lastText().contains(QLatin1String("since it was read: nothing was written")));
            QCOMPARE(app.readFile(path), QByteArray(3000, 't') + "theirs\n");
            QVERIFY(d->isVisible());
            d->Command1->click();
            d->Command2->click();
        });
        actionOf(w, "mnuFileAppendContents")->trigger();
        QCOMPARE(app.readFile(path), "t" + QByteArray("doc") + QByteArray(2999, 't') + "theirs\n\n");
    }
};

ORVANE_GUI_TEST_MAIN(TestTools)
#include "tst_tools.moc"
