// The text control's contract: text with CR LF, offsets in UTF-16 units,
// selection and the change event; the code view's choice of colours.
#include "ui/CodeView.h"
#include "ui/RichTextBox.h"
#include "support/TestEnv.h"

#include <Qsci/qscilexer.h>
#include <QAccessible>
#include <QFontDatabase>
#include <QTemporaryDir>


class TestTextControl : public QObject
{
    Q_OBJECT

private slots:
    // The caret does not blink on a line longer than steadyCaretFrom.
    void steadyCaretOnLongLines()
    {
        RichTextBox box;
        box.steadyCaretFrom = 10;
        const long blinking = box.SendScintilla(QsciScintillaBase::SCI_GETCARETPERIOD);
        QVERIFY(blinking > 0);
        box.SetText(QStringLiteral("short\r\na line of more than ten bytes"));
        box.SetSelStart(int(box.TextLength()));
        QCoreApplication::processEvents();
        QCOMPARE(box.SendScintilla(QsciScintillaBase::SCI_GETCARETPERIOD), 0L);
        box.SetSelStart(0);
        QCoreApplication::processEvents();
        QCOMPARE(box.SendScintilla(QsciScintillaBase::SCI_GETCARETPERIOD), blinking);
    }

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

    // The text put in at once, or a character at a time after ASCII text
    // that then goes (offsets are bytes until another character comes).
    void lengthsAndOffsetsCountUtf16Units()
    {
        QFETCH(QString, text);
        RichTextBox box;
        box.SetText(text);
        QCOMPARE(box.Text(), text);
        RichTextBox typed;
        typed.SetText(QStringLiteral("ascii "));
        for (qsizetype i = 0; i < text.size(); ++i) {
            // A pair as one, and CR LF too, as Enter types it.
            const qsizetype width = text.at(i).isHighSurrogate() || text.mid(i, 2) == QLatin1String("\r\n") ? 2 : 1;
            typed.SetSelStart(typed.TextLength());
            typed.SetSelText(text.mid(i, width));
            i += width - 1;
        }
        typed.SetSelStart(0);
        typed.SetSelLength(6);
        typed.SetSelText(QString());
        QCOMPARE(typed.Text(), text);
        QCOMPARE(typed.TextLength(), int(text.size()));
        typed.SetSelStart(int(text.size()));
        QCOMPARE(typed.SelStart(), int(text.size()));
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

    // A text built in the background comes in pieces cut anywhere (between
    // a CR and its LF, inside a character) and still counts its offsets.
    void loadedInPiecesCountsUtf16Units()
    {
        const QString text = QString::fromUtf16(u"caf\u00E9\r\nline two \U0001F600\r\n\r\nend \u00F1");
        const QByteArray utf8 = text.toUtf8();
        const DocumentMaker maker;
        for (qsizetype cut = 1; cut < utf8.size(); ++cut) {
            RichTextBox box;
            const std::unique_ptr<TextLoader> loader = box.newLoader(utf8.size(), true, maker);
            QVERIFY(loader->begin(true));
            QVERIFY(loader->add(QByteArrayView(utf8).first(cut)) && loader->add(QByteArrayView(utf8).sliced(cut)));
            box.takeLoaded(*loader, false);
            QCOMPARE(box.Text(), text);
            QCOMPARE(box.TextLength(), int(text.size()));
            box.SetSelStart(int(text.lastIndexOf(u'\n')) + 1);
            box.SetSelLength(3);
            QCOMPARE(box.SelText(), QStringLiteral("end"));
        }
    }

    // What assistive technology reads counts UTF-16 units, as the rest does.
    void accessibleTextCountsUtf16Units()
    {
        RichTextBox box;
        const QString text = QString::fromUtf16(u"caf\u00E9 \U0001F600\r\nend");
        box.SetText(text);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&box);
        QVERIFY(accessible && accessible->textInterface());
        QAccessibleTextInterface *read = accessible->textInterface();
        QCOMPARE(read->characterCount(), int(text.size()));
        QCOMPARE(read->text(0, int(text.size())), text);
        QCOMPARE(read->text(5, 7), QString::fromUtf16(u"\U0001F600"));
        box.SetSelStart(9);
        QCOMPARE(read->cursorPosition(), 9);
        read->setSelection(0, 5, 7);
        QCOMPARE(box.SelText(), QString::fromUtf16(u"\U0001F600"));
        int start = 0, end = 0;
        read->selection(0, &start, &end);
        QCOMPARE(start, 5);
        QCOMPARE(end, 7);
    }

