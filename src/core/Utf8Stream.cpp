#include "core/Utf8Stream.h"

#include <cstring>

namespace TextFileCodec {

namespace {

const char *find(const char *from, const char *end, char c)
{
    return from < end ? static_cast<const char *>(std::memchr(from, c, size_t(end - from))) : nullptr;
}

} // namespace

Utf8Stream::Utf8Stream(Sink sink, qsizetype longestLine) : m_sink(std::move(sink)), m_limit(longestLine) {}

qsizetype Utf8Stream::add(QByteArrayView bytes, bool last)
{
    if (m_gaveUp || m_stopped)
        return -1;
    qsizetype from = 0;
    if (!m_started) {
        if (bytes.size() < 3 && !last)
            return 0;
        m_started = true;
        m_bom = bytes.startsWith("\xEF\xBB\xBF");
        from = m_bom ? 3 : 0;
    }
    qsizetype end = bytes.size();
    if (!last) {
        // A character, a CR (CR LF or a lone CR?) or an escape byte (the
        // start of an ISO-2022 sequence?) is judged with what follows it.
        end = from + wholePiece(bytes.sliced(from));
        if (end > from && bytes[end - 1] == '\x1B')
            --end;
    }
    if (!decode(bytes.sliced(from, end - from)))
        return -1;
    return end;
}

bool Utf8Stream::decode(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return true;
    const char *p = bytes.data();
    const char *end = p + bytes.size();
    const bool ascii = isAscii(bytes);
    bool plain = (ascii || bytes.isValidUtf8()) && !find(p, end, '\0');
    for (const char *esc = find(p, end, '\x1B'); plain && esc; esc = find(esc + 1, end, '\x1B'))
        plain = !(esc + 1 < end && (esc[1] == '$' || esc[1] == '('));
    if (!plain)
        return giveUp();
    m_nonAscii = m_nonAscii || !ascii;

    if (m_breaks == Breaks::None) {
        const char *lf = find(p, end, '\n');
        const char *cr = find(p, lf ? lf : end, '\r');
        if (cr)
            m_breaks = cr + 1 < end && cr[1] == '\n' ? Breaks::WithCrLf : Breaks::Cr;
        else if (lf)
            m_breaks = Breaks::Lf;
    }
    switch (m_breaks) {
    case Breaks::None:
        m_line += bytes.size();
        break;
    case Breaks::WithCrLf:
        // Kept as they are: CR LF, and any lone CR or LF beside them.
        for (const char *at = p;;) {
            const char *lf = find(at, end, '\n');
            if (!lf) {
                m_line += end - at;
                break;
            }
            m_longest = qMax(m_longest, m_line + (lf - at) - (lf > p && lf[-1] == '\r'));
            m_line = 0;
            at = lf + 1;
        }
        break;
    case Breaks::Lf:
    case Breaks::Cr: {
        // Every break becomes CR LF; the other break byte would make a mix.
        const char single = m_breaks == Breaks::Lf ? '\n' : '\r';
        if (find(p, end, single == '\n' ? '\r' : '\n'))
            return giveUp();
        m_out.resize(2 * bytes.size());
        char *dst = m_out.data();
        for (const char *at = p;;) {
            const char *hit = find(at, end, single);
            const char *stop = hit ? hit : end;
            std::memcpy(dst, at, size_t(stop - at));
            dst += stop - at;
            if (!hit) {
                m_line += stop - at;
                break;
            }
            m_longest = qMax(m_longest, m_line + (stop - at));
            m_line = 0;
            *dst++ = '\r';
            *dst++ = '\n';
            at = hit + 1;
        }
        if (qMax(m_longest, m_line) > m_limit)
            return giveUp();
        return give(QByteArrayView(m_out.constData(), dst - m_out.constData()));
    }
    }
    if (qMax(m_longest, m_line) > m_limit)
        return giveUp();
    return give(bytes);
}

bool Utf8Stream::giveUp()
{
    m_gaveUp = true;
    return false;
}

bool Utf8Stream::give(QByteArrayView text)
{
    if (text.isEmpty())
        return true;
    // The break that ends the text is held back until more text follows:
    // the one that ends the file is not part of the document.
    if (!m_heldBreak.isEmpty()) {
        if (!m_sink(m_heldBreak))
            return stop();
        m_size += m_heldBreak.size();
        m_heldBreak.clear();
    }
    qsizetype keep = text.size();
    if (text.endsWith("\r\n"))
        keep -= 2;
    else if (text.endsWith('\n') || text.endsWith('\r'))
        keep -= 1;
    m_heldBreak = text.sliced(keep).toByteArray();
    if (keep > 0 && !m_sink(text.first(keep)))
        return stop();
    m_size += keep;
    return true;
}

bool Utf8Stream::stop()
{
    m_stopped = true;
    return false;
}

FileFormat Utf8Stream::format() const
{
    FileFormat f;
    f.encoding = m_bom ? Encoding::Utf8Bom : Encoding::Utf8;
    f.lineEnd = m_breaks == Breaks::Lf ? LineEnd::Lf : m_breaks == Breaks::Cr ? LineEnd::Cr : LineEnd::CrLf;
    f.finalBreak = m_heldBreak == "\n" ? LineEnd::Lf : m_heldBreak == "\r" ? LineEnd::Cr : f.lineEnd;
    return f;
}

} // namespace TextFileCodec
