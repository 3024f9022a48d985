#pragma once

#include <QByteArray>
#include <QByteArrayView>
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
// absence (plain UTF-16 is recognised by its NUL bytes).
enum class Encoding { Utf8, Utf8Bom, Windows1252, Utf16Le, Utf16Be, Utf16LeBom, Utf16BeBom, Utf32LeBom, Utf32BeBom };
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
    bool operator==(const FileFormat &o) const
    {
        return encoding == o.encoding && lineEnd == o.lineEnd && finalBreak == o.finalBreak;
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
