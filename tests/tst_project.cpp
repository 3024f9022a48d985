// The project list and its project files, and the quick scan.
#include "core/FileIO.h"
#include "core/ProjectList.h"
#include "core/QuickScan.h"
#include "support/TestEnv.h"

#include <QStringEncoder>

namespace {

QStringList scanned(const QString &path, const QString &phrase)
{
    QStringList lines;
    QuickScan::scan(path, QuickScan::normalizedPhrase(phrase), 0, [&](QStringList found) { lines += found; },
                    [](qint64, qint64) { return true; });
    return lines;
}

} // namespace

class TestProject : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { FileIO::ignoreFileSizeSignal(); }

    void fileEntries()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("index.html"));
        QVERIFY(writeBytes(file, "x"));
        cFiles e;
        e.setFileName(dir.filePath(QStringLiteral("missing.html")));
        QCOMPARE(e.FileName(), QString());
        e.setFileName(file);
        e.setIsActive(true);
        QCOMPARE(e.FileTitle(), QStringLiteral("index.html"));
        QCOMPARE(e.FileDirectory(), dir.path() + u'/');
        e.setIsActive(false);
        QCOMPARE(e.FileName(), QString());
        cFiles bare;
        QVERIFY(writeBytes(QStringLiteral("bare.txt"), "b")); // the current folder is the test's own
        bare.setFileName(QStringLiteral("bare.txt"));
        QCOMPARE(bare.FileTitle(), QStringLiteral("bare.txt"));
        QCOMPARE(bare.FileDirectory(), QString());
        QVERIFY(QFile::remove(QStringLiteral("bare.txt")));
    }

    // Only a regular file of exactly that path counts.
    void existence_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("added");
        QTest::newRow("a file") << "a.txt" << true;
        QTest::newRow("a dot file") << ".htaccess" << true;
        QTest::newRow("a wildcard that matches a.txt") << "*.txt" << false;
        QTest::newRow("a question mark") << "?.txt" << false;
        QTest::newRow("a folder") << "sub" << false;
        QTest::newRow("nothing") << "gone.txt" << false;
        // One entry per line: a name with a break would read back as two.
        QTest::newRow("a name with a LF") << "a\nFile: b.txt" << false;
        QTest::newRow("a name with a CR") << "a\r.txt" << false;
        QTest::newRow("a name ending in a blank") << "blank .txt " << true;
    }

    void existence()
    {
        // Added by a name relative to the current folder, stored whole.
        if (QByteArray(QTest::currentDataTag()) == "a file") {
            QTemporaryDir here;
            QVERIFY(writeBytes(here.filePath(QStringLiteral("rel.txt")), "r") && QDir::setCurrent(here.path()));
            ProjectList list;
            QVERIFY(list.AddFileToProject(QStringLiteral("./x/../rel.txt")));
            QCOMPARE(list.entry(1).FileName(), here.filePath(QStringLiteral("rel.txt")));
        }
        QFETCH(QString, name);
        QFETCH(bool, added);
        QTemporaryDir dir;
        for (const char *file : {"a.txt", ".htaccess", "b.txt", "a\nFile: b.txt", "a\r.txt", "blank .txt "})
            QVERIFY(writeBytes(dir.filePath(QString::fromLatin1(file)), "a"));
        QDir(dir.path()).mkdir(QStringLiteral("sub"));
        ProjectList list;
        QCOMPARE(list.AddFileToProject(dir.filePath(name)), added);
        QCOMPARE(list.count(), added ? 1 : 0);
        // What was added reads back as the same one file, from any folder.
        const QString project = dir.filePath(QStringLiteral("p.TEP"));
        QCOMPARE(list.WriteProjectFile(project), QString());
        QVERIFY(QDir::setCurrent(QDir::rootPath()));
        QCOMPARE(ProjectList::parse(fileBytes(project)), added ? QStringList{dir.filePath(name)} : QStringList{});
    }

    void projectFileRoundTrip()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath(QStringLiteral("index.html"));
        const QString b = dir.filePath(QStringLiteral("css/site é.css"));
        QDir(dir.path()).mkdir(QStringLiteral("css"));
        QVERIFY(writeBytes(a, "a") && writeBytes(b, "b"));
        ProjectList list;
        QCOMPARE(list.serialize(), QByteArray("Orvane:1.0\r\n")); // an empty project: the header alone
        for (const QString &p : {a, b, a, a})
            QVERIFY(list.AddFileToProject(p));
        list.RemoveFileFromProject(3);
        const QString project = dir.filePath(QStringLiteral("site.TEP"));
        QCOMPARE(list.WriteProjectFile(project), QString());
        QCOMPARE(fileBytes(project), "Orvane:1.0\r\nFile: " + a.toUtf8() + "\r\nFile: " + b.toUtf8() + "\r\nFile: " + a.toUtf8() + "\r\n");
        ProjectList again;
        QString error;
        QCOMPARE(again.ReadProjectFile(project, &error),
                 a + " Loaded Successfully.\r\n" + b + " Loaded Successfully.\r\n" + a + " Loaded Successfully.\r\n");
        QCOMPARE(again.serialize(), list.serialize());

        // A full disk leaves the old project file byte for byte.
        const QByteArray before = fileBytes(project);
        again.AddFileToProject(b);
        {
            FileSizeLimit full(10);
            QVERIFY(!again.WriteProjectFile(project).isEmpty());
        }
        QCOMPARE(fileBytes(project), before);
        QCOMPARE(again.ReadProjectFile(dir.filePath(QStringLiteral("none.TEP")), &error), QString());
        QVERIFY(error.startsWith(QStringLiteral("File not found: ")));
        QCOMPARE(again.count(), 4); // a project that cannot be read changes nothing
    }

    void readingProjectFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("the worked example, 64 bytes") << QByteArray("Orvane:1.0\r\nFile: C:\\Web\\index.html\r\nFile: C:\\Web\\css\\site.css\r\n")
                                                      << QStringList{"C:\\Web\\index.html", "C:\\Web\\css\\site.css"};
        QTest::newRow("marker in any case, spaces around") << QByteArray("file:  /a.txt \nFILE:   /b.txt   \n") << QStringList{"/a.txt", "/b.txt"};
        QTest::newRow("Files: and File: with nothing") << QByteArray("Files: /a.txt\r\nFile:\r\nFile:    \r\n") << QStringList{};
        QTest::newRow("tabs stay") << QByteArray("File: \t/a.txt\t\r") << QStringList{"\t/a.txt\t"};
        QTest::newRow("CR, LF and CR LF lines") << QByteArray("File: /a\rFile: /b\nFile: /c\r\n") << QStringList{"/a", "/b", "/c"};
        QTest::newRow("Windows-1252 path") << QByteArray("File: /caf\xE9.txt\r\n") << QStringList{"/café.txt"};
        QTest::newRow("the same path twice") << QByteArray("File: /a\r\nFile: /a\r\n") << QStringList{"/a", "/a"};
    }

    void readingProjectFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, paths);
        if (QTest::currentDataTag() == QLatin1String("the worked example, 64 bytes"))
            QCOMPARE(bytes.size(), 64);
        QCOMPARE(ProjectList::parse(bytes), paths);
    }

    void missingFilesAreReported()
    {
        QTemporaryDir dir;
        const QString here = dir.filePath(QStringLiteral("here.txt"));
        QVERIFY(writeBytes(here, "h"));
        const QString project = dir.filePath(QStringLiteral("p.tep"));
        QVERIFY(writeBytes(project, "File: /no/such.txt\r\nFile: " + here.toUtf8() + "\r\n"));
        ProjectList list;
        QString error;
        QCOMPARE(list.ReadProjectFile(project, &error),
                 QStringLiteral("/no/such.txt Couldn't be found. \r\n") + here + QStringLiteral(" Loaded Successfully.\r\n"));
        QCOMPARE(list.count(), 1);
    }

    void theListHasALimit()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("f"));
        QVERIFY(writeBytes(file, "f"));
        ProjectList list;
        for (int i = 0; i < ProjectList::kMaxEntries; ++i)
            list.AddFileToProject(file);
        QCOMPARE(list.count(), 32767);
        QVERIFY(!list.AddFileToProject(file));
        QCOMPARE(list.count(), 32767);
    }

    void quickScan_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("Color") << QByteArray("  background-color: red;\r\nfont: bold\r\n") << "Color" << QStringList{"background-color: red;"};
        QTest::newRow("empty phrase: every non-empty line") << QByteArray("a\r\n\r\n   \r\nb") << "  " << QStringList{"a", "", "b"};
        QTest::newRow("the phrase is trimmed") << QByteArray("red;\nredo\n") << " red " << QStringList{"red;", "redo"};
        QTest::newRow("listed once") << QByteArray("aa aa aa\rb\r") << "aa" << QStringList{"aa aa aa"};
        QTest::newRow("LF and CR lines") << QByteArray("x1\ny\rx2\r\nx3") << "X" << QStringList{"x1", "x2", "x3"};
        QTest::newRow("non-ASCII phrase and line") << QByteArray("ÉCOLE d'été\nécole\nECOLE\n") << "École" << QStringList{"ÉCOLE d'été", "école"};
        QTest::newRow("Qt's lower case: the Kelvin sign is a k") << QString::fromUtf16(u"\u212A mark\nplain\n").toUtf8() << "k m"
                                                                 << QStringList{QString::fromUtf16(u"\u212A mark")};
        QTest::newRow("both cases, sixteen bytes at a time") << QByteArray("0123456789 needl nEeDlE abcdefghijklmnop\nneedl\n")
                                                            << "needle" << QStringList{"0123456789 needl nEeDlE abcdefghijklmnop"};
        QTest::newRow("Windows-1252 line") << QByteArray("caf\xE9 au lait\r\n") << "CAFÉ" << QStringList{"café au lait"};
        // The file's encoding, as File > Open finds it; a BOM is no text.
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF" "first line\r\nsecond\r\n") << "" << QStringList{"first line", "second"};
        const auto wide = [](QStringConverter::Encoding e, const char *bom) {
            return QByteArray(bom) + QByteArray(QStringEncoder(e).encode(QStringLiteral("a needle\r\nnone\r\nNeedle b")));
        };
        QTest::newRow("UTF-16 LE with BOM") << wide(QStringConverter::Utf16LE, "\xFF\xFE") << "needle" << QStringList{"a needle", "Needle b"};
        QTest::newRow("UTF-16 BE") << wide(QStringConverter::Utf16BE, "") << "needle" << QStringList{"a needle", "Needle b"};
        QTest::newRow("UTF-32 LE") << wide(QStringConverter::Utf32LE, "") << "needle" << QStringList{"a needle", "Needle b"};
    }

    void quickScan()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, phrase);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("f.txt")), file));
        QCOMPARE(scanned(dir.filePath(QStringLiteral("f.txt")), phrase), lines);
    }

    // Small injected limits: rows past the cap are only counted, a long
    // line is listed by its first characters.
    void quickScanLimits_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("more");
        QTest::newRow("rows past the cap") << QByteArray("x1\nx2\ny\nx3\nx4\n") << QStringList{"x1", "x2"} << 2;
        QTest::newRow("first characters of a line") << QByteArray("  abcdefx\nabc x\n") << QStringList{"abcde\u2026", "abc x"} << 0;
        QTest::newRow("long line across slices") << QByteArray(100, 'a') + "x" + QByteArray(100, 'b') + "\nbx"
                                                 << QStringList{"aaaaa\u2026", "bx"} << 0;
        QByteArray half = "a";
        for (int i = 0; i < 13; ++i)
            half += "\xC3\xA9";
        QTest::newRow("no half character") << half + "x" << QStringList{"a\u00E9\u00E9\u00E9\u00E9\u2026"} << 0;
    }

    void quickScanLimits()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, lines);
        QFETCH(int, more);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.txt"));
        QVERIFY(writeBytes(path, file));
        QStringList found;
        const QuickScan::Outcome o = QuickScan::scan(path, QStringLiteral("x"), 0, [&](QStringList f) { found += f; },
                                                     [](qint64, qint64) { return true; }, -1, {2, 5, 16});
        QCOMPARE(found, lines);
        QCOMPARE(o.more, more);
    }

    // Asked after every slice, even inside one line; and a file that grows
    // during the scan is scanned as far as it reached when the scan began.
    void quickScanBounds()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.txt"));
        QVERIFY(writeBytes(path, QByteArray(1000, 'a')));
        int asked = 0;
        const QuickScan::Outcome stopped = QuickScan::scan(path, QStringLiteral("b"), 0, {},
                                                           [&](qint64, qint64) { return ++asked < 3; }, -1, {10, 5, 64});
        QVERIFY(stopped.stopped);
        QCOMPARE(asked, 3);
        QVERIFY(writeBytes(path, "x\n"));
        QFile grow(path);
        QVERIFY(grow.open(QIODevice::Append));
        QStringList found;
        const QuickScan::Outcome o = QuickScan::scan(path, QStringLiteral("x"), 0, [&](QStringList f) { found += f; },
                                                     [&](qint64, qint64) { return grow.write("x\n") == 2 && grow.flush(); },
                                                     -1, {10, 5, 1});
        QCOMPARE(found, QStringList{"x"});
        QCOMPARE(o.offset, 2);
    }

    // Slices end at line breaks: lines that straddle a slice boundary, and a
    // line longer than a slice, are found whole; a stopped scan keeps what it
    // found and goes on from where it stopped.
    void bigFilesInSlices()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("big.txt"));
        QByteArray bytes;
        while (bytes.size() < 9 * 1024 * 1024)
            bytes += "ordinary line of text " + QByteArray::number(bytes.size()) + (bytes.size() % 7 ? "\r\n" : " needle\n");
        bytes += QByteArray(5 * 1024 * 1024, 'z') + " needle at the end of a long line";
        QVERIFY(writeBytes(path, bytes));
        const QStringList all = scanned(path, QStringLiteral("NEEDLE"));
        QCOMPARE(all.size(), int(bytes.count("needle")));
        QCOMPARE(all.last(), QString(300, u'z') + QChar(0x2026));

        QStringList first;
        const QuickScan::Outcome stopped = QuickScan::scan(path, QStringLiteral("needle"), 0, [&](QStringList f) { first += f; },
                                                           [](qint64, qint64) { return false; });
        QVERIFY(stopped.stopped && !first.isEmpty() && first.size() < all.size());
        QuickScan::scan(path, QStringLiteral("needle"), stopped.offset, [&](QStringList f) { first += f; },
                        [](qint64, qint64) { return true; });
        QCOMPARE(first, all);
        QCOMPARE(QuickScan::scan(dir.filePath(QStringLiteral("none")), QStringLiteral("x"), 0, {}, {}).failure.code,
                 int(FileIO::FileNotFound));
    }
};

ORVANE_CORE_TEST_MAIN(TestProject)
#include "tst_project.moc"
