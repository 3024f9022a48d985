#include "core/SessionEntry.h"

#include <QStringList>
#include <algorithm>
#include <iterator>

namespace {

constexpr const char *kStates[] = {"normal", "maximised", "minimised"}; // in the order of State

bool toInts(const QStringList &texts, int *out)
{
    for (qsizetype i = 0; i < texts.size(); ++i) {
        bool ok = false;
        out[i] = texts[i].toInt(&ok);
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

std::optional<SessionEntry> SessionEntry::parse(const QString &text)
{
    // Split on single blanks: the path keeps any run of blanks it has.
    QStringList parts = text.split(u' ');
    SessionEntry e;
    if (!parts.isEmpty() && !parts[0].isEmpty() && parts[0].at(0).isLetter()) {
        if (parts.size() < 2)
            return std::nullopt;
        const QStringList words = parts[0].split(u',');
        const auto state = std::find_if(std::begin(kStates), std::end(kStates),
                                        [&](const char *s) { return words[0] == QLatin1String(s); });
        const QStringList box = parts[1].split(u',');
        int g[4];
        if (state == std::end(kStates) || box.size() != 4 || !toInts(box, g) || g[2] <= 0 || g[3] <= 0)
            return std::nullopt;
        e.hasWindow = true;
        e.state = State(state - std::begin(kStates));
        e.active = words.contains(QLatin1String("active"));
        e.normalGeometry = QRect(g[0], g[1], g[2], g[3]);
        parts.remove(0, 2);
    }
    int place[2];
    if (parts.size() < 3 || !toInts(parts.mid(0, 2), place))
        return std::nullopt;
    e.caret = place[0];
    e.firstLine = place[1];
    e.path = parts.mid(2).join(u' ');
    if (e.path.isEmpty())
        return std::nullopt;
    return e;
}

QString SessionEntry::toString() const
{
    const QString place = QStringLiteral("%1 %2 %3").arg(caret).arg(firstLine).arg(path);
    if (!hasWindow)
        return place;
    const QRect &g = normalGeometry;
    return QLatin1String(kStates[int(state)]) + (active ? QStringLiteral(",active") : QString())
           + QStringLiteral(" %1,%2,%3,%4 ").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height()) + place;
}
