#pragma once

#include <QStringList>

class SettingsStore;

// The fifteen most recently opened or saved paths, newest first, kept in the
// application settings store as "Settings/RecentItem1".."RecentItem15".
namespace RecentList {

constexpr int kMaxItems = 15;

// The stored values of RecentItem1..15, in key order; "" for an empty key.
QStringList storedItems(const SettingsStore &store);

// The non-empty entries, newest first: what the menus show.
QStringList entries(const SettingsStore &store);

// Makes path the newest entry: an earlier entry equal to it (exact,
// case-sensitive) moves to the top, the others keep their order, and the
// list is cut to fifteen; the store writes it soon (see SettingsStore).
bool AddRecentItem(SettingsStore &store, const QString &path);

// The same move on values in key order (15 of them); the pure core of
// AddRecentItem.
QStringList withItemAdded(QStringList items, const QString &path);

} // namespace RecentList
