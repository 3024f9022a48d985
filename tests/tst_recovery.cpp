// Crash recovery with real processes: this test program runs itself as the
// editor ("--child"), types into two documents, and is killed with SIGKILL;
// the next start offers what was typed.
#include "core/Journal.h"
#include "document/RecoveryJournal.h"
#include "support/AppFixture.h"
#include "support/Modal.h"
#include "document/frmRecover.h"
#include "ui/StatusPanel.h"

#include <QProcess>
#include <QPushButton>
#include <QTreeWidget>
#include <csignal>

using Answer = Dialogs::Answer;

namespace {

const QString kTypedA = QStringLiteral("typed into the file ");
const QString kTypedB = QStringLiteral("untitled words\r\nand a second line");

// The editor as a child process: opens file, types into it and into a new
// document, says "ready" once both journals are on disk, then waits to be
// killed ("crash") or closes its frame, saying No to both prompts ("clean").
int runChild(const QString &home, const QString &mode, const QString &file)
{
    AppFixture app({}, [](AppFixture &a) { a.ctx->journalDelayMs = 50; }, QString(), home);
    frmDoc *a = app.docs().OpenFileByPath(file);
    QTest::keyClicks(editorOf(a), kTypedA);
    frmDoc *b = app.newDocument();
    editorOf(b)->setFocus();
    b->InsertFragment(kTypedB);
    const QString root = app.ctx->settings.ProgramDirectory() + QStringLiteral("recovery");
    QDeadlineTimer deadline(20000);
    while (QDir(root).entryList({QStringLiteral("*")}, QDir::Dirs | QDir::NoDotAndDotDot).isEmpty()
           || QDir(root + u'/' + QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot).first()).entryList({QStringLiteral("*.journal")}).size() < 2) {
        if (deadline.hasExpired())
            return 3;
        QTest::qWait(50);
    }
    app.docs().journal().waitForWrites();
    std::printf("ready\n");
    std::fflush(stdout);
    if (mode == QLatin1String("clean")) {
        app.dialogs.answers << Dialogs::Answer::No << Dialogs::Answer::No;
        return app.frame->close() ? 0 : 4;
    }
    QTest::qWait(60000); // killed long before this
    return 5;
}

struct Child {
    QProcess process;
    Child(const QString &home, const char *mode, const QString &file)
    {
        process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), home, QLatin1String(mode), file});
        if (!process.waitForStarted(10000) || !process.waitForReadyRead(30000))
            qWarning("the child did not get ready: %s", process.readAllStandardError().constData());
    }
    bool ready() { return process.readAllStandardOutput().contains("ready"); }
    void kill()
    {
        ::kill(pid_t(process.processId()), SIGKILL);
        process.waitForFinished(10000);
    }
};

QString recoveryRoot(const QString &home)
{
    return home + QStringLiteral("/data/recovery");
}

// An editor under home, with notes.txt ("original\n") open, that typed
// into it and into a new document and was killed; returns the file's path.
QString killedWithUnsavedWork(const QTemporaryDir &home)
{
    const QString file = home.filePath(QStringLiteral("notes.txt"));
    if (!writeBytes(file, "original\n"))
        qFatal("cannot write the test file");
    Child child(home.path(), "crash", file);
    if (!child.ready())
        qFatal("the child did not get ready");
    child.kill();
    return file;
}

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT

private slots:
    void killedThenRecovered()
    {
        QTemporaryDir home;
        const QString file = killedWithUnsavedWork(home);

        // Later keeps the journals for the next start.
        whenModal("recovery window", [](QWidget *modal) {
            auto *w = qobject_cast<frmRecover *>(modal);
            QVERIFY(w);
            QCOMPARE(w->lstRecover->topLevelItemCount(), 2);
            w->cmdLater->click();
        });
        {
            AppFixture later({}, {}, QString(), home.path());
            QCOMPARE(later.shownDocuments().size(), 0);
        }
        whenModal("recovery window", [](QWidget *modal) { qobject_cast<frmRecover *>(modal)->cmdRecover->click(); });
        AppFixture app({}, {}, QString(), home.path());
        const QList<frmDoc *> docs = app.shownDocuments();
        QCOMPARE(docs.size(), 2);
        QCOMPARE(editorOf(docs[0])->textBytes(), (kTypedA + QStringLiteral("original")).toUtf8());
        QCOMPARE(app.record(docs[0]).FilePath(), file);
        QCOMPARE(app.record(docs[0]).Title(), file);
        QCOMPARE(app.record(docs[0]).Format().lineEnd, TextFileCodec::LineEnd::Lf);
        QCOMPARE(editorOf(docs[1])->textBytes(), kTypedB.toUtf8());
        QCOMPARE(app.record(docs[1]).Title(), QStringLiteral("Untitled"));
        for (frmDoc *w : docs) {
            QCOMPARE(app.record(w).Changed(), true);
            w->timer2Tick();
            QCOMPARE(w->panel(QStringLiteral("Status"))->text(), QStringLiteral("Unsaved Changes Made"));
        }
        // The old journals are gone; the recovered documents have new ones.
        QCOMPARE(Journal::orphans(recoveryRoot(home.path())).size(), 0);
        // Saved as it was typed: the file keeps its LF breaks.
        app.docs().SaveDocument(docs[0]->slot());
        QCOMPARE(fileBytes(file), (kTypedA + QStringLiteral("original\n")).toUtf8());
    }

    void discarded()
    {
        QTemporaryDir home;
        const QString file = killedWithUnsavedWork(home);
        whenModal("recovery window", [](QWidget *modal) { qobject_cast<frmRecover *>(modal)->cmdDiscard->click(); });
        {
            AppFixture app({}, {}, QString(), home.path());
            QCOMPARE(app.shownDocuments().size(), 0);
        }
        QCOMPARE(Journal::orphans(recoveryRoot(home.path())).size(), 0);
        QCOMPARE(fileBytes(file), QByteArray("original\n"));
    }

    // A running copy's journals are locked: another copy does not take them.
    void twoRunningCopies()
    {
        QTemporaryDir home;
        const QString file = home.filePath(QStringLiteral("notes.txt"));
        QVERIFY(writeBytes(file, "original\n"));
        Child child(home.path(), "crash", file);
        QVERIFY(child.ready());
        QCOMPARE(Journal::orphans(recoveryRoot(home.path())).size(), 0);
        child.kill();
        const QList<Journal::Orphan> orphans = Journal::orphans(recoveryRoot(home.path()));
        QCOMPARE(orphans.size(), 1);
        QCOMPARE(orphans.first().entries.size(), 2);
    }

    void cleanExitLeavesNoJournal()
    {
        QTemporaryDir home;
        const QString file = home.filePath(QStringLiteral("notes.txt"));
        QVERIFY(writeBytes(file, "original\n"));
        Child child(home.path(), "clean", file);
        QVERIFY(child.ready());
        QVERIFY(child.process.waitForFinished(20000));
        QCOMPARE(child.process.exitCode(), 0);
        QCOMPARE(QDir(recoveryRoot(home.path())).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
    }

    // A journal that cannot be read is kept and said; one that fails while
    // its document is recovered is kept too.
    void unreadableJournalsStay()
    {
        QTemporaryDir home;
        const QString folder = recoveryRoot(home.path()) + QStringLiteral("/1-2");
        QVERIFY(QDir().mkpath(folder));
        Journal::Entry e;
        e.title = QStringLiteral("Untitled");
        e.format.encoding = TextFileCodec::Encoding::Utf16LeBom;
        e.text = "kept text";
        const QByteArray good = Journal::serialize(e);
        const QString first = folder + QStringLiteral("/1.journal");
        const QString newer = folder + QStringLiteral("/2.journal");
        QVERIFY(writeBytes(first, good) && writeBytes(newer, QByteArray(good).replace("journal 1", "journal 2")));
        whenModal("recovery window", [&](QWidget *modal) {
            auto *w = qobject_cast<frmRecover *>(modal);
            QCOMPARE(w->lstRecover->topLevelItemCount(), 1);
            QVERIFY(w->lblUnreadable->isVisible());
            QCOMPARE(w->lblUnreadable->text(), QStringLiteral("1 journal could not be read and was kept: ") + newer
                                                   + QStringLiteral(" (written by another version, or cut short)"));
            QVERIFY(writeBytes(first, good.chopped(2))); // damaged after it was listed
            w->cmdRecover->click();
        });
        AppFixture app({}, [](AppFixture &a) { a.dialogs.answers << Answer::Ok; }, QString(), home.path());
        QVERIFY(app.dialogs.lastText().contains(QLatin1String("could not be recovered; its journal was kept")));
        QCOMPARE(app.shownDocuments().size(), 0);
        QVERIFY(QFileInfo::exists(first) && QFileInfo::exists(newer));

        // Repaired, it is recovered in its own encoding, and only then removed.
        QVERIFY(writeBytes(first, good));
        whenModal("recovery window", [](QWidget *modal) { qobject_cast<frmRecover *>(modal)->cmdRecover->click(); });
        AppFixture again({}, {}, QString(), home.path());
        QCOMPARE(again.shownDocuments().size(), 1);
        // Its new journal was written before the old one went.
        QStringList journals;
        for (const QString &f : QDir(recoveryRoot(home.path())).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            journals += QDir(recoveryRoot(home.path()) + u'/' + f).entryList({QStringLiteral("*.journal")});
        QCOMPARE(journals, (QStringList{QStringLiteral("2.journal"), QStringLiteral("1.journal")}));
        QCOMPARE(again.record(again.shownDocuments().first()).Format().encoding, TextFileCodec::Encoding::Utf16LeBom);
        QVERIFY(!QFileInfo::exists(first) && QFileInfo::exists(newer));
    }

    // A text bigger than a slice goes to the writer a slice at a time; a
    // change meanwhile gives that write up and the journal stays whole.
    void bigTextsInSlices()
    {
        AppFixture app;
        frmDoc *w = app.newDocument();
        w->InsertFragment(QString(100, u'x'));
        RecoveryJournal &journal = app.docs().journal();
        journal.setSliceBytes(16);
        const auto written = [&] {
            const QString root = app.ctx->settings.ProgramDirectory() + QStringLiteral("recovery/");
            Journal::Entry e;
            const QString folder = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0);
            return Journal::parse(fileBytes(root + folder + QStringLiteral("/1.journal")), &e) ? e.text : QByteArray("unreadable");
        };
        journal.write(w->slot());
        journal.waitForWrites();
        QCOMPARE(written(), QByteArray(100, 'x'));
        w->InsertFragment(QStringLiteral("y"));
        journal.write(w->slot());
        w->InsertFragment(QStringLiteral("z"));
        journal.waitForWrites();
        QCOMPARE(written(), QByteArray(100, 'x'));
    }

    // A journal that cannot be written is said above the text, once, and
    // tried again on the next change.
    void failedBackupsAreShown()
    {
        AppFixture app;
        frmDoc *w = app.newDocument();
        w->InsertFragment(QString(100, u'x'));
        {
            FileSizeLimit full(10);
            app.docs().journal().write(w->slot());
            app.docs().journal().waitForWrites();
        }
        QTRY_VERIFY(childOf<QLabel>(w, "lblBackupNotice")->isVisible());
        QCOMPARE(childOf<QLabel>(w, "lblBackupNotice")->text(), QStringLiteral("Unsaved changes are not being backed up: Disk full"));
        app.docs().journal().write(w->slot());
        QTRY_VERIFY(!childOf<QLabel>(w, "lblBackupNotice")->isVisible());

        // No folder to back up into (a file in its place): said too.
        QTemporaryDir home;
        QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("data"))));
        QVERIFY(writeBytes(recoveryRoot(home.path()), "not a folder"));
        AppFixture blocked({}, {}, QString(), home.path());
        frmDoc *b = blocked.newDocument();
        b->InsertFragment(QStringLiteral("x"));
        QVERIFY(childOf<QLabel>(b, "lblBackupNotice")->isVisible());
        QVERIFY2(childOf<QLabel>(b, "lblBackupNotice")->text().endsWith(QLatin1String("recovery cannot be used")), qPrintable(childOf<QLabel>(b, "lblBackupNotice")->text()));
        QCOMPARE(fileBytes(recoveryRoot(home.path())), QByteArray("not a folder"));
    }
};

int main(int argc, char *argv[])
{
    TestEnv env;
    QApplication app(argc, argv);
    if (argc >= 5 && QLatin1String(argv[1]) == QLatin1String("--child"))
        return runChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]));
    TestRecovery tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_recovery.moc"
