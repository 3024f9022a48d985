// The recovery journal's files: what an entry keeps, which journals are
// offered, kept or removed, and that nothing else in or behind the recovery
// folder is ever touched.
#include "core/Journal.h"
#include "support/TestEnv.h"

#include <QMetaEnum>
#include <sys/stat.h>
#include <unistd.h>

using namespace TextFileCodec;

namespace {

Journal::Entry entryWith(FileFormat format, const QByteArray &text = QByteArray("text\0with nul\n\n", 15))
{
    Journal::Entry e;
    e.title = QStringLiteral("Tïtle\r\nwith break");
    e.path = QStringLiteral("/a b/c.txt");
    e.format = format;
    e.time = QDateTime::currentDateTime();
    e.text = text;
    e.stamp = {true, 9, 123456789, 42};
    return e;
}

int modeOf(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// Every file and folder under dir, links not followed.
QStringList treeOf(const QString &dir)
{
    QStringList names;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        names << it.next().mid(dir.size());
    names.sort();
    return names;
}

// A folder of a process that ended: its journals, no lock held.
QString orphanFolder(const QString &root, const QString &name = QStringLiteral("111-222"))
{
    const QString folder = root + u'/' + name;
    QDir().mkpath(folder);
    return folder;
}

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

private slots:
    // Every encoding and every line break comes back as written: a value
    // added to either enum is covered without touching this test.
    void everyFormatRoundTrips()
    {
        const QMetaEnum encodings = QMetaEnum::fromType<Encoding>();
        const QMetaEnum breaks = QMetaEnum::fromType<LineEnd>();
        QVERIFY(encodings.keyCount() >= 9);
        for (int e = 0; e < encodings.keyCount(); ++e) {
            for (int b = 0; b < breaks.keyCount(); ++b) {
                const Encoding encoding = Encoding(encodings.value(e));
                const FileFormat format{encoding, LineEnd(breaks.value(b)), LineEnd(breaks.value(breaks.keyCount() - 1 - b)),
                                        encoding == Encoding::Legacy ? QByteArray("KOI8-R") : QByteArray()};
                const Journal::Entry e1 = entryWith(format);
                Journal::Entry back;
                QVERIFY(Journal::parse(Journal::serialize(e1), &back));
                QVERIFY2(back.format == format, encodings.key(e));
                QCOMPARE(back.title, e1.title);
                QCOMPARE(back.path, e1.path);
                QCOMPARE(back.text, e1.text);
                QVERIFY(back.stamp == e1.stamp);
            }
        }
    }

    void entriesThatAreNoJournal_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = Journal::serialize(entryWith({Encoding::Utf16LeBom, LineEnd::Lf, LineEnd::Lf}));
        QTest::newRow("cut short") << good.chopped(1);
        QTest::newRow("not a journal") << QByteArray("not a journal");
        QTest::newRow("a newer version") << QByteArray(good).replace("journal 1", "journal 2");
        QTest::newRow("an encoding this version does not know") << QByteArray(good).replace("Utf16LeBom", "Gb18030");
        QTest::newRow("no format") << QByteArray(good).replace("format=", "formats=");
        QTest::newRow("a legacy encoding without its name") << QByteArray(good).replace("Utf16LeBom", "Legacy");
    }

    void entriesThatAreNoJournal()
    {
        QFETCH(QByteArray, bytes);
        Journal::Entry back;
        QVERIFY(!Journal::parse(bytes, &back));
    }

    // The first version wrote the format as numbers; its journals still read.
    void numberedFormatsOfTheFirstVersion()
    {
        QByteArray bytes = Journal::serialize(entryWith({}));
        bytes.replace("format=Utf8%20CrLf%20CrLf", "format=6%202%201");
        Journal::Entry back;
        QVERIFY(Journal::parse(bytes, &back));
        QVERIFY(back.format == (FileFormat{Encoding::Utf16BeBom, LineEnd::Cr, LineEnd::Lf}));
    }

    // Unsaved text is the owner's only: folders 0700, journals 0600, made so
    // whatever the umask; an older, open recovery folder is closed.
    void privateFiles()
    {
        QTemporaryDir home;
        const QString root = home.filePath(QStringLiteral("recovery"));
        QVERIFY(QDir().mkdir(root));
        QVERIFY(QFile::setPermissions(root, QFileDevice::Permissions(0x7755)));
        const mode_t old = ::umask(0);
        Journal::Folder folder(root);
        QVERIFY(folder.isValid());
        QVERIFY(!folder.write(3, entryWith({})));
        ::umask(old);
        QCOMPARE(modeOf(root), 0700);
        QCOMPARE(modeOf(folder.path()), 0700);
        QCOMPARE(modeOf(folder.entryPath(3)), 0600);
        QCOMPARE(modeOf(QDir(folder.path()).filePath(QStringLiteral("lock"))), 0600);
        // A link in an entry's place is not written through.
        folder.removeEntry(3);
        const QString victim = home.filePath(QStringLiteral("victim"));
        QVERIFY(writeBytes(victim, "keep"));
        QVERIFY(QFile::link(victim, folder.entryPath(4)));
        QCOMPARE(folder.write(4, entryWith({})).code, int(FileIO::PathFileAccessError));
        QCOMPARE(fileBytes(victim), QByteArray("keep"));
        folder.removeAll();
        QCOMPARE(treeOf(root), QStringList());
        QCOMPARE(fileBytes(victim), QByteArray("keep"));
    }

