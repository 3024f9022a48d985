// The text control's contract: text with CR LF, offsets in UTF-16 units,
// selection, RTF, the events, and that menu shortcuts beat its own keys.
#include "document/RichTextBox.h"
#include "support/Drops.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QMimeData>
#include <QSignalSpy>
#include <QUrl>

class TestTextControl : public QObject
{
    Q_OBJECT

private slots:
    void lengthsAndOffsetsCountUtf16Units_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("two lines") << QStringLiteral("ab\r\ncd");
        QTest::newRow("accents") << QStringLiteral("é\r\nñandú");
        QTest::newRow("outside the BMP") << QString::fromUtf16(u"a\U0001F600b\r\n\U0001F600");
        QTest::newRow("NUL") << QString::fromUtf16(u"a\u0000b", 3);
        QTest::newRow("empty") << QString();
    }

    void lengthsAndOffsetsCountUtf16Units()
    {
        QFETCH(QString, text);
        RichTextBox box;
        box.SetText(text);
        QCOMPARE(box.Text(), text);
        QCOMPARE(box.TextLength(), int(text.size()));
        for (int offset = 0; offset <= text.size(); ++offset) {
            if (offset > 0 && text.at(offset - 1).isHighSurrogate())
                continue; // inside a surrogate pair no caret can stand
            if (offset > 0 && text.at(offset - 1) == u'\r' && offset < text.size() && text.at(offset) == u'\n')
                continue; // nor inside CR LF
            box.SetSelStart(offset);
            QCOMPARE(box.SelStart(), offset);
            QCOMPARE(box.SelLength(), 0);
            box.SetSelLength(int(text.size()) - offset);
            QCOMPARE(box.SelText(), text.mid(offset));
            QCOMPARE(box.SelLength(), int(text.size()) - offset);
        }
    }

    void bigTextsKeepEveryCharacter()
    {
        // Larger than one load slice, with multi-byte characters and line
        // breaks on both sides of every slice boundary.
        QString line = QString::fromUtf16(u"é€😀 line\r\n");
        QString text;
        while (text.size() < 20 * 1024 * 1024)
            text += line;
        RichTextBox box;
        box.SetText(text);
        QCOMPARE(box.TextLength(), int(text.size()));
        QCOMPARE(box.textView().size(), text.toUtf8().size());
        QVERIFY(box.Text() == text);
        box.SetSelStart(int(text.size()) - int(line.size()));
        QCOMPARE(box.SelStart(), int(text.size()) - int(line.size()));
    }

    void selTextReplacesTheSelection()
    {
        RichTextBox box;
        QSignalSpy changes(&box, &RichTextBox::Change);
        box.SetText(QStringLiteral("hello world"));
        QCOMPARE(changes.size(), 1);
        box.SetSelStart(6);
        box.SetSelLength(5);
        box.SetSelText(QStringLiteral("there\r\nfriend"));
        QCOMPARE(box.Text(), QStringLiteral("hello there\r\nfriend"));
        QCOMPARE(box.SelStart(), 19);
        QCOMPARE(box.SelLength(), 0);
        QVERIFY(changes.size() >= 2);
        // An empty replacement deletes and leaves the caret where the text began.
        box.SetSelStart(0);
        box.SetSelLength(6);
        box.SetSelText(QString());
        QCOMPARE(box.Text(), QStringLiteral("there\r\nfriend"));
        QCOMPARE(box.SelStart(), 0);
        // NUL characters go in too.
        box.SetSelText(QString::fromUtf16(u"\u0000x", 2));
        QCOMPARE(box.TextLength(), 15);
    }

    void rtfRoundTripsThroughTheControl()
    {
        RichTextBox box;
        const QString text = QStringLiteral("<QRLTITLE>Page</QRLTITLE>\r\n{brace} \\ café");
        box.SetText(text);
        const QString rtf = box.TextRTF();
        QVERIFY(rtf.contains(QLatin1String("<QRLTITLE>Page</QRLTITLE>")));
        box.SetText(QString());
        box.SetTextRTF(rtf);
        QCOMPARE(box.Text(), text);
    }

    void typingRaisesChangeAndKeyPress()
    {
        RichTextBox box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QSignalSpy changes(&box, &RichTextBox::Change);
        QList<int> typed;
        connect(&box, &RichTextBox::KeyPress, this, [&typed](int &code) {
            typed << code;
            if (code == 'x')
                code = 0xA9; // replaced
            else if (code == 'z')
                code = 0;    // discarded
        });
        QTest::keyClicks(&box, QStringLiteral("axz"));
        QTest::keyClick(&box, Qt::Key_Return);
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(typed, (QList<int>{'a', 'x', 'z', 13, 8}));
        QCOMPARE(box.Text(), QString::fromUtf16(u"a\u00A9"));
        QVERIFY(changes.size() >= 2);
    }

    void editorKeysThatBelongToMenusAreReleased()
    {
        // The editor's own Ctrl+L (cut line), Ctrl+U (lower case), Ctrl+Z
        // and Ctrl+A must not act: the menus own these keys.
        RichTextBox box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.SetText(QStringLiteral("Line ONE\r\nline two"));
        box.SetSelStart(2);
        box.SetSelLength(3);
        for (Qt::Key key : {Qt::Key_L, Qt::Key_U, Qt::Key_Z, Qt::Key_Y, Qt::Key_T, Qt::Key_D, Qt::Key_A}) {
            QTest::keyClick(&box, key, Qt::ControlModifier);
            QTest::keyClick(&box, key, Qt::ControlModifier | Qt::ShiftModifier);
        }
        QCOMPARE(box.Text(), QStringLiteral("Line ONE\r\nline two"));
        QCOMPARE(box.SelText(), QStringLiteral("ne "));
    }

    void releasingAMenuKeyKeepsItsLetterTyping()
    {
        // Releasing Ctrl+E once unbound the plain letter e as well.
        RichTextBox box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        for (const char *key : {"Ctrl+E", "Ctrl+Shift+P", "Alt+A", "F4", "Shift+F2"})
            box.releaseKey(QKeySequence(QString::fromLatin1(key)));
        QTest::keyClicks(&box, QStringLiteral("epaEPA"));
        QCOMPARE(box.Text(), QStringLiteral("epaEPA"));
    }

    void onlyFileDropsAreTaken()
    {
        RichTextBox box;
        QSignalSpy drops(&box, &RichTextBox::OLEDragDrop);
        auto dropped = [&box](QMimeData *mime) { return simulateDrop(box.viewport(), mime); };
        QMimeData text;
        text.setText(QStringLiteral("dragged words"));
        QVERIFY(!dropped(&text));
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a b.txt")), QUrl(QStringLiteral("https://example.org/x")),
                       QUrl::fromLocalFile(QStringLiteral("/tmp/c.txt"))});
        QVERIFY(dropped(&files));
        QTRY_COMPARE(drops.size(), 1);
        QCOMPARE(drops.first().first().toStringList(), (QStringList{"/tmp/a b.txt", "/tmp/c.txt"}));
        QCOMPARE(box.Text(), QString());
    }
};

ORVANE_GUI_TEST_MAIN(TestTextControl)
#include "tst_textcontrol.moc"
