#include "core/IniFile.h"

#include "core/FileIO.h"

#include <QDir>
#include <QFileInfo>
#include <QList>

namespace {

bool isHex(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// "%20" and "%U00E9" escapes, "\" standing for "/" (a key below the group).
QString unescapeKey(const QString &raw)
{
    QString out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == u'\\') {
            out += u'/';
        } else if (c == u'%' && i + 2 < raw.size() && raw.at(i + 1) == u'U' && i + 5 < raw.size()) {
            bool ok = false;
            const uint code = raw.mid(i + 2, 4).toUInt(&ok, 16);
            out += ok ? QChar(char16_t(code)) : c;
            if (ok)
                i += 5;
        } else if (c == u'%' && i + 2 < raw.size() && isHex(raw.at(i + 1)) && isHex(raw.at(i + 2))) {
            out += QChar(char16_t(raw.mid(i + 1, 2).toUInt(nullptr, 16)));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

QByteArray escapeKey(const QString &key)
{
    QByteArray out;
    for (const QChar c : key) {
        const char16_t u = c.unicode();
        if (u == u'/')
            out += '\\';
        else if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-' || u == '_' || u == '.')
            out += char(u);
        else if (u <= 0xFF)
            out += '%' + QByteArray::number(u, 16).toUpper().rightJustified(2, '0');
        else
            out += "%U" + QByteArray::number(u, 16).toUpper().rightJustified(4, '0');
    }
    return out;
}

QString unescapeValue(const QString &raw)
{
    QString out;
    bool quoted = false;
    qsizetype i = 0;
    // Blanks around an unquoted value are not part of it.
    qsizetype end = raw.size();
    while (i < end && raw.at(i).isSpace())
        ++i;
    while (end > i && raw.at(end - 1).isSpace())
        --end;
    for (; i < end; ++i) {
        const QChar c = raw.at(i);
        if (c == u'"') {
            quoted = !quoted;
            continue;
        }
        if (c != u'\\' || i + 1 >= end) {
            out += c;
            continue;
        }
        const QChar e = raw.at(++i);
        switch (e.unicode()) {
        case 'a': out += u'\a'; break;
        case 'b': out += u'\b'; break;
        case 'f': out += u'\f'; break;
        case 'n': out += u'\n'; break;
        case 'r': out += u'\r'; break;
        case 't': out += u'\t'; break;
        case 'v': out += u'\v'; break;
        case 'x': {
            uint code = 0;
            while (i + 1 < end && isHex(raw.at(i + 1)))
                code = code * 16 + uint(QString(raw.at(++i)).toUInt(nullptr, 16));
            out += QChar(char16_t(code));
            break;
        }
        case '0': case '1': case '2': case '3': case '4': case '5': case '6': case '7': {
            uint code = uint(e.unicode() - '0');
            while (i + 1 < end && raw.at(i + 1) >= u'0' && raw.at(i + 1) <= u'7')
                code = code * 8 + uint(raw.at(++i).unicode() - '0');
            out += QChar(char16_t(code));
            break;
        }
        default: out += e; break; // \" \\ \' \? and anything unknown
        }
    }
    if (out.startsWith(QLatin1String("@@")))
        return out.mid(1);
    if (out.startsWith(QLatin1String("@String(")) || out.startsWith(QLatin1String("@ByteArray(")))
        return out.mid(out.indexOf(u'(') + 1).chopped(out.endsWith(u')') ? 1 : 0);
    return out;
}

QByteArray escapeValue(QString value)
{
    if (value.startsWith(u'@'))
        value.prepend(u'@');
    QByteArray out;
    bool needsQuotes = false;
    bool escapeNextIfHex = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        const char16_t u = c.unicode();
        if (u == ';' || u == ',' || u == '=')
            needsQuotes = true;
        if (escapeNextIfHex && isHex(c)) {
            out += "\\x" + QByteArray::number(u, 16);
            continue;
        }
        escapeNextIfHex = false;
        switch (u) {
        case '\0': out += "\\0"; escapeNextIfHex = true; break;
        case '\a': out += "\\a"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\v': out += "\\v"; break;
        case '"':
        case '\\': out += '\\'; out += char(u); break;
        default:
            if (u <= 0x1F) {
                out += "\\x" + QByteArray::number(u, 16);
                escapeNextIfHex = true;
            } else if (c.isHighSurrogate() && i + 1 < value.size() && value.at(i + 1).isLowSurrogate()) {
                out += value.mid(i, 2).toUtf8();
                ++i;
            } else if (c.isSurrogate()) {
                // UTF-8 has no lone surrogate: escaped, it reads back exactly.
                out += "\\x" + QByteArray::number(u, 16);
                escapeNextIfHex = true;
            } else {
                out += QString(c).toUtf8();
            }
        }
    }
    // A reader trims every kind of space around a value: quotes keep them.
    const bool spaceAtAnEnd = !value.isEmpty() && (value.front().isSpace() || value.back().isSpace());
    if (needsQuotes || spaceAtAnEnd)
        out = '"' + out + '"';
    return out;
}

} // namespace

IniFile::Values IniFile::parse(const QByteArray &text)
{
    Values values;
    QString group;
    for (const QByteArray &rawLine : text.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            group = unescapeKey(line.mid(1, line.size() - 2).trimmed());
            if (group.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
                group.clear();
            else if (group == QLatin1String("%General"))
                group = QStringLiteral("General");
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        // As QSettings does: no empty parts in a key path ("a//b", "/a", "a/").
        const QString key = (group + u'/' + unescapeKey(line.left(eq).trimmed())).split(u'/', Qt::SkipEmptyParts).join(u'/');
        if (!key.isEmpty())
            values.insert(key, unescapeValue(line.mid(eq + 1)));
    }
    return values;
}

QByteArray IniFile::serialize(const Values &values)
{
    // Top-level keys first, under [General], then one section per group.
    QMap<QString, QList<QPair<QString, QString>>> groups;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        const qsizetype slash = it.key().indexOf(u'/');
        const QString group = slash < 0 ? QString() : it.key().left(slash);
        groups[group].append({slash < 0 ? it.key() : it.key().mid(slash + 1), it.value()});
    }
    QByteArray out;
    for (auto g = groups.constBegin(); g != groups.constEnd(); ++g) {
        if (!out.isEmpty())
            out += '\n';
        const QByteArray name = g.key().isEmpty() ? QByteArray("General")
                                : g.key() == QLatin1String("General") ? QByteArray("%General")
                                                                       : escapeKey(g.key());
        out += '[' + name + "]\n";
        for (const auto &kv : g.value())
            out += escapeKey(kv.first) + '=' + escapeValue(kv.second) + '\n';
    }
    return out;
}

IniFile::Values IniFile::read(const QString &path)
{
    QByteArray bytes;
    if (FileIO::readWholeFile(path, &bytes))
        return {};
    return parse(bytes);
}

bool IniFile::write(const QString &path, const Values &values)
{
    const QString dir = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(dir))
        return false;
    // Settings name the user's files and programs: for the owner's eyes only.
    FileIO::WriteOptions options;
    options.ownerOnly = true;
    return !FileIO::writeWholeFile(path, serialize(values), options);
}