    // Links planted in or as the recovery folders, and files the program
    // did not write, are never followed nor removed.
    void sweepTouchesOnlyItsOwnFiles()
    {
        QTemporaryDir home;
        const QString documents = home.filePath(QStringLiteral("Documents"));
        QDir().mkpath(documents + QStringLiteral("/sub"));
        QVERIFY(writeBytes(documents + QStringLiteral("/letter.txt"), "precious"));
        QVERIFY(writeBytes(documents + QStringLiteral("/sub/1.journal"), "precious too"));
        const QStringList before = treeOf(documents);

        const QString root = home.filePath(QStringLiteral("recovery"));
        QDir().mkpath(root);
        QVERIFY(QFile::link(documents, root + QStringLiteral("/backup")));
        QVERIFY(QFile::link(documents, root + QStringLiteral("/333-444")));
        QVERIFY(QFile::link(documents + QStringLiteral("/sub"), orphanFolder(root) + QStringLiteral("/../555-666")));
        QVERIFY(QFile::link(documents + QStringLiteral("/letter.txt"), orphanFolder(root) + QStringLiteral("/2.journal")));
        QVERIFY(writeBytes(orphanFolder(root) + QStringLiteral("/notes.txt"), "not ours"));
        QVERIFY(writeBytes(orphanFolder(root, QStringLiteral("777-888")) + QStringLiteral("/stray"), "not ours"));
        const QList<Journal::Orphan> found = Journal::orphans(root);
        QCOMPARE(found.size(), 1); // 111-222: its link is unreadable as a journal
        QCOMPARE(found.first().unreadable.size(), 1);
        for (const Journal::Orphan &orphan : found)
            Journal::release(orphan);
        QCOMPARE(treeOf(documents), before);
        QCOMPARE(fileBytes(documents + QStringLiteral("/letter.txt")), QByteArray("precious"));
        QVERIFY(QFileInfo::exists(root + QStringLiteral("/111-222/notes.txt")));
        QVERIFY(QFileInfo::exists(root + QStringLiteral("/777-888/stray")));

        // The recovery folder itself a link: not looked into at all.
        QTemporaryDir other;
        const QString linked = other.filePath(QStringLiteral("recovery"));
        QVERIFY(QFile::link(documents, linked));
        QCOMPARE(Journal::orphans(linked).size(), 0);
        Journal::Folder folder(linked);
        QVERIFY(!folder.isValid());
        QCOMPARE(treeOf(documents), before);
    }

    // What cannot be read is kept for a version that can, and told of once;
    // a journal goes only when asked, one at a time.
    void unreadableJournalsAreKept()
    {
        QTemporaryDir home;
        const QString root = home.filePath(QStringLiteral("recovery"));
        const QString folder = orphanFolder(root);
        const QByteArray good = Journal::serialize(entryWith({Encoding::Utf32BeBom, LineEnd::Cr, LineEnd::Cr}));
        QVERIFY(writeBytes(folder + QStringLiteral("/1.journal"), good));
        QVERIFY(writeBytes(folder + QStringLiteral("/2.journal"), QByteArray(good).replace("journal 1", "journal 9")));
        QVERIFY(writeBytes(folder + QStringLiteral("/3.journal"), good.chopped(3)));
        QVERIFY(writeBytes(folder + QStringLiteral("/3.journal.Ab12Cd"), good.chopped(9))); // a write cut short: goes
        QCOMPARE(::mkfifo(QFile::encodeName(folder + QStringLiteral("/4.journal")).constData(), 0600), 0);
        // A journal larger than the editor holds (sparse): refused as a file would be.
        QFile big(folder + QStringLiteral("/5.journal"));
        const QByteArray header = Journal::serialize(entryWith({}, QByteArray())).replace("size=0", "size=2300000000");
        QVERIFY(big.open(QIODevice::WriteOnly) && big.write(header) == header.size() && big.resize(header.size() + 2300000000));
        big.close();

        QList<Journal::Orphan> found = Journal::orphans(root);
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().entries.size(), 1);
        QVERIFY(found.first().entries.first().text.isEmpty()); // the text is read on recovery only
        QStringList why;
        for (const Journal::Unreadable &u : found.first().unreadable)
            why << QFileInfo(u.file).fileName() + u' ' + u.why;
        QCOMPARE(why.size(), 4);
        QVERIFY2(why[2].contains(QLatin1String("4.journal Path/File access error: not a regular file (a named pipe)")), qPrintable(why[2]));
        QVERIFY2(why[3].contains(QLatin1String("5.journal Out of memory: the file is too big for the editor (2.1 GB")), qPrintable(why[3]));

        Journal::Entry e = found.first().entries.first();
        QVERIFY(!Journal::load(&e));
        QCOMPARE(e.text, QByteArray("text\0with nul\n\n", 15));
        Journal::removeEntry(e);
        Journal::told(found.first());
        Journal::release(found.first());
        QCOMPARE(treeOf(folder), (QStringList{QStringLiteral("/2.journal"), QStringLiteral("/3.journal"),
                                              QStringLiteral("/4.journal"), QStringLiteral("/5.journal"),
                                              QStringLiteral("/told")}));
        // Told once: not offered again while nothing readable is there.
        QCOMPARE(Journal::orphans(root).size(), 0);
        QVERIFY(writeBytes(folder + QStringLiteral("/6.journal"), good));
        found = Journal::orphans(root);
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().unreadable.size(), 4);
    }
};

ORVANE_CORE_TEST_MAIN(TestJournal)
#include "tst_journal.moc"
