#include "core/RecentList.h"

#include "core/SettingsStore.h"

namespace RecentList {

namespace {
const QString kApp = QStringLiteral("Orvane");
const QString kSection = QStringLiteral("Settings");
const QStringList &keyNames()
{
    static const QStringList names = [] {
        QStringList n;
        for (int i = 1; i <= kMaxItems; ++i)
            n << QStringLiteral("RecentItem") + QString::number(i);
        return n;
    }();
    return names;
}
} // namespace

QStringList storedItems(const SettingsStore &store)
{
    return store.ReadUserSettings(kApp, kSection, keyNames());
}

QStringList entries(const SettingsStore &store)
{
    QStringList shown;
    for (const QString &v : storedItems(store)) {
        if (!v.isEmpty())
            shown << v;
    }
    return shown;
}

QStringList withItemAdded(QStringList items, const QString &path)
{
    while (items.size() < kMaxItems)
        items << QString();
    const int found = int(items.indexOf(path));
    if (found >= 0) {
        for (int i = found; i >= 1; --i)
            items[i] = items[i - 1];
    } else if (!items[0].isEmpty()) {
        for (int i = kMaxItems - 1; i >= 1; --i)
            items[i] = items[i - 1];
    }
    items[0] = path;
    return items;
}

bool AddRecentItem(SettingsStore &store, const QString &path)
{
    // The whole list, read and written under the settings file's lock: a
    // second running copy can neither lose an entry nor list one twice.
    return store.UpdateUserSettings(kApp, kSection, keyNames(),
                                    [path](QStringList &items) { items = withItemAdded(items, path); });
}

} // namespace RecentList
