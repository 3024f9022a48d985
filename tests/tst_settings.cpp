// The settings store, its file format, the recent list and the start-up loaders.
#include "core/FileIO.h"
#include "core/IniFile.h"
#include "core/RecentList.h"
#include "core/SessionEntry.h"
#include "core/SettingsStore.h"
#include "support/TestEnv.h"

#include <QProcess>
#include <QSet>
#include <QSettings>

namespace {

struct Stores {
    QTemporaryDir dir;
    SettingsStore store{dir.filePath(QStringLiteral("config")), dir.filePath(QStringLiteral("data"))};

    // Writes a raw value the way another program (or an older version) might have.
    void putRegistry(const QString &key, const QVariant &value)
    {
        QSettings s(store.registryFile(), QSettings::IniFormat);
        s.setValue(key, value);
    }
    QString recentFile() const { return store.userSettingsFile(QStringLiteral("Orvane")); }
};

QStringList letters(const QString &s)
{
    QStringList out;
    for (const QChar c : s)
        out << QString(c);
    return out;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { FileIO::ignoreFileSizeSignal(); }

    // Our files and QSettings' read each other: users keep the files they have.
    void iniFilesReadBothWays_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << "Settings/RecentItem1" << "/home/u/a.html";
        QTest::newRow("blanks around") << "Settings/RecentItem2" << "  spaced  ";
        QTest::newRow("one blank") << "TempDir" << " ";
        QTest::newRow("empty") << "Settings/RecentItem3" << "";
        QTest::newRow("separators and quotes") << "External Viewers/File0" << "a;b,c=d \"q\" back\\slash";
        QTest::newRow("non-ASCII and outside the BMP") << "Settings/RecentItem4" << "/tmp/café/日本/😀.txt";
        QTest::newRow("control characters") << "Settings/RecentItem5" << "tab\there\nline\r\x01" "0";
        QTest::newRow("starts with @") << "Settings/RecentItem6" << "@Variant(x)";
        QTest::newRow("key with blanks and accents") << "Grüße Gruppe/Schlüssel 1" << "v";
        QTest::newRow("1,000 characters") << "Settings/RecentItem7" << QString(1000, QLatin1Char('p'));
    }

