#pragma once

#include "core/TextFileCodec.h"

#include <functional>

namespace TextFileCodec {

// Decodes a file a slice at a time into the text decode() makes of it whole,
// for the usual file: UTF-8 (with or without a BOM) whose breaks are all LF,
// all CR, or include CR LF (a mix is kept as it is). Neither its bytes nor
// its text are ever held whole. On anything else (another encoding, NUL
// bytes, ISO-2022 escapes, LF after lone CRs, a line longer than the limit)
// it gives up, and the caller decodes the whole file instead. What it gave
// out up to then is not what decode() makes of the file.
class Utf8Stream
{
public:
    // Takes the text in order, in pieces; false stops the stream.
    using Sink = std::function<bool(QByteArrayView text)>;

    Utf8Stream(Sink sink, qsizetype longestLine);

    // Decodes as much of bytes as it can and gives its text to the sink;
    // returns how many bytes were used (at most three are left: the start
    // of a character or a break, which must come again at the head of the
    // next call), or -1 when it gave up or the sink said stop. last: the
    // file ends with these bytes.
    qsizetype add(QByteArrayView bytes, bool last);

    bool gaveUp() const { return m_gaveUp; }
    // Once the last bytes are in: the file's format, as decode() finds it.
    FileFormat format() const;
    // Bytes of the longest line given out, without its break.
    qsizetype longestLine() const { return qMax(m_longest, m_line - (m_heldBreak == "\r")); }
    // True once any text given out was not plain ASCII.
    bool nonAscii() const { return m_nonAscii; }
    // The bytes of text given out.
    qint64 size() const { return m_size; }

private:
    enum class Breaks { None, Lf, Cr, WithCrLf };
    bool decode(QByteArrayView bytes);
    bool give(QByteArrayView text);
    bool giveUp();
    bool stop();

    Sink m_sink;
    qsizetype m_limit;
    bool m_started = false;
    bool m_bom = false;
    bool m_gaveUp = false;
    bool m_stopped = false; // by the sink
    bool m_nonAscii = false;
    Breaks m_breaks = Breaks::None;
    QByteArray m_out;
    QByteArray m_heldBreak; // the break that ended the text so far
    qsizetype m_line = 0;   // bytes of the line not yet ended
    qsizetype m_longest = 0;
    qint64 m_size = 0;
};

} // namespace TextFileCodec
