// The file codec and whole-file I/O: what bytes become which text, and what
// a save writes back.
#include "core/FileIO.h"
#include "core/TextFileCodec.h"
#include "core/Utf8Stream.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QFile>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace TextFileCodec;

Q_DECLARE_METATYPE(TextFileCodec::Encoding)
Q_DECLARE_METATYPE(TextFileCodec::LineEnd)

namespace {

QByteArray allByteValues()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    return bytes;
}

// Runs fn with the effective user "nobody", for whom permission bits count
// (the tests run as root, which they do not stop).
template <typename Fn>
void asNobody(Fn fn)
{
    QVERIFY(::seteuid(65534) == 0);
    fn();
    QVERIFY(::seteuid(0) == 0);
}

struct Streamed {
    bool read = false; // false: the stream gave up
    QByteArray text;
    FileFormat format;
    qsizetype longest = 0;
    bool nonAscii = false;
};

// A file of raw's bytes read slice by slice into the stream.
Streamed streamed(const QByteArray &raw, qint64 slice, qsizetype longestLine = 1 << 30)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("streamed"));
    writeBytes(path, raw);
    Streamed s;
    Utf8Stream stream(
        [&](QByteArrayView text) {
            s.text += text;
            return true;
        },
        longestLine);
    const FileIO::Failure failure =
        FileIO::readInSlices(path, slice, [&](QByteArrayView bytes, bool last) { return stream.add(bytes, last); });
    s.read = !failure && !stream.gaveUp();
    s.format = stream.format();
    s.longest = stream.longestLine();
    s.nonAscii = stream.nonAscii();
    return s;
}

// The quick whole-file decoding tools use reads as decode does, line breaks
// aside; a file read slice by slice gets decode's text, format and longest
// line, or none (the stream gave up), whatever the slices' size.
void decodesAsDocumentsDo(const QByteArray &raw)
{
    QCOMPARE(withCrLfBreaks(decodeToString(raw)), withCrLfBreaks(toQString(decode(raw, false).text)));
    const Decoded whole = decode(raw);
    const bool read = streamed(raw, 1 << 20).read;
    for (qint64 slice : {1, 2, 3, 7, 1 << 20}) {
        const Streamed s = streamed(raw, slice);
        QCOMPARE(s.read, read);
        if (!read)
            continue;
        QCOMPARE(s.text, whole.text);
        QCOMPARE(s.format, whole.format);
        QCOMPARE(s.longest, longestLine(whole.text));
        QCOMPARE(s.nonAscii, !isAscii(whole.text));
    }
}

} // namespace

class TestTextFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { FileIO::ignoreFileSizeSignal(); }

    // A plain save writes the text and the file's final break; a binary save
    // the text alone. plainSave "" means the file's own bytes come back.
    void decodeAndSave_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Encoding>("encoding");
        QTest::addColumn<LineEnd>("lineEnd");
        QTest::addColumn<QByteArray>("plainSave");
        const auto u8 = Encoding::Utf8;
        const auto w1252 = Encoding::Windows1252;
        const auto crlf = LineEnd::CrLf;
        using B = QByteArray;
        QTest::newRow("ab CR LF c") << B("ab\r\nc") << B("ab\r\nc") << u8 << crlf << B("\x61\x62\x0D\x0A\x63\x0D\x0A");
        QTest::newRow("CR only lines") << B("a\rb\r") << B("a\r\nb") << u8 << LineEnd::Cr << B();
        QTest::newRow("LF only lines") << B("a\nb\n") << B("a\r\nb") << u8 << LineEnd::Lf << B();
        QTest::newRow("LF only, no final break") << B("a\nb") << B("a\r\nb") << u8 << LineEnd::Lf << B("a\nb\n");
        QTest::newRow("mixed keeps lone LF and CR") << B("a\r\nb\nc\rd\r\n") << B("a\r\nb\nc\rd") << u8 << crlf << B();
        QTest::newRow("mixed ending in a lone LF") << B("line1\nline2\r\nline3\n") << B("line1\nline2\r\nline3") << u8
                                                   << crlf << B();
        QTest::newRow("mixed ending in a lone CR") << B("a\r\nb\r") << B("a\r\nb") << u8 << crlf << B();
        QTest::newRow("empty file") << B() << B() << u8 << crlf << B("\r\n");
        QTest::newRow("one break only") << B("\r\n") << B() << u8 << crlf << B();
        QTest::newRow("empty last line") << B("a\r\n\r\n") << B("a\r\n") << u8 << crlf << B();
        QTest::newRow("empty lines LF") << B("\n\n\n") << B("\r\n\r\n") << u8 << LineEnd::Lf << B();
        QTest::newRow("UTF-8 with BOM") << B("\xEF\xBB\xBF\xC3\xA9t\xC3\xA9\r\n") << B("\xC3\xA9t\xC3\xA9")
                                        << Encoding::Utf8Bom << crlf << B();
        QTest::newRow("UTF-8 LF, 4-byte char") << B("\xF0\x9F\x98\x80\n") << B("\xF0\x9F\x98\x80") << u8 << LineEnd::Lf << B();
        QTest::newRow("Windows-1252") << B("caf\xE9 \x80\r\n") << B("caf\xC3\xA9 \xE2\x82\xAC") << w1252 << crlf << B();
        QTest::newRow("Windows-1252 LF") << B("\x93q\x94\n") << B("\xE2\x80\x9Cq\xE2\x80\x9D") << w1252 << LineEnd::Lf << B();
        QTest::newRow("NUL bytes in UTF-8") << B("a\0b\r\n\0\r\n", 8) << B("a\0b\r\n\0", 6) << u8 << crlf << B();
        QTest::newRow("invalid UTF-8 sequence") << B("\xC3\x28\r\n") << B("\xC3\x83(") << w1252 << crlf << B();
        QTest::newRow("BOM then invalid bytes") << B("\xEF\xBB\xBF\xFF\r\n") << B("\xC3\xAF\xC2\xBB\xC2\xBF\xC3\xBF") << w1252
                                                << crlf << B();
    }

    void decodeAndSave()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QByteArray, text);
        QFETCH(Encoding, encoding);
        QFETCH(LineEnd, lineEnd);
        QFETCH(QByteArray, plainSave);
        if (plainSave.isEmpty())
            plainSave = raw;

        const Decoded d = decode(raw);
        QCOMPARE(d.text, text);
        QCOMPARE(d.format.encoding, encoding);
        QCOMPARE(d.format.lineEnd, lineEnd);
        decodesAsDocumentsDo(raw);

        QByteArray out;
        QString error;
        QVERIFY(encode(d.text, d.format, true, &out, &error));
        QCOMPARE(out, plainSave);
        QVERIFY(encode(d.text, d.format, false, &out, &error));
        QCOMPARE(out, plainSave.chopped(plainSave.endsWith("\r\n") ? 2 : 1));
        // What a save wrote reads back as the same text.
        QCOMPARE(decode(plainSave).text, text);
    }

    // UTF-16 and UTF-32 files come back byte for byte; a plain save's final
    // break is written in the file's encoding.
    void wideEncodings_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Encoding>("encoding");
        QTest::addColumn<QByteArray>("plainSave"); // "" : raw itself
        const struct {
            const char *name;
            Encoding encoding;
            QStringConverter::Encoding qt;
            QByteArray bom;
        } kinds[] = {
            {"UTF-16 LE", Encoding::Utf16LeBom, QStringConverter::Utf16LE, QByteArray("\xFF\xFE", 2)},
            {"UTF-16 BE", Encoding::Utf16BeBom, QStringConverter::Utf16BE, QByteArray("\xFE\xFF", 2)},
            {"UTF-32 LE", Encoding::Utf32LeBom, QStringConverter::Utf32LE, QByteArray("\xFF\xFE\0\0", 4)},
            {"UTF-32 BE", Encoding::Utf32BeBom, QStringConverter::Utf32BE, QByteArray("\0\0\xFE\xFF", 4)},
            {"UTF-16 LE without BOM", Encoding::Utf16Le, QStringConverter::Utf16LE, QByteArray()},
            {"UTF-16 BE without BOM", Encoding::Utf16Be, QStringConverter::Utf16BE, QByteArray()},
            {"UTF-32 LE without BOM", Encoding::Utf32Le, QStringConverter::Utf32LE, QByteArray()},
            {"UTF-32 BE without BOM", Encoding::Utf32Be, QStringConverter::Utf32BE, QByteArray()},
        };
        for (const auto &k : kinds) {
            const auto wide = [&](const QString &s) { return k.bom + QByteArray(QStringEncoder(k.qt).encode(s)); };
            QTest::addRow("%s, CR LF", k.name) << wide("Titel\r\nZeile\r\n") << "Titel\r\nZeile" << k.encoding << QByteArray();
            QTest::addRow("%s, LF, no final break", k.name) << wide("a\nb") << "a\r\nb" << k.encoding << wide("a\nb\n");
            QTest::addRow("%s, accents and a euro sign", k.name) << wide(QString::fromUtf16(u"Hello w\u00f6rld \u20ac\nline2\n"))
                                                                 << QString::fromUtf16(u"Hello w\u00f6rld \u20ac\r\nline2")
                                                                 << k.encoding << QByteArray();
            if (!k.bom.isEmpty()) // a NUL or an emoji makes BOM-less text doubtful: not taken
                QTest::addRow("%s, NUL and outside the BMP", k.name) << wide(QString::fromUtf16(u"x\u0000\U0001F600y\r\n", 7))
                                                                     << QString::fromUtf16(u"x\u0000\U0001F600y", 5) << k.encoding
                                                                     << QByteArray();
        }
        QByteArray nuls(64, '\0');
        nuls[10] = '\xE9';
        QString nulText(64, QChar(0));
        nulText[10] = QChar(0xE9);
        QTest::newRow("a Windows-1252 file full of NULs") << nuls << nulText << Encoding::Windows1252 << nuls + "\r\n";
        QTest::newRow("UTF-16 LE: a U+FEFF after the BOM is text") << QByteArray("\xFF\xFE\xFF\xFEx\0\r\0\n\0", 10)
                                                                   << QString::fromUtf16(u"\uFEFFx") << Encoding::Utf16LeBom << QByteArray();
        QTest::newRow("a lone surrogate: read as Windows-1252, every byte kept") << QByteArray("\xFF\xFE\x00\xD8", 4)
                                                                                 << QString::fromUtf16(u"\u00FF\u00FE\u0000\u00D8", 4)
                                                                                 << Encoding::Windows1252
                                                                                 << QByteArray("\xFF\xFE\x00\xD8\r\n", 6);
    }

    void wideEncodings()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QString, text);
        QFETCH(Encoding, encoding);
        QFETCH(QByteArray, plainSave);
        const Decoded d = decode(raw);
        QCOMPARE(QString::fromUtf8(d.text), text);
        QCOMPARE(d.format.encoding, encoding);
        decodesAsDocumentsDo(raw);
        QByteArray out;
        QString error;
        QVERIFY(encode(d.text, d.format, true, &out, &error));
        QCOMPARE(out, plainSave.isEmpty() ? raw : plainSave);
    }

    // One file per family of legacy encodings: found, shown as written, and
    // saved back byte for byte.
    void legacyEncodings_data()
    {
        QTest::addColumn<QByteArray>("codec");
        QTest::addColumn<QString>("text");
        const struct {
            const char *codec;
            const char16_t *text;
        } files[] = {
            {"KOI8-R", u"Привет! Это обычный текст на русском языке, который пишут в старых файлах и на веб-страницах. Здесь нет ничего необычного."},
            {"windows-1251", u"Съешь же ещё этих мягких французских булок, да выпей чаю. Этот текст написан в кодировке, которую использует Windows для кириллицы."},
            {"ISO-8859-7", u"Η γρήγορη καφέ αλεπού πηδά πάνω από τον τεμπέλη σκύλο. Αυτό είναι ένα κείμενο στα ελληνικά, γραμμένο σε παλιά κωδικοποίηση."},
            {"windows-1255", u"זהו טקסט בעברית שנכתב בקידוד ישן של חלונות. הוא מכיל משפטים רגילים כמו אלה שנמצאים בדפי אינטרנט ישנים."},
            {"windows-1256", u"هذا نص باللغة العربية مكتوب بترميز قديم من ويندوز. يحتوي على جمل عادية مثل التي نجدها في صفحات الإنترنت القديمة."},
            {"ISO-8859-2", u"Zażółć gęślą jaźń. Pchnąć w tę łódź jeża lub ośm skrzyń fig. Ten tekst jest napisany po polsku w starym kodowaniu znaków."},
            {"TIS-620", u"นี่คือข้อความภาษาไทยที่เขียนด้วยการเข้ารหัสแบบเก่า มีประโยคธรรมดาเหมือนที่พบในหน้าเว็บเก่า ๆ"},
            {"Shift_JIS", u"これは古い文字コードで書かれた日本語の文章です。昔のウェブページや字幕ファイルによく見られる普通の文です。"},
            {"ISO-2022-JP", u"これは古い文字コードで書かれた日本語の文章です。昔のウェブページや字幕ファイルによく見られる普通の文です。"},
            {"EUC-JP", u"これは古い文字コードで書かれた日本語の文章です。昔のウェブページや字幕ファイルによく見られる普通の文です。"},
            {"GB18030", u"这是用旧编码写成的中文文本。它包含在旧网页和字幕文件中常见的普通句子。我们希望编辑器能正确显示它。"},
            {"Big5", u"這是用舊編碼寫成的中文文本。它包含在舊網頁和字幕檔案中常見的普通句子。我們希望編輯器能正確顯示它。"},
            {"EUC-KR", u"이것은 오래된 인코딩으로 작성된 한국어 텍스트입니다. 오래된 웹 페이지와 자막 파일에서 흔히 볼 수 있는 평범한 문장입니다."},
        };
        for (const auto &f : files) {
            const QString line = QString::fromUtf16(f.text);
            QTest::newRow(f.codec) << QByteArray(f.codec) << line + QStringLiteral("\r\n") + line + QStringLiteral("\r\n") + line;
        }
    }

    void legacyEncodings()
    {
        QFETCH(QByteArray, codec);
        QFETCH(QString, text);
        QByteArray raw;
        QVERIFY(textToLegacy(codec, text + QStringLiteral("\n"), &raw));
        raw.replace("\r\n", "\n"); // LF breaks, kept as they are
        const Decoded d = decode(raw);
        QCOMPARE(d.format.encoding, Encoding::Legacy);
        QVERIFY2(d.format.codec.compare(codec, Qt::CaseInsensitive) == 0, d.format.codec);
        QCOMPARE(toQString(d.text), text);
        QCOMPARE(d.format.lineEnd, LineEnd::Lf);
        decodesAsDocumentsDo(raw);
        QByteArray out;
        QString error;
        QVERIFY(encode(d.text, d.format, true, &out, &error));
        QCOMPARE(out, raw);
        // A character the encoding cannot hold is named (GB18030 holds all).
        if (codec == "GB18030")
            return;
        QVERIFY(!encode(d.text + "\xF0\x9F\x98\x80", d.format, true, &out, &error));
        QVERIFY2(error.contains(QLatin1String("U+1F600")), qPrintable(error));
    }

    // A guess that would not give the same bytes back is not taken: bytes
    // that Shift_JIS does not hold (a lead byte with no second) stay
    // Windows-1252, every byte kept.
    void aGuessThatWouldNotRoundTrip()
    {
        QByteArray raw;
        QVERIFY(textToLegacy("Shift_JIS", u"これは古い文字コードで書かれた日本語の文章です。昔のウェブページによく見られる普通の文です。\r\n", &raw));
        raw.append("\x82");
        const Decoded d = decode(raw, false);
        QCOMPARE(d.format.encoding, Encoding::Windows1252);
        QByteArray out;
        QString error;
        QVERIFY(encode(d.text, d.format, false, &out, &error));
        QCOMPARE(out, raw);
    }

    // Every encoding offered by hand reads a file in it and writes it back;
    // bytes that are no text in it are refused.
    void everyOfferedEncoding()
    {
        const QString text = QStringLiteral("Plain text, line one\r\nline two");
        QVERIFY(TextFileCodec::legacyEncodings().size() >= 40);
        for (const QByteArray &codec : TextFileCodec::legacyEncodings()) {
            QByteArray raw;
            QVERIFY2(textToLegacy(codec, text + QStringLiteral("\r\n"), &raw), codec);
            Decoded d;
            QVERIFY2(decodeAs(raw, Encoding::Legacy, codec, &d), codec);
            QCOMPARE(toQString(d.text), text);
            QByteArray out;
            QString error;
            QVERIFY2(encode(d.text, d.format, true, &out, &error) && out == raw, codec);
        }
        Decoded d;
        QVERIFY(!decodeAs(QByteArray("\x82\r\n"), Encoding::Legacy, "Shift_JIS", &d));
        QVERIFY(!decodeAs(QByteArray("caf\xE9"), Encoding::Utf8, QByteArray(), &d));
        QVERIFY(decodeAs(QByteArray("caf\xC3\xA9"), Encoding::Windows1252, QByteArray(), &d));
        QCOMPARE(d.text, QByteArray("caf\xC3\x83\xC2\xA9"));
    }

    void everyByteValueRoundTrips()
    {
        // Any file, binary ones included, opens and saves back byte for byte
        // when it ends with a line break.
        const QByteArray noCr = allByteValues().replace('\r', "");
        for (const QByteArray &raw : {allByteValues() + "\r\n", noCr + noCr + "\n", QByteArray(1000, '\0') + "x\r\n"}) {
            const Decoded d = decode(raw);
            QByteArray out;
            QString error;
            QVERIFY(encode(d.text, d.format, true, &out, &error));
            QCOMPARE(out, raw);
        }
    }

    void longLinesCut_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("longest");
        QTest::addColumn<QByteArray>("shown"); // lines over 6 bytes cut to 3
        QTest::newRow("empty") << QByteArray() << 0 << QByteArray();
        QTest::newRow("short lines stay") << QByteArray("abc\r\nabcdef\r\n") << 6 << QByteArray("abc\r\nabcdef\r\n");
        QTest::newRow("a long last line") << QByteArray("ab\r\n0123456789") << 10
                                          << QByteArray("ab\r\n012 [\xE2\x80\xA6 7 more bytes of this line are not shown]");
        QTest::newRow("cut before a character, its CR kept") << QByteArray("ab\xC3\xA9xxxx\r\nz") << 8
                                          << QByteArray("ab [\xE2\x80\xA6 6 more bytes of this line are not shown]\r\nz");
        QTest::newRow("lone LF breaks") << QByteArray("0123456789\n\nx") << 10
                                        << QByteArray("012 [\xE2\x80\xA6 7 more bytes of this line are not shown]\n\nx");
    }

    void longLinesCut()
    {
        QFETCH(QByteArray, text);
        QTEST(int(longestLine(text)), "longest");
        QTEST(cutLongLines(text, 6, 3), "shown");
    }

    // The usual file is read a slice at a time: UTF-8, with or without a
    // BOM, with each kind of break, ASCII or not. Others are left to the
    // whole-file decoding (a CR LF with other breaks is kept as it is).
    void readSliceBySlice_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<bool>("read");
        const QMetaEnum ends = QMetaEnum::fromType<LineEnd>();
        for (int i = 0; i < ends.keyCount(); ++i) {
            const auto end = LineEnd(ends.value(i));
            const QByteArray br = end == LineEnd::Lf ? "\n" : end == LineEnd::Cr ? "\r" : "\r\n";
            for (const char *head : {"", "\xEF\xBB\xBF"}) {
                for (const char *line : {"plain line", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"}) {
                    const QByteArray lines = QByteArray(head) + line + br + br + line;
                    QTest::addRow("%s, %s%s", ends.key(i), *head ? "BOM, " : "", line) << lines << true;
                    QTest::addRow("%s, %s%s, final break", ends.key(i), *head ? "BOM, " : "", line) << lines + br << true;
                }
            }
        }
        QTest::newRow("CR LF with lone LF and CR") << QByteArray("a\r\nb\nc\rd\n") << true;
        QTest::newRow("no break") << QByteArray("abc") << true;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("an escape that is no ISO-2022") << QByteArray("\x1B[1mbold\x1B[0m\n") << true;
        QTest::newRow("LF, then CR LF") << QByteArray("a\nb\r\n") << false;
        QTest::newRow("CR, then LF") << QByteArray("a\rb\nc") << false;
        QTest::newRow("Windows-1252 late") << QByteArray(5000, 'a') + "caf\xE9\n" << false;
        QTest::newRow("a character cut at the end") << QByteArray("caf\xC3") << false;
        QTest::newRow("NUL") << QByteArray("a\0b\n", 4) << false;
        QTest::newRow("ISO-2022") << QByteArray("\x1B$B$3$l\x1B(B\n") << false;
        QTest::newRow("UTF-16") << QByteArray("\xFF\xFE" "a\0\n\0", 6) << false;
    }

    void readSliceBySlice()
    {
        QFETCH(QByteArray, raw);
        QFETCH(bool, read);
        QCOMPARE(streamed(raw, 1 << 20).read, read);
        decodesAsDocumentsDo(raw);
    }

    // A line longer than the stream takes, and a sink that stops it, end
    // the read there.
    void sliceReadsEnd()
    {
        const QByteArray raw = QByteArray(100, 'a') + "\n" + QByteArray(300, 'b') + "\n";
        QVERIFY(streamed(raw, 64, 300).read);
        QVERIFY(!streamed(raw, 64, 299).read);
        static QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f"));
        writeBytes(path, raw);
        int pieces = 0;
        Utf8Stream stream([&](QByteArrayView) { return ++pieces < 2; }, 1000);
        qint64 given = 0;
        QVERIFY(!FileIO::readInSlices(path, 64, [&](QByteArrayView bytes, bool last) {
            given += bytes.size();
            return stream.add(bytes, last);
        }));
        QCOMPARE(pieces, 2);
        QVERIFY(given < raw.size() && !stream.gaveUp());
    }

    void windows1252CannotHoldEveryCharacter()
    {
        QByteArray out("untouched");
        QString error;
        const FileFormat format{Encoding::Windows1252, LineEnd::CrLf};
        QVERIFY(!encode(QByteArray("ok \xE4\xB8\xAD"), format, true, &out, &error));
        QVERIFY2(error.contains(QLatin1String("U+4E2D")), qPrintable(error));
        QCOMPARE(out, QByteArray("untouched"));
        QVERIFY(encode(QByteArray("\xE2\x82\xAC"), format, false, &out, &error));
        QCOMPARE(out, QByteArray("\x80"));
    }

    // Each fails at once with a clear reason: nothing hangs, nothing is read.
    void readFailures_data()
    {
        QTest::addColumn<QString>("path"); // relative to a folder holding adir, fifo and huge
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");
        QTest::newRow("missing file") << "nothing.txt" << int(FileIO::FileNotFound) << "File not found";
        QTest::newRow("missing folder") << "no/such/dir/file.txt" << int(FileIO::PathNotFound) << "Path not found";
        QTest::newRow("directory") << "adir" << int(FileIO::PathFileAccessError) << "Path/File access error";
        QTest::newRow("named pipe: open would wait for ever") << "fifo" << int(FileIO::PathFileAccessError)
                                                              << "not a regular file (a named pipe)";
        QTest::newRow("/dev/zero: never ends") << "/dev/zero" << int(FileIO::PathFileAccessError)
                                               << "not a regular file (a character device)";
        QTest::newRow("bigger than the editor holds (sparse)") << "huge" << int(FileIO::OutOfMemory)
                                                               << "too big for the editor (1.0 TB; it holds at most 2.0 GB)";
        QTest::newRow("unreadable, as nobody") << "secret" << int(FileIO::PermissionDenied) << "secret is not readable";
    }

    void readFailures()
    {
        QFETCH(QString, path);
        QFETCH(int, code);
        QFETCH(QString, says);
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777)));
        QDir(dir.path()).mkdir(QStringLiteral("adir"));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo"))).constData(), 0600), 0);
        QFile huge(dir.filePath(QStringLiteral("huge")));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(1) << 40));
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("secret")), "x"));
        QVERIFY(QFile::setPermissions(dir.filePath(QStringLiteral("secret")), QFileDevice::ReadOwner));

        QByteArray bytes("keep");
        FileIO::Failure f;
        asNobody([&] { f = FileIO::readWholeFile(path.startsWith(u'/') ? path : dir.filePath(path), &bytes); });
        QCOMPARE(f.code, code);
        QVERIFY2(f.description.contains(says), qPrintable(f.description));
        QCOMPARE(bytes, QByteArray("keep"));
    }

    // A write that fails leaves the old file byte for byte and no temporary
    // file; sizes below and above QSaveFile's 16 KiB buffer.
    void writeFailuresLeaveTheOldFile_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("limit"); // -1: none; -2: half the size; -3: size - 1
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");
        for (int size : {5000, 16384, 20000}) {
            for (int limit : {0, 1, -2, -3}) {
                QTest::addRow("full disk, %d bytes, limit %s", size,
                              limit == -2 ? "half" : limit == -3 ? "size - 1" : QByteArray::number(limit).constData())
                    << "old.txt" << size << limit << int(FileIO::DiskFull) << "Disk full";
            }
        }
        QTest::newRow("missing folder") << "gone/out.txt" << 10 << -1 << int(FileIO::PathNotFound) << "Path not found";
        QTest::newRow("directory in the file's place") << "adir" << 10 << -1 << int(FileIO::PathFileAccessError) << "";
        QTest::newRow("read-only file, as nobody") << "readonly.txt" << 10 << -1 << int(FileIO::PermissionDenied)
                                                   << "readonly.txt is not writable";
        QTest::newRow("read-only folder, as nobody") << "closed/new.txt" << 10 << -1 << int(FileIO::PermissionDenied)
                                                     << "no new file can be made in";
    }

    void writeFailuresLeaveTheOldFile()
    {
        QFETCH(QString, target);
        QFETCH(int, size);
        QFETCH(int, limit);
        QFETCH(int, code);
        QFETCH(QString, says);
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777)));
        QDir(dir.path()).mkdir(QStringLiteral("adir"));
        QDir(dir.path()).mkdir(QStringLiteral("closed"));
        const QByteArray old("old content\r\n");
        for (const char *name : {"old.txt", "readonly.txt"})
            QVERIFY(writeBytes(dir.filePath(QLatin1String(name)), old));
        QVERIFY(QFile::setPermissions(dir.filePath(QStringLiteral("readonly.txt")), QFileDevice::ReadOwner | QFileDevice::ReadOther));
        QVERIFY(QFile::setPermissions(dir.filePath(QStringLiteral("closed")), QFileDevice::ReadOther | QFileDevice::ExeOther));

        FileIO::Failure f;
        if (limit == -1) {
            asNobody([&] { f = FileIO::writeWholeFile(dir.filePath(target), QByteArray(size, 'x')); });
        } else {
            FileSizeLimit full(limit == -2 ? size / 2 : limit == -3 ? size - 1 : limit);
            f = FileIO::writeWholeFile(dir.filePath(target), QByteArray(size, 'x'));
        }
        QCOMPARE(f.code, code);
        QVERIFY2(f.description.contains(says), qPrintable(f.description));
        QCOMPARE(fileBytes(dir.filePath(QStringLiteral("old.txt"))), old);
        QCOMPARE(fileBytes(dir.filePath(QStringLiteral("readonly.txt"))), old);
        // No temporary file is left behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{QStringLiteral("old.txt"), QStringLiteral("readonly.txt")}));
        QVERIFY(QDir(dir.filePath(QStringLiteral("closed"))).isEmpty());
    }

    // Only a regular file is replaced; what else stands in its place stays
    // as it was, and nothing is left behind.
    void writeGate_data()
    {
        QTest::addColumn<QString>("target"); // in a folder holding these, and old.txt
        QTest::addColumn<QString>("options"); // "changed": the stamp moved on; "private": no links
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");
        const int refused = FileIO::PathFileAccessError;
        QTest::newRow("regular file") << "old.txt" << "" << 0 << "";
        QTest::newRow("named pipe") << "fifo" << "" << refused << "not a regular file (a named pipe)";
        QTest::newRow("link to a named pipe") << "to-fifo" << "" << refused << "not a regular file (a named pipe)";
        QTest::newRow("character device") << "device" << "" << refused << "not a regular file (a character device)";
        QTest::newRow("folder") << "adir" << "" << refused << "not a regular file (a folder)";
        QTest::newRow("link loop") << "loop1" << "" << refused << "too many links";
        QTest::newRow("changed since the write began") << "old.txt" << "changed" << int(FileIO::ChangedMeanwhile)
                                                       << "Another program changed the file while it was being written";
        QTest::newRow("a private file: link refused") << "to-old" << "private" << refused << "not a regular file (a link)";
        QTest::newRow("a private file: regular") << "old.txt" << "private" << 0 << "";
    }

    void writeGate()
    {
        QFETCH(QString, target);
        QFETCH(QString, options);
        QFETCH(int, code);
        QFETCH(QString, says);
        QTemporaryDir dir;
        const auto at = [&](const char *name) { return dir.filePath(QLatin1String(name)); };
        QVERIFY(writeBytes(at("old.txt"), "old"));
        QDir(dir.path()).mkdir(QStringLiteral("adir"));
        QCOMPARE(::mkfifo(QFile::encodeName(at("fifo")).constData(), 0600), 0);
        QCOMPARE(::mknod(QFile::encodeName(at("device")).constData(), S_IFCHR | 0600, makedev(1, 3)), 0);
        QVERIFY(QFile::link(at("fifo"), at("to-fifo")) && QFile::link(at("old.txt"), at("to-old")));
        QVERIFY(QFile::link(at("loop2"), at("loop1")) && QFile::link(at("loop1"), at("loop2")));
        const auto kinds = [&] {
            QStringList out;
            for (const QString &name : QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
                struct stat st {};
                ::lstat(QFile::encodeName(dir.filePath(name)).constData(), &st);
                out << name + u':' + QString::number(st.st_mode & S_IFMT, 8);
            }
            return out;
        };
        const QStringList before = kinds();
        FileIO::Stamp stamp = FileIO::stampOf(at("old.txt"));
        stamp.size += options == QLatin1String("changed");
        FileIO::WriteOptions o;
        o.unchangedSince = options == QLatin1String("changed") ? &stamp : nullptr;
        o.ownerOnly = o.noFollow = options == QLatin1String("private");
        const FileIO::Failure f = FileIO::writeWholeFile(dir.filePath(target), "new", o);
        QCOMPARE(f.code, code);
        QVERIFY2(f.description.contains(says), qPrintable(f.description));
        QCOMPARE(kinds(), before);
        QCOMPARE(fileBytes(at("old.txt")), code == 0 ? QByteArray("new") : QByteArray("old"));
        if (options == QLatin1String("private") && code == 0)
            QCOMPARE(QFileInfo(at("old.txt")).permissions() & 0x0077, QFileDevice::Permissions());
    }

    // Other names of the file see the new text; a failed write puts the old
    // bytes back; a file saved as root stays its owner's.
    void hardLinksAndOwners()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath(QStringLiteral("a.txt"));
        const QString b = dir.filePath(QStringLiteral("b.txt"));
        QVERIFY(writeBytes(a, "old text that is long"));
        QCOMPARE(::link(QFile::encodeName(a).constData(), QFile::encodeName(b).constData()), 0);
        QVERIFY(!FileIO::writeWholeFile(a, "new"));
        QCOMPARE(fileBytes(b), QByteArray("new"));
        {
            FileSizeLimit full(10);
            QCOMPARE(FileIO::writeWholeFile(b, QByteArray(100, 'x')).code, int(FileIO::DiskFull));
        }
        QCOMPARE(fileBytes(a), QByteArray("new"));
        QCOMPARE(QFileInfo(a).size(), 3);

        const QString owned = dir.filePath(QStringLiteral("owned.txt"));
        QVERIFY(writeBytes(owned, "theirs"));
        QCOMPARE(::chown(QFile::encodeName(owned).constData(), 65534, 65534), 0);
        QVERIFY(!FileIO::writeWholeFile(owned, "saved by root"));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(owned).constData(), &st), 0);
        QCOMPARE(int(st.st_uid), 65534);
        QCOMPARE(int(st.st_gid), 65534);
        QCOMPARE(fileBytes(owned), QByteArray("saved by root"));
    }

    void saveKeepsPermissionsAndLinks()
    {
        // The new content goes in through a temporary file and a rename: the
        // file must still be the user's script, executable, behind its link.
        QTemporaryDir dir;
        const QString script = dir.filePath(QStringLiteral("run.sh"));
        const QString link = dir.filePath(QStringLiteral("link.sh"));
        QVERIFY(writeBytes(script, "#!/bin/sh\n"));
        const QFileDevice::Permissions perms = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                               | QFileDevice::ReadGroup | QFileDevice::ExeGroup;
        QVERIFY(QFile::setPermissions(script, perms));
        QVERIFY(QFile::link(script, link));
        QVERIFY(!FileIO::writeWholeFile(link, QByteArray("echo saved\n")));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(fileBytes(script), QByteArray("echo saved\n"));
        QCOMPARE(QFileInfo(script).permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser),
                 perms);
        // A chain of links writes its last target; a dangling link makes its target.
        const QString chain = dir.filePath(QStringLiteral("chain.sh"));
        QVERIFY(QFile::link(link, chain));
        QVERIFY(!FileIO::writeWholeFile(chain, QByteArray("echo chained\n")));
        QCOMPARE(fileBytes(script), QByteArray("echo chained\n"));
        QVERIFY(QFileInfo(chain).isSymLink() && QFileInfo(link).isSymLink());
        const QString dangling = dir.filePath(QStringLiteral("dangling"));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("target.txt")), dangling));
        QVERIFY(!FileIO::writeWholeFile(dangling, QByteArray("made")));
        QCOMPARE(fileBytes(dir.filePath(QStringLiteral("target.txt"))), QByteArray("made"));
        QVERIFY(QFileInfo(dangling).isSymLink());
    }
};

ORVANE_CORE_TEST_MAIN(TestTextFile)
#include "tst_textfile.moc"
