#include "core/QuickScan.h"

#include "core/TextFileCodec.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <optional>
#include <cstring>
#include <string_view>

namespace QuickScan {

namespace {

constexpr qint64 kSlice = 4 * 1024 * 1024;

bool isBreak(char c)
{
    return c == '\n' || c == '\r';
}

QString trimBlanks(const QString &s)
{
    qsizetype from = 0, to = s.size();
    while (from < to && s.at(from) == u' ')
        ++from;
    while (to > from && s.at(to - 1) == u' ')
        --to;
    return s.mid(from, to - from);
}

bool hasHighByte(const char *p, qsizetype n)
{
    unsigned char any = 0;
    for (qsizetype i = 0; i < n; ++i)
        any |= static_cast<unsigned char>(p[i]);
    return any & 0x80;
}

// Searches lines of [p, p + n), which ends at a line break (or the file's end).
class SliceMatcher
{
public:
    explicit SliceMatcher(const QString &phrase) : m_phrase(phrase)
    {
        m_asciiPhrase = !hasHighByte(phrase.toUtf8().constData(), phrase.toUtf8().size());
        m_needle = phrase.toUtf8().toStdString();
    }

    void run(const char *p, qsizetype n, QStringList &out)
    {
        m_lower.resize(size_t(n));
        for (qsizetype i = 0; i < n; ++i) {
            const unsigned char c = static_cast<unsigned char>(p[i]);
            m_lower[size_t(i)] = char(unsigned(c - 'A') < 26u ? c + 32 : c);
        }
        if (m_asciiPhrase && !m_needle.empty() && !hasHighByte(p, n)) {
            searchAscii(p, 0, n, out);
            return;
        }
        // Line by line: ASCII lines byte-wise, others through Qt.
        for (qsizetype start = 0; start < n;) {
            qsizetype end = start;
            while (end < n && !isBreak(p[end]))
                ++end;
            if (end > start) {
                if (!hasHighByte(p + start, end - start)) {
                    if (m_asciiPhrase && (m_needle.empty() || lowerView(start, end).find(m_needle) != std::string_view::npos))
                        out << listed(QString::fromLatin1(p + start, end - start));
                } else {
                    const QString line = TextFileCodec::decodeText(QByteArrayView(p + start, end - start));
                    if (lineMatches(line, m_phrase))
                        out << listed(line);
                }
            }
            start = end + 1;
        }
    }

private:
    std::string_view lowerView(qsizetype from, qsizetype to) const
    {
        return std::string_view(m_lower.data() + from, size_t(to - from));
    }

    // Every line of an all-ASCII range that holds the needle.
    void searchAscii(const char *p, qsizetype from, qsizetype n, QStringList &out) const
    {
        const std::string_view all = lowerView(0, n);
        for (size_t hit; from < n && (hit = all.find(m_needle, size_t(from))) != std::string_view::npos;) {
            qsizetype start = qsizetype(hit);
            while (start > 0 && !isBreak(p[start - 1]))
                --start;
            qsizetype end = qsizetype(hit) + qsizetype(m_needle.size());
            while (end < n && !isBreak(p[end]))
                ++end;
            out << listed(QString::fromLatin1(p + start, end - start));
            from = end;
        }
    }

