#include "core/RtfCodec.h"

#include "core/TextFileCodec.h"

#include <QVector>

namespace RtfCodec {

QString toRtf(const QString &text)
{
    QString out = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Palatino Linotype;}}\n"
                                 "\\viewkind4\\uc1\\pard\\f0\\fs24 ");
    out.reserve(out.size() + text.size() + text.size() / 8 + 8);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n') {
            out += QStringLiteral("\\par\n");
            ++i;
        } else if (c == u'\\' || c == u'{' || c == u'}') {
            out += QLatin1Char('\\');
            out += QChar(c);
        } else if (c == u'\t') {
            out += QStringLiteral("\\tab ");
        } else if (c >= 0x20 && c < 0x7F) {
            out += QChar(c);
        } else if (const int b = TextFileCodec::unicodeToWindows1252(c); b >= 0) {
            out += QStringLiteral("\\'") + QString::number(b, 16).rightJustified(2, QLatin1Char('0'));
        } else {
            // \uN takes a signed 16-bit number; each UTF-16 unit is written
            // on its own, followed by a one-character fallback.
            out += QStringLiteral("\\u") + QString::number(qint16(c)) + QLatin1Char('?');
        }
    }
    out += QStringLiteral("\n}");
    return out;
}

namespace {

struct GroupState {
    bool skip = false; // inside a destination whose text is not document text
    int uc = 1;        // fallback characters after \uN
};

bool isSkippedDestination(const QString &word)
{
    static const char *const kSkipped[] = {
        "fonttbl", "colortbl", "stylesheet", "info", "pict", "header", "footer", "headerl", "headerr",
        "headerf", "footerl", "footerr", "footerf", "footnote", "listtable", "listoverridetable",
        "revtbl", "rsidtbl", "generator", "xmlnstbl", "themedata", "colorschememapping", "latentstyles",
        "datastore", "fldinst", "object", "filetbl", "private", "bkmkstart", "bkmkend",
    };
    for (const char *s : kSkipped) {
        if (word == QLatin1String(s))
            return true;
    }
    return false;
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

} // namespace

QString fromRtf(const QString &rtf)
{
    QString out;
    QVector<GroupState> stack{GroupState{}};
    int pendingSkip = 0; // fallback characters still to drop after \uN
    const qsizetype n = rtf.size();

    auto put = [&](QChar c) {
        if (pendingSkip > 0) {
            --pendingSkip;
            return;
        }
        if (!stack.last().skip)
            out += c;
    };

    qsizetype i = 0;
    while (i < n) {
        const QChar c = rtf.at(i);
        if (c == u'{') {
            stack.append(stack.last());
            pendingSkip = 0;
            ++i;
        } else if (c == u'}') {
            if (stack.size() > 1)
                stack.removeLast();
            pendingSkip = 0;
            ++i;
        } else if (c == u'\r' || c == u'\n') {
            ++i;
        } else if (c != u'\\') {
            put(c);
            ++i;
        } else {
            ++i;
            if (i >= n)
                break;
            const QChar d = rtf.at(i);
            if (d == u'\\' || d == u'{' || d == u'}') {
                put(d);
                ++i;
            } else if (d == u'\'') {
                const int hi = i + 1 < n ? hexValue(rtf.at(i + 1)) : -1;
                const int lo = i + 2 < n ? hexValue(rtf.at(i + 2)) : -1;
                if (hi >= 0 && lo >= 0) {
                    put(QChar(TextFileCodec::windows1252ToUnicode(static_cast<unsigned char>(hi * 16 + lo))));
                    i += 3;
                } else {
                    ++i;
                }
            } else if (d == u'*') {
                stack.last().skip = true;
                ++i;
            } else if (d == u'\r' || d == u'\n') {
                put(QLatin1Char('\r'));
                put(QLatin1Char('\n'));
                ++i;
            } else if (d.isLetter() && d.unicode() < 0x80) {
                const qsizetype start = i;
                while (i < n && rtf.at(i).unicode() < 0x80 && rtf.at(i).isLetter())
                    ++i;
                const QString word = rtf.mid(start, i - start);
                bool hasParam = false;
                long long param = 0;
                const qsizetype paramStart = i;
                if (i < n && (rtf.at(i) == u'-' || rtf.at(i).isDigit())) {
                    ++i;
                    while (i < n && rtf.at(i).isDigit() && i - paramStart < 12)
                        ++i;
                    param = rtf.mid(paramStart, i - paramStart).toLongLong(&hasParam);
                }
                if (i < n && rtf.at(i) == u' ')
                    ++i;
                if (word == QLatin1String("par") || word == QLatin1String("line")) {
                    put(QLatin1Char('\r'));
                    put(QLatin1Char('\n'));
                } else if (word == QLatin1String("tab")) {
                    put(QLatin1Char('\t'));
                } else if (word == QLatin1String("u") && hasParam) {
                    const char16_t unit = char16_t(param < 0 ? param + 65536 : param);
                    if (pendingSkip == 0 && !stack.last().skip)
                        out += QChar(unit);
                    pendingSkip = stack.last().uc;
                } else if (word == QLatin1String("uc") && hasParam) {
                    stack.last().uc = int(qBound(0LL, param, 16LL));
                } else if (isSkippedDestination(word)) {
                    stack.last().skip = true;
                }
            } else {
                // Control symbols such as \~ \- \_ : a no-break space, an
                // optional or a no-break hyphen.
                if (d == u'~')
                    put(QChar(0xA0));
                else if (d == u'_')
                    put(QChar(0x2011));
                ++i;
            }
        }
    }
    return out;
}

} // namespace RtfCodec
