// RTF, the document table with its undo store, the file
// filter and window centring.
#include "core/DocumentTable.h"
#include "core/FileFilter.h"
#include "core/RtfCodec.h"
#include "core/WindowGeometry.h"
#include "support/TestEnv.h"


class TestCoreMisc : public QObject
{
    Q_OBJECT

private slots:
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

    void rtfSurvivesGarbage()
    {
        const QString valid = RtfCodec::toRtf(QStringLiteral("Hello {world}\r\n\\ café 中"));
        // Every prefix of a valid document.
        for (int i = 0; i <= valid.size(); ++i)
            RtfCodec::fromRtf(valid.left(i));
        const QStringList broken = {
            QStringLiteral("}}}}{"), QStringLiteral("\\"), QStringLiteral("\\'"), QStringLiteral("\\'z"),
            QStringLiteral("\\u"), QStringLiteral("\\u-999999999999999999999"), QStringLiteral("\\uc99999 x"),
            QString(100000, QLatin1Char('{')) + QStringLiteral("deep"), QStringLiteral("{\\*"),
        };
        for (const QString &b : broken)
            RtfCodec::fromRtf(b);
        QCOMPARE(RtfCodec::fromRtf(QString(100000, QLatin1Char('{')) + QStringLiteral("deep")), QStringLiteral("deep"));
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
            t.record(slot).InUse = true;
        }
        t.record(2).InUse = false;
        t.record(3).InUse = false;
        QCOMPARE(t.FindFreeSlot(), 2);
        QCOMPARE(t.TakeSlot(&grew), 2);
        QVERIFY(!grew);
        QCOMPARE(t.DocumentCount(), 3);
    }

    void tableRefusesDocumentsPastTheLimit()
    {
        DocumentTable t;
        bool grew = false;
        for (int i = 1; i <= DocumentTable::MaxDocuments; ++i)
            t.record(t.TakeSlot(&grew)).InUse = true;
        QCOMPARE(t.DocumentCount(), 32767);
        QCOMPARE(t.TakeSlot(&grew), 0);
        QCOMPARE(t.DocumentCount(), 32767);
        t.record(40).InUse = false;
        QCOMPARE(t.TakeSlot(&grew), 40);
    }

    void undoStoreWorkedSequence()
    {
        DocumentTable t;
        bool grew = false;
        const int s = t.TakeSlot(&grew);
        t.RecordUndo(s, "");   // typed A: the empty earlier text is no snapshot
        QCOMPARE(t.record(s).UndoSnapshot, QByteArray());
        t.RecordUndo(s, "A");  // typed B
        t.RecordUndo(s, "B");  // typed C
        QCOMPARE(t.record(s).UndoSnapshot, QByteArray("B"));
        QCOMPARE(t.record(s).UndoLevel1, QByteArray("A"));
        QCOMPARE(t.TakeUndo(s), QByteArray("B"));
        QCOMPARE(t.TakeUndo(s), QByteArray("A"));
        QCOMPARE(t.record(s).UndoSnapshot, QByteArray());
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
        while (!t.record(s).UndoSnapshot.isEmpty())
            taken << QString::fromUtf8(t.TakeUndo(s));
        QCOMPARE(taken, (QStringList{"6", "5", "4", "3"}));
        t.ResetUndoFields(s);
        QVERIFY(t.record(s).UndoLevel1.isEmpty());
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

    void centring_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("300x200 on 1200x900") << QSize(1200, 900) << QSize(300, 200) << QPoint(450, 350);
        QTest::newRow("larger than the screen") << QSize(800, 600) << QSize(1000, 700) << QPoint(-100, -50);
    }

    void centring()
    {
        QFETCH(QSize, screen);
        QFETCH(QSize, window);
        QFETCH(QPoint, topLeft);
        QCOMPARE(WindowGeometry::centeredTopLeft(screen, window), topLeft);
    }
};

ORVANE_CORE_TEST_MAIN(TestCoreMisc)
#include "tst_coremisc.moc"