    QString m_phrase;
    bool m_asciiPhrase = true;
    std::string m_needle;
    std::string m_lower;
};

} // namespace

QString normalizedPhrase(const QString &typed)
{
    return trimBlanks(typed).toLower();
}

bool lineMatches(const QString &line, const QString &phrase)
{
    return !line.isEmpty() && line.toLower().contains(phrase);
}

QString listed(const QString &line)
{
    return trimBlanks(line);
}

Outcome scan(const QString &path, const QString &phrase, qint64 from, const std::function<void(QStringList)> &found,
             const std::function<bool(qint64, qint64)> &keepGoing)
{
    Outcome outcome;
    outcome.offset = from;
    int fd = -1;
    qint64 size = 0;
    if ((outcome.failure = FileIO::openRegular(path, false, &fd, &size)))
        return outcome;
    QFile f;
    if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle) || !f.seek(from)) {
        outcome.failure = FileIO::makeFailure(FileIO::PathFileAccessError);
        return outcome;
    }
    const qint64 total = f.size();
    // The file's encoding, from its start as File > Open finds it: UTF-16,
    // UTF-32 and legacy text is read through its decoder as UTF-8; a BOM is
    // no part of the first line.
    constexpr qint64 kSample = 256 * 1024;
    const TextFileCodec::FileFormat format = TextFileCodec::sniff(f.read(kSample));
    if (format.encoding == TextFileCodec::Encoding::Utf8Bom && from == 0)
        outcome.offset = from = 3;
    if (!f.seek(from)) {
        outcome.failure = FileIO::makeFailure(FileIO::PathFileAccessError);
        return outcome;
    }
    std::optional<QStringDecoder> decoder;
    if (format.encoding == TextFileCodec::Encoding::Legacy)
        decoder.emplace(format.codec.constData());
    else if (format.encoding != TextFileCodec::Encoding::Utf8 && format.encoding != TextFileCodec::Encoding::Utf8Bom
             && format.encoding != TextFileCodec::Encoding::Windows1252)
        decoder.emplace(format.encoding == TextFileCodec::Encoding::Utf16Le || format.encoding == TextFileCodec::Encoding::Utf16LeBom
                            ? QStringConverter::Utf16LE
                        : format.encoding == TextFileCodec::Encoding::Utf16Be || format.encoding == TextFileCodec::Encoding::Utf16BeBom
                            ? QStringConverter::Utf16BE
                        : format.encoding == TextFileCodec::Encoding::Utf32Le || format.encoding == TextFileCodec::Encoding::Utf32LeBom
                            ? QStringConverter::Utf32LE
                            : QStringConverter::Utf32BE);
    if (decoder && !decoder->isValid())
        decoder.reset();
    const QByteArray encoderName = decoder ? QByteArray(decoder->name()) : QByteArray();
    qint64 rawRead = from;
    QByteArray raw;
    SliceMatcher matcher(phrase);
    QByteArray buffer;
    qsizetype carried = 0; // bytes of a line not yet ended, at the buffer's start
    for (;;) {
        buffer.resize(carried + kSlice);
        qint64 got = 0;
        if (decoder) {
            raw.resize(kSlice);
            got = f.read(raw.data(), kSlice);
            if (got > 0) {
                rawRead += got;
                const QByteArray utf8 = QString(decoder->decode(QByteArrayView(raw).first(got))).toUtf8();
                buffer.resize(carried + utf8.size());
                std::memcpy(buffer.data() + carried, utf8.constData(), size_t(utf8.size()));
                got = utf8.size();
            }
        } else {
            got = f.read(buffer.data() + carried, kSlice);
        }
        if (got < 0) {
            outcome.failure = FileIO::makeFailure(FileIO::DeviceIOError);
            return outcome;
        }
        const qsizetype filled = carried + qsizetype(got);
        const bool atEnd = got == 0;
        // Whole lines only, unless the file has ended.
        qsizetype cut = filled;
        if (!atEnd) {
            while (cut > 0 && !isBreak(buffer.at(cut - 1)))
                --cut;
            if (cut == 0) { // one line longer than a slice: read on
                carried = filled;
                continue;
            }
        }
        QStringList lines;
        matcher.run(buffer.constData(), cut, lines);
        if (!lines.isEmpty())
            found(std::move(lines));
        carried = filled - cut;
        if (decoder) // where the carried text starts in the file
            outcome.offset = rawRead - QByteArray(QStringEncoder(encoderName.constData()).encode(
                                 TextFileCodec::toQString(QByteArrayView(buffer.constData() + cut, carried)))).size();
        else
            outcome.offset += cut;
        std::memmove(buffer.data(), buffer.constData() + cut, size_t(carried));
        if (atEnd)
            return outcome;
        if (!keepGoing(outcome.offset, total)) {
            outcome.stopped = true;
            return outcome;
        }
    }
}

} // namespace QuickScan
