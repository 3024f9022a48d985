// The text control's contract: text with CR LF, offsets in UTF-16 units,
// selection and the change event.
#include "ui/RichTextBox.h"
#include "support/TestEnv.h"


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
        QTest::newRow("a leading U+FEFF is text") << QString::fromUtf16(u"\uFEFF\uFEFFab");
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

};

ORVANE_GUI_TEST_MAIN(TestTextControl)
#include "tst_textcontrol.moc"
