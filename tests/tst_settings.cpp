// The settings store, the recent list and the start-up loaders.
#include "core/RecentList.h"
#include "core/SettingsStore.h"
#include "support/TestEnv.h"

#include <QFile>
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

    void emptyStringIsStoredAsOneBlank()
    {
        Stores s;
        s.store.RegWriteString(SettingsStore::kOrvaneKey, QStringLiteral("TempDir"), QString());
        QCOMPARE(s.store.RegReadString(SettingsStore::kOrvaneKey, QStringLiteral("TempDir")), QStringLiteral(" "));
        s.store.RegWriteString(SettingsStore::kViewersKey, QStringLiteral("File0"), QStringLiteral("ab"));
        QCOMPARE(s.store.RegReadString(SettingsStore::kViewersKey, QStringLiteral("File0")), QStringLiteral("ab"));
        QCOMPARE(s.store.RegReadString(SettingsStore::kViewersKey, QStringLiteral("Missing")), QString());
        // The viewer values live in their own group of the registry file, not in the user settings.
        const QSettings raw(s.store.registryFile(), QSettings::IniFormat);
        QCOMPARE(raw.value(QStringLiteral("External Viewers/File0")).toString(), QStringLiteral("ab"));
        QVERIFY(!QFile::exists(s.store.userSettingsFile(QStringLiteral("Orvane"))));
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
        QCOMPARE(table[1].File, QStringLiteral("/usr/bin/firefox"));
        QCOMPARE(table[1].Title, QStringLiteral("UnNamed Program"));
        QCOMPARE(table[2].File, QString());
        QCOMPARE(table[2].Title, QString());
    }

    void savedEmptyViewerLoadsEmpty()
    {
        Stores s;
        ExternalViewerTable table;
        table[1] = {QStringLiteral("/usr/bin/x"), QStringLiteral("X")};
        s.store.SaveExternalViewers(table);
        QCOMPARE(s.store.RegReadString(SettingsStore::kViewersKey, QStringLiteral("File0")), QStringLiteral(" "));
        QCOMPARE(s.store.RegReadString(SettingsStore::kViewersKey, QStringLiteral("Title0")), QStringLiteral(" "));
        ExternalViewerTable loaded;
        s.store.LoadExternalViewers(loaded);
        QCOMPARE(loaded[0].File, QString());
        QCOMPARE(loaded[1].Title, QStringLiteral("X"));
    }

    void userSettings()
    {
        Stores s;
        const QString app = QStringLiteral("Orvane");
        const QString sec = QStringLiteral("Settings");
        QCOMPARE(s.store.ReadUserSetting(app, sec, QStringLiteral("RecentItem1"), QStringLiteral("dflt")), QStringLiteral("dflt"));
        const QString longValue(1000, QLatin1Char('p'));
        s.store.WriteUserSetting(app, sec, QStringLiteral("RecentItem1"), longValue);
        s.store.WriteUserSetting(app, sec, QStringLiteral("RecentItem2"), QStringLiteral("  spaced  "));
        s.store.WriteUserSetting(app, sec, QStringLiteral("RecentItem3"), QStringLiteral("42"));
        QCOMPARE(s.store.ReadUserSetting(app, sec, QStringLiteral("RecentItem1"), QString()), longValue);
        QCOMPARE(s.store.ReadUserSetting(app, sec, QStringLiteral("RecentItem2"), QString()), QStringLiteral("  spaced  "));
        QCOMPARE(s.store.ReadUserSetting(app, sec, QStringLiteral("RecentItem3"), QString()), QStringLiteral("42"));
        // Written through at once: another reader of the file sees it.
        const QSettings raw(s.store.userSettingsFile(app), QSettings::IniFormat);
        QCOMPARE(raw.value(QStringLiteral("Settings/RecentItem3")).toString(), QStringLiteral("42"));
    }

    void programSubdirectory()
    {
        Stores s;
        const QString dir = s.store.ProgramDirectory();
        QVERIFY(dir.endsWith(QLatin1Char('/')));
        QVERIFY(s.store.EnsureProgramSubdirectory(QStringLiteral("tempfile")));
        QVERIFY(QFileInfo(dir + QStringLiteral("tempfile")).isDir());

        // A file of that name is left alone and is no failure.
        QVERIFY(QFile::remove(dir + QStringLiteral("tempfile")) || QDir(dir).rmdir(QStringLiteral("tempfile")));
        QFile f(dir + QStringLiteral("tempfile"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
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
        QStringList items = letters(before);
        QStringList result = RecentList::withItemAdded(items, added);
        result.removeAll(QString());
        QCOMPARE(result, letters(after));
    }

    void recentListInTheStore()
    {
        Stores s;
        for (int i = 1; i <= 16; ++i)
            RecentList::AddRecentItem(s.store, QStringLiteral("/f/F%1").arg(i));
        QStringList expected;
        for (int i = 16; i >= 2; --i)
            expected << QStringLiteral("/f/F%1").arg(i);
        QCOMPARE(RecentList::entries(s.store), expected);
        QCOMPARE(s.store.ReadUserSetting(QStringLiteral("Orvane"), QStringLiteral("Settings"), QStringLiteral("RecentItem1"), {}),
                 QStringLiteral("/f/F16"));
        QCOMPARE(s.store.ReadUserSetting(QStringLiteral("Orvane"), QStringLiteral("Settings"), QStringLiteral("RecentItem15"), {}),
                 QStringLiteral("/f/F2"));

        RecentList::AddRecentItem(s.store, QStringLiteral("/f/F16"));
        QCOMPARE(RecentList::entries(s.store), expected);
        RecentList::AddRecentItem(s.store, QStringLiteral("/F/f16"));
        QCOMPARE(RecentList::entries(s.store).first(), QStringLiteral("/F/f16"));
        QCOMPARE(RecentList::entries(s.store).at(1), QStringLiteral("/f/F16"));
    }
};

ORVANE_CORE_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