    void iniFilesReadBothWays()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QTemporaryDir dir;
        const QString ours = dir.filePath(QStringLiteral("ours.conf"));
        const QString theirs = dir.filePath(QStringLiteral("theirs.conf"));
        QVERIFY(IniFile::write(ours, {{key, value}, {QStringLiteral("Other/Key"), QStringLiteral("kept")}}));
        const QSettings reader(ours, QSettings::IniFormat);
        QCOMPARE(reader.value(key).toString(), value);
        QCOMPARE(reader.value(QStringLiteral("Other/Key")).toString(), QStringLiteral("kept"));
        {
            QSettings writer(theirs, QSettings::IniFormat);
            writer.setValue(key, value);
        }
        QCOMPARE(IniFile::read(theirs).value(key), value);
    }

    void templatesDirectory_data()
    {
        QTest::addColumn<QVariant>("stored"); // invalid: no value at all
        QTest::addColumn<QString>("expected"); // "<default>": program directory + Templates/
        QTest::newRow("no key at all") << QVariant() << QStringLiteral("<default>");
        QTest::newRow("one blank") << QVariant(QStringLiteral(" ")) << QStringLiteral("<default>");
        QTest::newRow("blanks around") << QVariant(QStringLiteral("  /srv/Tpl  ")) << QStringLiteral("/srv/Tpl");
        QTest::newRow("stored as a number") << QVariant(5) << QStringLiteral("5");
        const QString longDir = QStringLiteral("/t/") + QString(300, QLatin1Char('d'));
        QTest::newRow("300 characters read back whole") << QVariant(longDir) << longDir;
    }

    void templatesDirectory()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, expected);
        Stores s;
        if (stored.isValid())
            s.putRegistry(QStringLiteral("TempDir"), stored);
        const QString wanted = expected == QLatin1String("<default>")
                                   ? s.dir.filePath(QStringLiteral("data")) + QStringLiteral("/Templates/")
                                   : expected;
        QCOMPARE(s.store.LoadSettings(), wanted);
    }

    void viewerTable()
    {
        Stores s;
        s.putRegistry(QStringLiteral("External Viewers/File1"), QStringLiteral("/usr/bin/firefox"));
        s.putRegistry(QStringLiteral("External Viewers/File2"), QStringLiteral(" "));
        s.putRegistry(QStringLiteral("External Viewers/Title2"), QStringLiteral("Browser"));
        s.putRegistry(QStringLiteral("External Viewers/File0"), QStringLiteral(" lynx "));
        s.putRegistry(QStringLiteral("External Viewers/Title0"), QStringLiteral("  Text  "));
        ExternalViewerTable table;
        s.store.LoadExternalViewers(table);
        QCOMPARE(table[0].File, QStringLiteral(" lynx "));
        QCOMPARE(table[0].Title, QStringLiteral("  Text  "));
        QCOMPARE(table[1].Title, QStringLiteral("UnNamed Program"));
        QCOMPARE(table[2].File, QString());
        QCOMPARE(table[2].Title, QString());

        // An empty entry is stored as one blank in both values and loads back empty.
        table[0] = {};
        QVERIFY(s.store.SaveExternalViewers(table));
        QCOMPARE(s.store.RegReadString(SettingsStore::kViewersKey, QStringLiteral("Title0")), QStringLiteral(" "));
        ExternalViewerTable loaded;
        s.store.LoadExternalViewers(loaded);
        QCOMPARE(loaded[0].File, QString());
        QCOMPARE(loaded[1].File, QStringLiteral("/usr/bin/firefox"));
    }

    // Start-up makes the folder (the frame tests see it); a file of that name
    // is left alone and is no failure.
    void programSubdirectoryWhereAFileStands()
    {
        Stores s;
        const QString dir = s.store.ProgramDirectory();
        QVERIFY(QDir().mkpath(dir) && writeBytes(dir + QStringLiteral("tempfile"), QByteArray()));
        QVERIFY(s.store.EnsureProgramSubdirectory(QStringLiteral("tempfile")));
        QVERIFY(QFileInfo(dir + QStringLiteral("tempfile")).isFile());
    }

    void recentListMoves_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("added");
        QTest::addColumn<QString>("after");
        QTest::newRow("empty") << "" << "A" << "A";
        QTest::newRow("new on top") << "ABC" << "D" << "DABC";
        QTest::newRow("existing moves up") << "ABCD" << "C" << "CABD";
        QTest::newRow("already on top") << "ABC" << "A" << "ABC";
        QTest::newRow("full list drops the oldest") << "abcdefghijklmno" << "X" << "Xabcdefghijklmn";
        QTest::newRow("last of a full list") << "abcdefghijklmno" << "o" << "oabcdefghijklmn";
        QTest::newRow("case matters") << "aB" << "b" << "baB";
    }

    void recentListMoves()
    {
        QFETCH(QString, before);
        QFETCH(QString, added);
        QFETCH(QString, after);
        QStringList result = RecentList::withItemAdded(letters(before), added);
        result.removeAll(QString());
        QCOMPARE(result, letters(after));
    }

    // A reopened document's stored entry: the older "caret first-line path"
    // is still read, and the newer one comes back as it was written.
    void sessionEntries_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read"); // caret, first line, [path], then the window part
        QTest::newRow("older, blanks in the path") << "12 3 /home/u/my  notes.txt" << "12 3 [/home/u/my  notes.txt] -";
        QTest::newRow("older, a path that looks like a window") << "5 0 normal 1,2,3,4 x" << "5 0 [normal 1,2,3,4 x] -";
        QTest::newRow("maximised and active") << "maximised,active 10,-20,300,200 7 1 /a b" << "7 1 [/a b] maximised 10,-20,300,200 active";
        QTest::newRow("minimised") << "minimised 0,0,50,60 0 0 /x" << "0 0 [/x] minimised 0,0,50,60";
        QTest::newRow("a word of a later version") << "normal,pinned 1,2,3,4 0 0 /x" << "0 0 [/x] normal 1,2,3,4";
        QTest::newRow("blank") << "" << "none";
        QTest::newRow("no path") << "1 2 " << "none";
        QTest::newRow("older, caret not a number") << "x1 2 /p" << "none";
        QTest::newRow("unknown state") << "sideways 1,2,3,4 0 0 /x" << "none";
        QTest::newRow("three numbers for a box") << "normal 1,2,3 0 0 /x" << "none";
        QTest::newRow("empty box") << "normal 1,2,0,4 0 0 /x" << "none";
        QTest::newRow("window part only") << "normal 1,2,3,4" << "none";
    }

    void sessionEntries()
    {
        QFETCH(QString, text);
        QFETCH(QString, read);
        const auto describe = [](const std::optional<SessionEntry> &e) {
            if (!e)
                return QStringLiteral("none");
            QString d = QStringLiteral("%1 %2 [%3]").arg(e->caret).arg(e->firstLine).arg(e->path);
            if (!e->hasWindow)
                return d + QStringLiteral(" -");
            const char *states[] = {"normal", "maximised", "minimised"};
            const QRect g = e->normalGeometry;
            d += QStringLiteral(" %1 %2,%3,%4,%5").arg(QLatin1String(states[int(e->state)])).arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height());
            return e->active ? d + QStringLiteral(" active") : d;
        };
        const std::optional<SessionEntry> entry = SessionEntry::parse(text);
        QCOMPARE(describe(entry), read);
        if (entry)
            QCOMPARE(describe(SessionEntry::parse(entry->toString())), read);
    }

    void recentListInTheStore()
    {
        Stores s;
        for (int i = 1; i <= 16; ++i)
            QVERIFY(RecentList::AddRecentItem(s.store, QStringLiteral("/f/F%1").arg(i)));
        QStringList expected;
        for (int i = 16; i >= 2; --i)
            expected << QStringLiteral("/f/F%1").arg(i);
        QCOMPARE(RecentList::entries(s.store), expected);
        // In memory at once, in the file when written through.
        QVERIFY(!QFile::exists(s.recentFile()));
        QVERIFY(s.store.flush());
        const QSettings raw(s.recentFile(), QSettings::IniFormat);
        QCOMPARE(raw.value(QStringLiteral("Settings/RecentItem15")).toString(), QStringLiteral("/f/F2"));
    }

    // Two running copies writing at once: no add is lost, no path is listed twice.
    void hammerTheRecentList()
    {
        QTemporaryDir dir;
        QProcess one, two;
        const QStringList common{QStringLiteral("--hammer"), dir.path()};
        one.start(QCoreApplication::applicationFilePath(), common + QStringList{QStringLiteral("one"), QStringLiteral("200")});
        two.start(QCoreApplication::applicationFilePath(), common + QStringList{QStringLiteral("two"), QStringLiteral("200")});
        QVERIFY(one.waitForFinished(60000) && two.waitForFinished(60000));
        QCOMPARE(one.exitCode() + two.exitCode(), 0);
        SettingsStore store(dir.path(), dir.path());
        QCOMPARE(store.ReadUserSetting(QStringLiteral("Orvane"), QStringLiteral("Hammer"), QStringLiteral("count"), {}),
                 QStringLiteral("400"));
        const QStringList list = RecentList::entries(store);
        QCOMPARE(list.size(), 15);
        QCOMPARE(QSet<QString>(list.begin(), list.end()).size(), 15);
        // Each copy's paths stand newest first.
        for (const char *prefix : {"/one/", "/two/"}) {
            QStringList own;
            for (const QString &p : list)
                if (p.startsWith(QLatin1String(prefix)))
                    own << p;
            QStringList sorted = own;
            std::sort(sorted.begin(), sorted.end(), std::greater<QString>());
            QCOMPARE(own, sorted);
        }
    }

    // A full disk must not cut the settings file: the list stays as it was.
    void fullDiskKeepsTheSettingsFile_data()
    {
        QTest::addColumn<int>("limitPercent"); // of the file's size; -1: size - 1
        QTest::newRow("limit 0") << 0;
        QTest::newRow("limit 1 byte") << -2;
        QTest::newRow("half the size") << 50;
        QTest::newRow("size - 1") << -1;
    }

    void fullDiskKeepsTheSettingsFile()
    {
        QFETCH(int, limitPercent);
        Stores s;
        Stores unlimited;
        const QString added = QStringLiteral("/a/new/path/that/makes/it/longer.html");
        for (int i = 1; i <= 15; ++i) {
            RecentList::AddRecentItem(s.store, QStringLiteral("/some/path/to/file%1.html").arg(i));
            RecentList::AddRecentItem(unlimited.store, QStringLiteral("/some/path/to/file%1.html").arg(i));
        }
        QVERIFY(s.store.flush());
        const QByteArray before = fileBytes(s.recentFile());
        QCOMPARE(QFileInfo(s.recentFile()).permissions() & 0x0077, QFileDevice::Permissions()); // owner only
        RecentList::AddRecentItem(unlimited.store, added);
        QVERIFY(unlimited.store.flush());
        const qint64 size = fileBytes(unlimited.recentFile()).size(); // what the write needs
        const rlim_t limit = limitPercent == -2 ? 1 : limitPercent == -1 ? rlim_t(size - 1) : rlim_t(size * limitPercent / 100);
        {
            FileSizeLimit full(limit);
            RecentList::AddRecentItem(s.store, added);
            s.store.RegWriteString(SettingsStore::kOrvaneKey, QStringLiteral("TempDir"), QString(5000, u'x'));
            QVERIFY(!s.store.flush());
        }
        QVERIFY(!QFile::exists(s.store.registryFile()));
        QCOMPARE(fileBytes(s.recentFile()), before);
        QCOMPARE(QDir(QFileInfo(s.recentFile()).path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QFileInfo(s.recentFile()).fileName()});
        // The changes were kept: the next write, with room again, has them.
        QVERIFY(s.store.flush());
        QCOMPARE(fileBytes(s.recentFile()), fileBytes(unlimited.recentFile()));
    }
};

int main(int argc, char *argv[])
{
    TestEnv env;
    QCoreApplication app(argc, argv);
    // A writer process of hammerTheRecentList: adds N paths, and counts each
    // add in a key of its own section under the same lock.
    if (argc == 5 && QLatin1String(argv[1]) == QLatin1String("--hammer")) {
        SettingsStore store(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[2]));
        for (int i = 0; i < QByteArray(argv[4]).toInt(); ++i) {
            if (!RecentList::AddRecentItem(store, QStringLiteral("/%1/%2").arg(QLatin1String(argv[3])).arg(i, 4, 10, QLatin1Char('0')))
                || !store.UpdateUserSettings(QStringLiteral("Orvane"), QStringLiteral("Hammer"), {QStringLiteral("count")},
                                             [](QStringList &v) { v[0] = QString::number(v[0].toInt() + 1); }))
                return 1;
        }
        return 0;
    }
    TestSettings tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_settings.moc"
