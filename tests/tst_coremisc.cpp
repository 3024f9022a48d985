// RTF, the document table with its undo store, the file
// filter, find and replace, and find in files.
#include "core/CommandLine.h"
#include "core/DocumentTable.h"
#include "core/FileFilter.h"
#include "core/FindInFiles.h"
#include "core/LongTask.h"
#include "core/RtfCodec.h"
#include "core/TextFileCodec.h"
#include "core/TextSearch.h"
#include "support/TestEnv.h"

#include <sys/stat.h>


class TestCoreMisc : public QObject
{
    Q_OBJECT

private slots:
    // A viewer's command line, split as a shell would, without one.
    void commandLines_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("plain") << "firefox --new-tab" << QStringList{"firefox", "--new-tab"};
        QTest::newRow("single quotes keep blanks") << "'my browser' --new" << QStringList{"my browser", "--new"};
        QTest::newRow("double quotes") << "\"/opt/my app/run\" -x" << QStringList{"/opt/my app/run", "-x"};
        QTest::newRow("backslash escapes in double quotes") << "\"a\\\"b\\c\"" << QStringList{"a\"b\\c"};
        QTest::newRow("single quotes keep backslashes") << "'a\\b'" << QStringList{"a\\b"};
        QTest::newRow("quotes inside a word") << "pre'fix 'post" << QStringList{"prefix post"};
        QTest::newRow("an escaped blank") << "my\\ app" << QStringList{"my app"};
        QTest::newRow("an empty quoted word") << "run '' x" << QStringList{"run", "", "x"};
        QTest::newRow("blanks around, tabs") << "  a\tb  " << QStringList{"a", "b"};
        QTest::newRow("unclosed quote") << "'open end" << QStringList{"open end"};
        QTest::newRow("nothing") << "   " << QStringList{};
    }

    void commandLines()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, words);
        QCOMPARE(CommandLine::split(command), words);
    }

    void rtfRoundTrips_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("escapes") << QStringLiteral("a\\b{c}d\\par {\\rtf1}");
        QTest::newRow("lines") << QStringLiteral("line 1\r\nline 2\r\n\r\nline 4");
        QTest::newRow("leading and trailing spaces") << QStringLiteral("  two  \r\n  ");
        QTest::newRow("digits after a break") << QStringLiteral("x\r\n123\t456");
        QTest::newRow("Latin-1 and 1252") << QStringLiteral("café €‚ “quoted” ÿ");
        QTest::newRow("C1 controls") << QString::fromUtf16(u"\u0080\u0081\u008D\u009F");
        QTest::newRow("CJK and emoji") << QString::fromUtf16(u"中文 \U0001F600 ok");
        QTest::newRow("lone CR and LF") << QStringLiteral("a\rb\nc");
        QTest::newRow("NUL and controls") << QString::fromUtf16(u"a\u0000b\u0001\u001F", 5);
        QTest::newRow("template tags") << QStringLiteral("<QRLTITLE>My page</QRLTITLE>");
    }

    void rtfRoundTrips()
    {
        QFETCH(QString, text);
        const QString rtf = RtfCodec::toRtf(text);
        QVERIFY(rtf.startsWith(QLatin1String("{\\rtf1")));
        QCOMPARE(RtfCodec::fromRtf(rtf), text);
        // Plain characters stand in the RTF unchanged.
        if (text.startsWith(QLatin1String("<QRL")))
            QVERIFY(rtf.contains(text));
    }

    void rtfFromOtherPrograms_data()
    {
        QTest::addColumn<QString>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("formatting and tables") << QStringLiteral(
            "{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Helvetica;}{\\colortbl;\\red255\\green0\\blue0;}"
            "\\f0\\pard This is {\\b bold}\\line and {\\i\\cf1 red}.\\par}")
                                               << QStringLiteral("This is bold\r\nand red.\r\n");
        QTest::newRow("ignorable destination") << QStringLiteral("{\\rtf1{\\*\\generator Writer;}x\\~y}")
                                               << QString::fromUtf16(u"x\u00A0y");
        QTest::newRow("unicode with fallback") << QStringLiteral("{\\rtf1\\uc2\\u8364\\'80\\'80!}") << QStringLiteral("€!");
        QTest::newRow("negative unicode") << QStringLiteral("{\\rtf1\\u-10179?\\u-8704?}")
                                          << QString::fromUtf16(u"\U0001F600");
    }

    void rtfFromOtherPrograms()
    {
        QFETCH(QString, rtf);
        QFETCH(QString, text);
        QCOMPARE(RtfCodec::fromRtf(rtf), text);
    }

    // Broken RTF gives what text it holds and nothing of its control words.
    void rtfSurvivesGarbage_data()
    {
        QTest::addColumn<QString>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("unbalanced braces") << "}}}}{" << "";
        QTest::newRow("a lone backslash") << "\\" << "";
        QTest::newRow("a cut hex escape") << "\\'" << "";
        QTest::newRow("a bad hex escape") << "\\'z" << "z";
        QTest::newRow("a cut unicode escape") << "\\u" << "";
        QTest::newRow("a huge skip count") << "\\uc99999 x" << "x";
        QTest::newRow("a cut destination") << "{\\*" << "";
        QTest::newRow("deep nesting") << QString(100000, QLatin1Char('{')) + QStringLiteral("deep") << "deep";
        QTest::newRow("escapes and a break") << "{\\rtf1 a\\'e9b\\par c" << "a\u00e9b\r\nc";
    }

    void rtfSurvivesGarbage()
    {
        QFETCH(QString, rtf);
        QFETCH(QString, text);
        QCOMPARE(RtfCodec::fromRtf(rtf), text);
    }

    // Every prefix of a valid document reads as a prefix of its text, but for
    // its last break or character (a control word or escape cut short:
    // "\pard" cut to "\par").
    void rtfPrefixes()
    {
        const QString whole = QStringLiteral("Hello {world}\r\n\\ caf\u00e9 \u4e2d");
        const QString valid = RtfCodec::toRtf(whole);
        for (int i = 0; i <= valid.size(); ++i) {
            const QString read = RtfCodec::fromRtf(valid.left(i));
            QVERIFY2(whole.startsWith(read.left(read.size() - (read.endsWith(QLatin1String("\r\n")) ? 2 : 1))),
                     qPrintable(read));
        }
    }

    void slotsAreReusedLowestFirst()
    {
        DocumentTable t;
        bool grew = false;
        QCOMPARE(t.FindFreeSlot(), 0);
        for (int expected = 1; expected <= 3; ++expected) {
            const int slot = t.TakeSlot(&grew);
            QCOMPARE(slot, expected);
            QVERIFY(grew);
            QVERIFY(t.record(slot).InUse());
        }
        const quint64 serial = t.record(2).Serial();
        t.record(2).release();
        t.record(3).release();
        QCOMPARE(t.FindFreeSlot(), 2);
        QCOMPARE(t.TakeSlot(&grew), 2);
        QVERIFY(!grew);
        QCOMPARE(t.DocumentCount(), 3);
        QVERIFY(t.record(2).Serial() > serial); // another document in the same slot
    }

    // The record says each change once, and a taken slot starts afresh.
    void recordSignals()
    {
        DocumentTable t;
        bool grew = false;
        DocumentRecord &r = t.record(t.TakeSlot(&grew));
        QSignalSpy changed(&r, &DocumentRecord::changed), path(&r, &DocumentRecord::pathChanged),
            title(&r, &DocumentRecord::titleChanged), format(&r, &DocumentRecord::formatChanged),
            undo(&r, &DocumentRecord::undoChanged);
        r.setChanged(true);
        r.setChanged(true);
        r.setFilePath(QStringLiteral("/a.txt"));
        r.setTitle(QStringLiteral("/a.txt"));
        r.setFormat({TextFileCodec::Encoding::Utf16Le, TextFileCodec::LineEnd::Lf, TextFileCodec::LineEnd::Lf});
        r.RecordUndo("x");
        r.holdText("held");
        r.release();
        QVERIFY(!r.InUse() && r.FilePath().isEmpty() && r.Title().isEmpty());
        QVERIFY(!r.canUndo() && r.HeldText().isNull()); // a closed document's copies are freed
        QCOMPARE(t.TakeSlot(&grew), 1);
        QVERIFY(r.InUse() && !r.Changed() && !r.canUndo() && r.Title() == QLatin1String("Untitled"));
        QVERIFY(r.Format() == TextFileCodec::FileFormat());
        QCOMPARE(changed.size(), 2);
        QCOMPARE(path.size(), 2);
        QCOMPARE(title.size(), 3);
        QCOMPARE(format.size(), 2);
        QVERIFY(undo.size() >= 2);
    }

    void tableRefusesDocumentsPastTheLimit()
    {
        DocumentTable t;
        bool grew = false;
        for (int i = 1; i <= DocumentTable::MaxDocuments; ++i)
            t.TakeSlot(&grew);
        QCOMPARE(t.DocumentCount(), 32767);
        QCOMPARE(t.TakeSlot(&grew), 0);
        QCOMPARE(t.DocumentCount(), 32767);
        t.record(40).release();
        QCOMPARE(t.TakeSlot(&grew), 40);
    }

    void undoStoreWorkedSequence()
    {
        DocumentTable t;
        bool grew = false;
        const int s = t.TakeSlot(&grew);
        t.RecordUndo(s, "");   // typed A: the empty earlier text is no snapshot
        QCOMPARE(t.record(s).UndoSnapshot(), QByteArray());
        t.RecordUndo(s, "A");  // typed B
        t.RecordUndo(s, "B");  // typed C
        QCOMPARE(t.record(s).UndoSnapshot(), QByteArray("B"));
        QCOMPARE(t.record(s).UndoLevel1(), QByteArray("A"));
        QCOMPARE(t.TakeUndo(s), QByteArray("B"));
        QCOMPARE(t.TakeUndo(s), QByteArray("A"));
        QCOMPARE(t.record(s).UndoSnapshot(), QByteArray());
    }

    void undoStoreKeepsFourLevels()
    {
        DocumentTable t;
        bool grew = false;
        const int s = t.TakeSlot(&grew);
        for (const char *text : {"1", "2", "3", "4", "5", "6"})
            t.RecordUndo(s, text);
        t.RecordUndo(s, "6"); // equal to the newest: nothing moves
        QStringList taken;
        while (!t.record(s).UndoSnapshot().isEmpty())
            taken << QString::fromUtf8(t.TakeUndo(s));
        QCOMPARE(taken, (QStringList{"6", "5", "4", "3"}));
        t.ResetUndoFields(s);
        QVERIFY(t.record(s).UndoLevel1().isEmpty());
    }

    void fileFilterForQt()
    {
        const QStringList filters = FileFilter::toQtFilter(FileFilter::kDocumentFilter).split(QStringLiteral(";;"));
        QCOMPARE(filters.size(), 10);
        QCOMPARE(filters.first(), QStringLiteral("Text Files(.txt) (*.txt)"));
        QCOMPARE(filters.at(2), QStringLiteral("Setup Information Files (inf) (*.inf)"));
        QCOMPARE(filters.at(4), QStringLiteral("All Text Files (*.txt *.ini *.inf)"));
        QCOMPARE(filters.last(), QStringLiteral("All Files (*)"));
    }

    // Slices and progress reach the window in order, then done; at most
    // kInFlight slices wait for it; destroying the task stops the work at its
    // next check (or it would wait for ever) and nothing of it arrives later.
    void longTaskSlicesAndStops()
    {
        using Task = LongTask<int>;
        QObject window;
        QList<int> got;
        qint64 progress = 0;
        bool done = false;
        const Task::Callbacks record{[&](int i) { got << i; }, [&](qint64 d, qint64) { progress = d; }, [&] { done = true; }};
        Task task(&window);
        task.start([](Task::Control &c) { for (int i = 1; i <= 9 && c.deliver(i); ++i) c.progress(i, 9); }, record);
        QTRY_VERIFY(done);
        QCOMPARE(got, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
        QCOMPARE(progress, 9);
        got.clear();
        done = false;
        std::atomic_int steps{0};
        auto *endless = new Task(&window);
        endless->start([&](Task::Control &c) { while (c.deliver(steps.fetch_add(1) + 1)) {} }, record);
        while (steps.load() <= Task::kInFlight) // the window takes none: the work waits
            QThread::yieldCurrentThread();
        QVERIFY(endless->running());
        delete endless;
        QCoreApplication::processEvents();
        QVERIFY(got.isEmpty() && !done);
        QCOMPARE(steps.load(), Task::kInFlight + 1);
    }

    // Options: c match case, w whole word, r regular expression, n no wrap.
    static TextSearch search(const QString &pattern, const QString &options)
    {
        return TextSearch(pattern, {options.contains(u'c'), options.contains(u'w'), options.contains(u'r'),
                                    !options.contains(u'n')});
    }

    void findNext_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selEnd");
        QTest::addColumn<int>("start");    // -1: not found
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("wrapped");
        QTest::addColumn<int>("count");
        QTest::newRow("any case") << "Cat cat CAT" << "cat" << "" << 0 << 0 << 0 << 3 << false << 3;
        QTest::newRow("match case") << "Cat cat CAT" << "cat" << "c" << 0 << 0 << 4 << 3 << false << 1;
        QTest::newRow("case of accented letters") << "ÉCOLE école" << "école" << "" << 1 << 1 << 6 << 5 << false << 2;
        QTest::newRow("whole word") << "cat catalog cat" << "cat" << "w" << 1 << 1 << 12 << 3 << false << 2;
        QTest::newRow("whole word, edges not letters") << "a <p> b<p>c" << "<p>" << "w" << 0 << 0 << 2 << 3 << false << 1;
        QTest::newRow("pattern characters are plain text") << "a.b axb" << "a.b" << "" << 0 << 0 << 0 << 3 << false << 1;
        QTest::newRow("regex") << "a1 b22 c333" << "\\d+" << "r" << 2 << 2 << 4 << 2 << false << 3;
        QTest::newRow("regex, match case") << "Ab ab" << "a." << "rc" << 0 << 0 << 3 << 2 << false << 1;
        QTest::newRow("regex, whole word") << "foo12 foo1" << "foo\\d" << "rw" << 0 << 0 << 6 << 4 << false << 1;
        QTest::newRow("regex, case and word") << "Foo1 foo1 foo12" << "foo\\d" << "rwc" << 0 << 0 << 5 << 4 << false << 1;
        QTest::newRow("after the selection") << "cat cat" << "cat" << "" << 0 << 3 << 4 << 3 << false << 2;
        QTest::newRow("wraps round the end") << "cat dog" << "cat" << "" << 4 << 4 << 0 << 3 << true << 1;
        QTest::newRow("no wrap: not found") << "cat dog" << "cat" << "n" << 4 << 4 << -1 << 0 << false << 1;
        QTest::newRow("^ and $ at CR LF breaks") << "one\r\ntwo\r\n" << "^t\\w+$" << "r" << 0 << 0 << 5 << 3 << false << 1;
        QTest::newRow(". stops at a break") << "a\r\nb" << "a.b" << "r" << 0 << 0 << -1 << 0 << false << 0;
        QTest::newRow("an empty match moves on") << "ab\r\ncd" << "^" << "r" << 0 << 0 << 4 << 0 << false << 2;
        QTest::newRow("empty pattern") << "abc" << "" << "" << 0 << 0 << -1 << 0 << false << 0;
    }

    void findNext()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(QString, options);
        QFETCH(int, selStart);
        QFETCH(int, selEnd);
        const TextSearch s = search(pattern, options);
        QVERIFY(s.isValid());
        const TextSearch::Match m = s.findNext(text, selStart, selEnd);
        QTEST(int(m.start), "start");
        if (m.found()) {
            QTEST(int(m.length), "length");
            QTEST(m.wrapped, "wrapped");
        }
        QTEST(int(s.findAll(text).size()), "count");
    }

    // Matches in slices, up to a cap; take can stop them.
    void forEachMatch_data()
    {
        QTest::addColumn<int>("cap");
        QTest::addColumn<int>("stopAfter");
        QTest::addColumn<QList<int>>("slices");
        QTest::addColumn<bool>("more");
        QTest::newRow("all") << 10 << 9 << QList<int>{2, 2, 1} << false;
        QTest::newRow("capped") << 3 << 9 << QList<int>{2, 1} << true;
        QTest::newRow("stopped") << 10 << 1 << QList<int>{2} << false;
    }

    void forEachMatch()
    {
        QFETCH(int, cap);
        QFETCH(int, stopAfter);
        QList<int> slices;
        const TextSearch::Counted c = search(QStringLiteral("a"), QString()).forEachMatch(
            QStringLiteral("a a a a a"), cap, 2, [&](QList<TextSearch::Match> part) {
                slices << int(part.size());
                return slices.size() < stopAfter;
            });
        QTEST(slices, "slices");
        QTEST(c.more, "more");
        QCOMPARE(c.stopped, stopAfter < 9);
    }

    void findPrevious()
    {
        const QString text = QStringLiteral("cat dog cat");
        QCOMPARE(search(QStringLiteral("cat"), QString()).findPrevious(text, 8).start, 0);
        const TextSearch::Match wrapped = search(QStringLiteral("cat"), QString()).findPrevious(text, 0);
        QCOMPARE(wrapped.start, 8);
        QVERIFY(wrapped.wrapped);
        QVERIFY(!search(QStringLiteral("cat"), QStringLiteral("n")).findPrevious(text, 0).found());
    }

    void badRegexIsReportedNotThrown()
    {
        for (const char *pattern : {"a(b", "[z-a]", "(?<", "*", "\\"}) {
            const TextSearch s = search(QString::fromLatin1(pattern), QStringLiteral("r"));
            QVERIFY2(!s.isValid(), pattern);
            QVERIFY(s.errorString().startsWith(QStringLiteral("Not a valid regular expression: ")));
            QVERIFY(!s.findNext(QStringLiteral("a(b"), 0, 0).found());
            const TextSearch::Replaced r = s.replaceAll(QStringLiteral("a(b"), QStringLiteral("x"), 100);
            QVERIFY(r.text.isNull() && r.count == 0);
        }
        QCOMPARE(search(QStringLiteral("a(b"), QStringLiteral("r")).errorString(),
                 QStringLiteral("Not a valid regular expression: missing closing parenthesis at character 4"));
    }

    void replaceAll_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("count");
        QTest::newRow("plain") << "a.b a.b axb" << "a.b" << "" << "x" << "x x axb" << 2;
        QTest::newRow("plain: backslashes as typed") << "cat" << "cat" << "" << "\\1\\n" << "\\1\\n" << 1;
        QTest::newRow("groups") << "John Smith" << "(\\w+) (\\w+)" << "r" << "\\2, \\1" << "Smith, John" << 1;
        QTest::newRow("break and tab") << "a,b;c" << "[,;]" << "r" << "\\n\\t" << "a\r\n\tb\r\n\tc" << 2;
        QTest::newRow("every line start") << "x\r\ny" << "^" << "r" << "> " << "> x\r\n> y" << 2;
        QTest::newRow("whole words only") << "in inner in" << "in" << "w" << "out" << "out inner out" << 2;
        QTest::newRow("nothing matches") << "abc" << "z" << "" << "q" << "abc" << 0;
        // A limit after "<" in the options, in UTF-8 bytes: checked from the count, before building.
        QTest::newRow("within the limit") << "a.a" << "." << "<5" << "é" << "aéa" << 1;
        QTest::newRow("over the limit") << "a.a" << "." << "<3" << "é" << "too big" << 1;
        QTest::newRow("over the limit: stops counting there") << "aaaaaaaaaa" << "a" << "r<3" << "xyz" << "too big" << 2;
        const QString hard = QString(25, u'a') + "!ab";
        QTest::newRow("match limit: gave up, no miss") << QString("x\r\n").repeated(11) + hard + "\r\n" + hard << "(a+)+b"
                                                       << "r" << "" << "gave up at line 12" << 0;
    }

    void replaceAll()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(QString, options);
        QFETCH(QString, replacement);
        const TextSearch s = search(pattern, options);
        const TextSearch::Replaced r = s.replaceAll(text, replacement, options.contains(u'<') ? options.section(u'<', 1).toInt() : 1000);
        QTEST(r.gaveUpLine ? QStringLiteral("gave up at line %1").arg(r.gaveUpLine) : r.tooBig ? "too big" : r.count ? r.text : text,
              "result");
        QTEST(int(r.count), "count");
        qsizetype line = -1;
        s.findAll(text, &line);
        for (qsizetype every : {line, s.findNext(text, 0, 0).gaveUpLine, s.findPrevious(text, text.size()).gaveUpLine})
            QCOMPARE(every, r.gaveUpLine);
    }
    // A tree with every kind of file a search meets.
    static void makeTree(const QString &root)
    {
        const auto write = [&](const QString &name, const QByteArray &bytes) {
            QDir().mkpath(QFileInfo(root + u'/' + name).path());
            QFile f(root + u'/' + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        write("a.html", "<p>Apple</p>\napple pie\nno\napple, apples\n");
        write("sub/b.css", "/* apple */\n");
        write("sub/deep/c.js", "var pineapple = 1;\n");
        write("binary.html", QByteArray("apple\0apple", 11));
        write("wide.html", QByteArray("\xFF\xFE") + QByteArray("x\0\n\0a\0p\0p\0l\0e\0", 14));
        write(".git/objects/apple.html", "apple\n");
        QVERIFY(mkfifo(QFile::encodeName(root + "/pipe.html").constData(), 0600) == 0);
        QVERIFY(QFile::link(root, root + "/sub/loop"));       // back to the top
        QVERIFY(QFile::link(root + "/a.html", root + "/same.html"));
    }

    void findInFiles_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("patterns");
        QTest::addColumn<bool>("projectList");
        // matches, files with hits, files searched, files skipped
        QTest::addColumn<QList<qint64>>("counts");
        QTest::addColumn<QString>("firstHits"); // path:line:column of the first hit of each file
        QTest::newRow("plain, every file") << "apple" << "" << "" << false << QList<qint64>{7, 4, 4, 2}
                                           << "a.html:1:3 wide.html:2:0 sub/b.css:1:3 sub/deep/c.js:1:8";
        QTest::newRow("match case") << "apple" << "c" << "" << false << QList<qint64>{6, 4, 4, 2}
                                    << "a.html:2:0 wide.html:2:0 sub/b.css:1:3 sub/deep/c.js:1:8";
        QTest::newRow("whole word") << "apple" << "w" << "" << false << QList<qint64>{5, 3, 4, 2}
                                    << "a.html:1:3 wide.html:2:0 sub/b.css:1:3";
        QTest::newRow("regular expression") << "apples?$" << "r" << "" << false << QList<qint64>{2, 2, 4, 2}
                                            << "a.html:4:7 wide.html:2:0";
        QTest::newRow("patterns") << "apple" << "" << "*.css; *.JS" << false << QList<qint64>{2, 2, 2, 0}
                                  << "sub/b.css:1:3 sub/deep/c.js:1:8";
        QTest::newRow("a list of files") << "apple" << "" << "*.html" << true << QList<qint64>{5, 2, 2, 1}
                                         << "a.html:1:3 wide.html:2:0";
    }

    void findInFiles()
    {
        QFETCH(QString, options);
        QFETCH(QString, patterns);
        QFETCH(bool, projectList);
        QTemporaryDir dir;
        makeTree(dir.path());
        FindInFiles::Query query;
        QFETCH(QString, text);
        query.text = text;
        query.options = {options.contains(u'c'), options.contains(u'w'), options.contains(u'r'), false};
        query.patterns = patterns;
        if (projectList)
            for (const char *f : {"a.html", "pipe.html", "wide.html", "sub/b.css"})
                query.files << dir.filePath(QString::fromLatin1(f));
        else
            query.folder = dir.path();
        QList<FindInFiles::FileHits> files;
        FindInFiles::Totals totals;
        int last = 0;
        FindInFiles::run(query, {[] { return false; },
                                 [&](FindInFiles::Batch b) {
                                     files << b.files;
                                     totals = b.totals;
                                     last += b.last;
                                     return true;
                                 },
                                 [](qint64, qint64) {}});
        QCOMPARE(last, 1);
        QStringList firstHits;
        qint64 kept = 0;
        for (const FindInFiles::FileHits &f : files) {
            firstHits << QStringLiteral("%1:%2:%3").arg(QDir(dir.path()).relativeFilePath(f.path)).arg(f.hits[0].line).arg(f.hits[0].column);
            QCOMPARE(f.hits.size(), f.matches);
            kept += f.matches;
        }
        QTEST(firstHits.join(u' '), "firstHits");
        QTEST((QList<qint64>{totals.matches, totals.filesWithHits, totals.searched, totals.skipped}), "counts");
        QCOMPARE(totals.kept, kept);
    }

    void findInFilesCapsKeptHitsAndStops()
    {
        QTemporaryDir dir;
        makeTree(dir.path());
        FindInFiles::Query query;
        query.text = QStringLiteral("apple");
        query.folder = dir.path();
        FindInFiles::Totals totals;
        qint64 kept = 0;
        bool stop = false;
        qint64 stopAt = 0;
        const auto runIt = [&](qint64 cap) {
            FindInFiles::run(query, {[&] { return stop; },
                                     [&](FindInFiles::Batch b) {
                                         for (const FindInFiles::FileHits &f : b.files)
                                             kept += f.hits.size();
                                         totals = b.totals;
                                         return true;
                                     },
                                     [&](qint64 done, qint64) { stop = stopAt && done >= stopAt; }},
                             cap);
        };
        runIt(3);
        QCOMPARE(kept, 3);
        QCOMPARE(FindInFiles::summary(totals), QStringLiteral("7 matches in 4 of 4 files (first 3 shown)"));
        stopAt = 1; // after the first file
        kept = 0;
        totals = {};
        runIt(3);
        QCOMPARE(totals.searched + kept, 0);
    }

    // A long line is shown around its match, never whole.
    void findInFilesShowsLongLinesAroundTheMatch_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("shownAt");
        const QString x100 = QString(100, u'x');
        QTest::newRow("short") << "ab apple" << 3 << "ab apple" << 3;
        QTest::newRow("long, match near the start") << ("apple" + x100 + x100) << 0 << ("apple" + x100 + QString(95, u'x') + "…") << 0;
        QTest::newRow("long, match in the middle") << (x100 + "apple" + x100 + x100) << 100
                                                   << ("…" + QString(60, u'x') + "apple" + QString(135, u'x') + "…") << 61;
        QTest::newRow("long, match at the end") << (x100 + x100 + "apple") << 200 << ("…" + QString(195, u'x') + "apple") << 196;
    }

    void findInFilesShowsLongLinesAroundTheMatch()
    {
        QFETCH(QString, line);
        QFETCH(int, column);
        const FindInFiles::Hit hit = FindInFiles::shownHit(line, column, 5);
        QTEST(hit.shown, "shown");
        QTEST(int(hit.shownAt), "shownAt");
        QCOMPARE(hit.shown.mid(hit.shownAt, 5), QStringLiteral("apple"));
    }

    // Replace in Files changes the picked hits only; a place where no match
    // starts any more is left alone and counted.
    void replaceAtPlaces_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("places"); // "line:column[:the line as shown]|..."
        QTest::addColumn<QString>("with");
        QTest::addColumn<QString>("result"); // "" when nothing was replaced
        QTest::addColumn<int>("missing");
        QTest::newRow("two of three") << "a x\r\nx x" << "x" << "" << "1:2|2:2" << "yy" << "a yy\r\nx yy" << 0;
        QTest::newRow("LF lines") << "x\nx\nx" << "x" << "" << "3:0" << "y" << "x\nx\ny" << 0;
        QTest::newRow("changed since the search") << "a x\nb" << "x" << "" << "1:0|1:2" << "y" << "a y\nb" << 1;
        QTest::newRow("its line reads otherwise now") << "a x changed\nb x" << "x" << "" << "1:2:a x|2:2:b x" << "y"
                                                      << "a x changed\nb y" << 1;
        QTest::newRow("groups of an expression") << "id=7; id=42" << "id=(\\d+)" << "r" << "1:0|1:6" << "\\1:\\t"
                                                 << "7:\t; 42:\t" << 0;
        QTest::newRow("whole word, match case") << "Apple apples apple" << "apple" << "cw" << "1:13|1:0" << "pear"
                                                << "Apple apples pear" << 1;
        QTest::newRow("many on one long line") << QString(3000, u'x') << "x" << "" << "1:0|1:2999" << "y"
                                               << "y" + QString(2998, u'x') + "y" << 0;
        QTest::newRow("nothing left to replace") << "abc" << "x" << "" << "1:0" << "y" << "" << 1;
    }

    void replaceAtPlaces()
    {
        QFETCH(QString, text);
        QFETCH(QString, options);
        QFETCH(QString, places);
        QFETCH(QString, find);
        QFETCH(QString, with);
        QList<FindInFiles::Place> picked;
        for (const QString &p : places.split(u'|', Qt::SkipEmptyParts))
            picked.append({p.section(u':', 0, 0).toLongLong(), p.section(u':', 1, 1).toLongLong(), p.section(u':', 2)});
        const TextSearch search(find, {options.contains(u'c'), options.contains(u'w'), options.contains(u'r'), false});
        const FindInFiles::Replacement r = FindInFiles::replaceAt(text, search, picked, with);
        QTEST(r.text, "result");
        QCOMPARE(r.text.isNull(), r.replaced == 0);
        QTEST(int(r.missing), "missing");
        QCOMPARE(r.replaced + r.missing, picked.size());
    }

    // A file that is not open is written back in its own encoding and line
    // breaks, whichever they are.
    void replaceInFileKeepsItsFormat()
    {
        using namespace TextFileCodec;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("page.txt"));
        const QMetaEnum encodings = QMetaEnum::fromType<Encoding>();
        for (int e = 0; e < encodings.keyCount(); ++e) {
            for (LineEnd lineEnd : {LineEnd::CrLf, LineEnd::Lf, LineEnd::Cr}) {
                const auto encoding = Encoding(encodings.value(e));
                const bool legacy = encoding == Encoding::Legacy;
                const FileFormat format{encoding, lineEnd, lineEnd, legacy ? QByteArray("KOI8-R") : QByteArray()};
                const QString word = legacy ? QStringLiteral("привет, это обычный текст") : QStringLiteral("café au lait");
                const auto file = [&](const QString &text) {
                    QByteArray raw;
                    QString error;
                    [&] { QVERIFY2(encode(text.toUtf8(), format, true, &raw, &error), qPrintable(error)); }();
                    return raw;
                };
                const QString where = QStringLiteral("%1, %2").arg(encodings.key(e)).arg(int(lineEnd));
                QVERIFY2(writeBytes(path, file(word + "\r\nneedle " + word + " needle")), qPrintable(where));
                const FindInFiles::FileReplaced r =
                    FindInFiles::replaceInFile(path, TextSearch(QStringLiteral("needle"), {}), {{2, 0, "needle " + word + " needle"}},
                                               QStringLiteral("pin"));
                QVERIFY2(r.error.isEmpty() && r.replaced == 1, qPrintable(where + ": " + r.error));
                QCOMPARE(fileBytes(path), file(word + "\r\npin " + word + " needle"));
            }
        }
        // Not through a link: it may lead out of what was searched.
        const QString link = dir.filePath(QStringLiteral("link.txt"));
        QVERIFY(QFile::link(path, link));
        const QByteArray before = fileBytes(path);
        const FindInFiles::FileReplaced r = FindInFiles::replaceInFile(link, TextSearch(QStringLiteral("needle"), {}),
                                                                       {{2, 4, QString()}}, QStringLiteral("pin"));
        QVERIFY2(r.replaced == 0 && r.error.contains(QLatin1String("link")), qPrintable(r.error));
        QCOMPARE(fileBytes(path), before);
    }
};

ORVANE_CORE_TEST_MAIN(TestCoreMisc)
#include "tst_coremisc.moc"