    // Replacing the text keeps the selection on the same characters; one
    // inside what changed ends after the new part.
    void changedTextKeepsTheSelection_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("selected"); // then the caret's place, after "|"
        QTest::newRow("before the change") << "abc welcome" << 0 << 3 << "abc Greetings" << "abc|3";
        QTest::newRow("after a longer change") << "welcome to the page" << 11 << 3 << "Greetings to the page" << "the|16";
        QTest::newRow("after a shorter change") << "Greetings to the page" << 13 << 3 << "welcome to the page" << "the|14";
        QTest::newRow("on the change") << "one welcome two" << 4 << 7 << "one Greetings two" << "Greetings|13";
        QTest::newRow("inside the change") << "one welcome two" << 5 << 3 << "one Greetings two" << "|13";
        QTest::newRow("spanning the change") << "ab welcome cd" << 0 << 12 << "ab Greetings cd" << "ab Greetings c|14";
    }

    void changedTextKeepsTheSelection()
    {
        QFETCH(QString, before);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, after);
        QFETCH(QString, selected);
        RichTextBox box;
        box.SetText(before);
        box.SetSelStart(start);
        box.SetSelLength(length);
        box.changeTextBytes(after.toUtf8());
        QCOMPARE(box.Text(), after);
        QCOMPARE(box.SelText() + u'|' + QString::number(box.SelStart() + box.SelLength()), selected);
    }

    void bigTextsKeepEveryCharacter()
    {
        // Larger than one load slice, with multi-byte characters and line
        // breaks on both sides of every slice boundary; and one long line,
        // whose slices must not end inside a character.
        for (const QString &line : {QString::fromUtf16(u"é€😀 line\r\n"), QString::fromUtf16(u"é€😀 one line ")}) {
            QString text;
            while (text.size() < 20 * 1024 * 1024)
                text += line;
            RichTextBox box;
            box.SetText(text);
            QCOMPARE(box.TextLength(), int(text.size()));
            QCOMPARE(box.textView().size(), text.toUtf8().size());
            QVERIFY(box.Text() == text);
            if (line.endsWith(u'\n')) { // placing the caret lays its line out: not a 20 MB one
                box.SetSelStart(int(text.size()) - int(line.size()));
                QCOMPARE(box.SelStart(), int(text.size()) - int(line.size()));
            }
        }
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

    void lexerForFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents"); // written when not empty
        QTest::addColumn<QString>("language");
        QTest::newRow("html") << "index.html" << QByteArray() << "HTML";
        QTest::newRow("HTM in capitals") << "OLD.HTM" << QByteArray() << "HTML";
        QTest::newRow("php") << "form.php" << QByteArray() << "HTML";
        QTest::newRow("css") << "site.css" << QByteArray() << "CSS";
        QTest::newRow("javascript") << "app.js" << QByteArray() << "JavaScript";
        QTest::newRow("c") << "main.c" << QByteArray() << "C++";
        QTest::newRow("c++ header") << "view.hpp" << QByteArray() << "C++";
        QTest::newRow("python") << "tool.py" << QByteArray() << "Python";
        QTest::newRow("perl") << "form.pl" << QByteArray() << "Perl";
        QTest::newRow("pascal") << "unit1.pas" << QByteArray() << "Pascal";
        QTest::newRow("shell") << "build.sh" << QByteArray() << "Bash";
        QTest::newRow("xml") << "feed.xml" << QByteArray() << "XML";
        QTest::newRow("svg is xml") << "icon.svg" << QByteArray() << "XML";
        QTest::newRow("ini") << "setup.ini" << QByteArray() << "Properties";
        QTest::newRow("sql") << "schema.sql" << QByteArray() << "SQL";
        QTest::newRow("markdown") << "README.md" << QByteArray() << "Markdown";
        QTest::newRow("plain text") << "notes.txt" << QByteArray() << "";
        QTest::newRow("untitled") << "" << QByteArray() << "";
        QTest::newRow("script by its #! line") << "configure" << QByteArray("#!/bin/sh\necho hi\n") << "Bash";
        QTest::newRow("python by its #! line") << "tool" << QByteArray("#!/usr/bin/env python3\nprint(1)\n") << "Python";
        QTest::newRow("no name, no type") << "LICENSE" << QByteArray("Permission is granted\n") << "";
    }

    void lexerForFile()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QTemporaryDir dir;
        const QString path = name.isEmpty() ? QString() : dir.filePath(name);
        if (!contents.isEmpty())
            QVERIFY(writeBytes(path, contents));
        QTEST(CodeView::languageFor(path), "language");
    }

    // The code view colours in the palette's colours, dark on a dark desktop;
    // off, the control is as it was. A file over the limit has no colours.
    void codeViewLook()
    {
        QTemporaryDir dir;
        const QString page = dir.filePath(QStringLiteral("page.html"));
        RichTextBox box;
        box.SetText(QStringLiteral("<p class=\"a\">x</p>\r\n"));
        const auto styleFont = [&box](int style) {
            char name[256] = {};
            box.SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, style, name);
            return QString::fromUtf8(name);
        };
        const QString documentFont = styleFont(QsciScintillaBase::STYLE_DEFAULT);
        const QString fixedFont = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
        QVERIFY(documentFont != fixedFont);
        for (const bool dark : {false, true}) {
            QPalette palette;
            palette.setColor(QPalette::Base, dark ? QColor(30, 30, 30) : QColor(Qt::white));
            palette.setColor(QPalette::Text, dark ? QColor(Qt::white) : QColor(Qt::black));
            box.setPalette(palette);
            QCOMPARE(CodeView::apply(box, true, false, page), QString());
            QCOMPARE(QString::fromLatin1(box.lexer()->language()), QStringLiteral("HTML"));
            QCOMPARE(styleFont(1), fixedFont); // a tag
            box.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
            QCOMPARE(box.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, 1), 1L); // "p" is coloured as a tag
            const auto back = QColor::fromRgb(QRgb(box.SendScintilla(QsciScintillaBase::SCI_STYLEGETBACK, 1)));
            const auto fore = QColor::fromRgb(QRgb(box.SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, 1)));
            QCOMPARE(back.lightness() < 128, dark);
            QCOMPARE(fore.lightness() > 128, dark);
            QVERIFY(box.marginWidth(0) > 0);
            QCOMPARE(box.tabWidth(), 4);
            QCOMPARE(box.Text(), QStringLiteral("<p class=\"a\">x</p>\r\n"));
            CodeView::apply(box, false, false, page);
            QVERIFY(!box.lexer());
            QCOMPARE(styleFont(QsciScintillaBase::STYLE_DEFAULT), documentFont);
            QCOMPARE(box.marginWidth(0), 0);
            QCOMPARE(box.tabWidth(), 8);
        }
        box.SetText(QString(CodeView::kHighlightLimit + 1, u'x'));
        QCOMPARE(CodeView::apply(box, true, true, page),
                 QStringLiteral("No colours: the file is over 10 MB; No wrapping: the file is over 256 kB"));
        QVERIFY(!box.lexer());
        QCOMPARE(box.wrapMode(), QsciScintilla::WrapNone);
        QCOMPARE(styleFont(QsciScintillaBase::STYLE_DEFAULT), fixedFont);
        // Wrapped up to the limit, in either view; a text still to come by its size.
        box.SetText(QString(CodeView::kWrapLimit, u'x'));
        QCOMPARE(CodeView::apply(box, false, true, page), QString());
        QCOMPARE(box.wrapMode(), QsciScintilla::WrapWord);
        box.SetText(QString());
        QCOMPARE(CodeView::apply(box, false, true, page, CodeView::kWrapLimit + 1),
                 QStringLiteral("No wrapping: the file is over 256 kB"));
        QCOMPARE(box.wrapMode(), QsciScintilla::WrapNone);
    }

    // Text without colours that has a long line is laid out in pieces (every
    // other run of word characters or of others in a second style), which
    // look exactly as the text does otherwise, in either view.
    void longLinesAreLaidOutInPieces()
    {
        RichTextBox box;
        const auto look = [&box](int style) {
            char name[256] = {};
            box.SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, style, name);
            return QStringList{QString::fromUtf8(name)}
                << QString::number(box.SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, style))
                << QString::number(box.SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, style))
                << QString::number(box.SendScintilla(QsciScintillaBase::SCI_STYLEGETBACK, style));
        };
        for (const bool codeView : {false, true}) {
            box.SetText(QStringLiteral("short"));
            CodeView::apply(box, codeView, false, QStringLiteral("notes.txt"));
            QVERIFY(!box.lexer());
            const QStringList plain = look(QsciScintillaBase::STYLE_DEFAULT);
            box.SetText(QStringLiteral("short\r\n") + QStringLiteral("ab, ").repeated(CodeView::kPiecesFrom / 4 + 1));
            CodeView::apply(box, codeView, false, QStringLiteral("notes.txt"));
            QVERIFY(box.lexer());
            box.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
            const long ab = box.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, 7);
            QCOMPARE(box.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, 9), 1 - ab); // ", "
            QCOMPARE(box.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, 11), ab);    // the next "ab"
            QCOMPARE(look(0), plain);
            QCOMPARE(look(1), plain);
        }
    }
};

ORVANE_GUI_TEST_MAIN(TestTextControl)
#include "tst_textcontrol.moc"
