#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QObject>
#include <QString>

// Turns the bytes of a file into the editor's text and back.
//
// Inside the program text is UTF-8 with every line break as CR LF. A file is
// UTF-8 when its bytes are valid UTF-8 (a BOM is remembered), otherwise
// Windows-1252 with the five unassigned bytes mapped to the C1 controls, so
// that every byte value survives a load and a save.
//
// A file whose breaks are all CR LF, all lone LF or all lone CR is split into
// lines at them and written back with the same break. A file that mixes them
// is split at CR LF only: its lone CRs and LFs stay ordinary characters, so
// that any file, binary ones included, comes back byte for byte.
namespace TextFileCodec {
Q_NAMESPACE

// The UTF-16 and UTF-32 encodings keep their byte-order mark, or its
// absence (plain UTF-16 and UTF-32 are recognised by their NUL bytes).
// Legacy is any other encoding, named by FileFormat::codec. Values are only
// ever added: journals store them by name.
enum class Encoding {
    Utf8, Utf8Bom, Windows1252, Utf16Le, Utf16Be, Utf16LeBom, Utf16BeBom, Utf32LeBom, Utf32BeBom,
    Utf32Le, Utf32Be, Legacy
};
enum class LineEnd { CrLf, Lf, Cr };
// Known by name (QMetaEnum), so that files that store a format store its
// name and every value is found by iterating the enum.
Q_ENUM_NS(Encoding)
Q_ENUM_NS(LineEnd)

struct FileFormat {
    Encoding encoding = Encoding::Utf8;
    LineEnd lineEnd = LineEnd::CrLf;
    // The break a plain save writes after the text: the file's own line
    // break, or, for a file that mixes breaks, the one that ended it.
    LineEnd finalBreak = LineEnd::CrLf;
    // The name of a Legacy encoding ("KOI8-R"); empty for the others.
    QByteArray codec = QByteArray();
    bool operator==(const FileFormat &o) const
    {
        return encoding == o.encoding && lineEnd == o.lineEnd && finalBreak == o.finalBreak && codec == o.codec;
    }
};

struct Decoded {
    QByteArray text;   // UTF-8, breaks as CR LF
    FileFormat format;
};

// Decodes a whole file. With dropFinalBreak the break that ends the last line
// is not part of the text (how documents are read) and is remembered in the
// format, so that a plain save of the unchanged text gives the same bytes;
// without it the text keeps every break (how a file is inserted).
// The raw bytes are taken by value so that a caller can move them in and
// let the conversion reuse the buffer.
Decoded decode(QByteArray raw, bool dropFinalBreak = true);

// The file's text as decode(raw, false) reads it, as a QString, but with
// its line breaks as they are in the file. Plain UTF-8 with LF breaks, the
// usual file, is converted at once, without the passes decode makes.
QString decodeToString(QByteArray raw);

// Decodes a file in the given encoding (its line breaks found as decode
// finds them). False when the bytes are not text in that encoding or would
// not be written back exactly as they are.
bool decodeAs(QByteArray raw, Encoding encoding, const QByteArray &codec, Decoded *out, bool dropFinalBreak = true);

// The encoding of a file judged from a part of it (at most a few hundred
// kilobytes: the start, middle and end of a big file), for tools that read
// a file in slices. The whole file is not checked, so the guess may not
// round-trip as decode's does.
FileFormat sniff(QByteArrayView sample);

// Legacy encodings offered to the user, the common ones first: those this
// system can convert.
QList<QByteArray> legacyEncodings();
// True when a converter for the name exists here.
bool canConvert(const QByteArray &codec);

// Bytes of a Legacy encoding as text, and back; false on bytes that are no
// text in it or characters it cannot hold.
bool legacyToText(const QByteArray &codec, QByteArrayView bytes, QString *text);
bool textToLegacy(const QByteArray &codec, QStringView text, QByteArray *bytes);

// The encoding's name for the user ("UTF-16 LE with BOM", "KOI8-R").
QString encodingName(const FileFormat &format);

// Encodes the program's text (UTF-8, CR LF breaks) for a file of the given
// format. With appendBreak the format's final break is written after the text.
// Returns false, with a description in *error, when the text holds a
// character the encoding cannot store; nothing is dropped silently.
bool encode(QByteArrayView text, FileFormat format, bool appendBreak, QByteArray *out, QString *error);

// The text with every line break (CR LF, lone LF, lone CR) as CR LF, the
// form text takes inside a document.
QString withCrLfBreaks(QString text);

// UTF-8 text as a QString, a leading U+FEFF included (QString::fromUtf8
// drops it, taking it for a byte-order mark).
QString toQString(QByteArrayView utf8);

// Bytes as Windows-1252 text: every byte is a character.
QString fromWindows1252(QByteArrayView bytes);
// Bytes as text: UTF-8 when they are valid UTF-8, else Windows-1252.
QString decodeText(QByteArrayView bytes);

// The length in bytes of the longest line (breaks not counted).
qsizetype longestLine(QByteArrayView utf8);

// True when every byte is below 0x80.
bool isAscii(QByteArrayView bytes);

// The length of the longest start of bytes that ends neither inside a UTF-8
// character nor on a CR (which may be the first half of a CR LF): where text
// can be cut into pieces that are each judged, or added, alone.
qsizetype wholePiece(QByteArrayView bytes);
// The text with every line longer than limit bytes cut to its first shown
// bytes (never inside a character) and a note of what was left out.
QByteArray cutLongLines(QByteArrayView utf8, qsizetype limit, qsizetype shown);

// The format in words, for the user: "UTF-16 LE with BOM, CR LF line breaks".
QString describe(const FileFormat &format);

// Windows-1252 with the five unassigned bytes as C1 controls: one code point
// per byte value, and back (-1 when the code point has no byte).
char16_t windows1252ToUnicode(unsigned char byte);
int unicodeToWindows1252(char32_t codePoint);

} // namespace TextFileCodec
