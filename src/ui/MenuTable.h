#pragma once

#include <QKeyCombination>
#include <QList>
#include <QString>
#include <QVector>
#include <functional>

class QAction;
class QMenu;
class QWidget;
class SettingsStore;

// Menus are tables: one row per menu, submenu, item or separator, with the
// item's objectName, caption and shortcut. What an item does is looked up by
// its command id (the name, unless the row names another) when the table is
// built.
namespace MenuTable {

struct Entry {
    int depth;              // 0: a menu of the bar, 1: its items, 2: a submenu's items
    const char *name;       // objectName, and the command id unless command is set
    const char *caption;    // "-" makes a separator; "&" marks the access key
    QKeyCombination key = Qt::Key_unknown;
    const char *command = nullptr;
    bool submenu = false;   // a submenu whose items are made at run time
};

// Connects an item to the command of that id.
using Binder = std::function<void(QAction *item, const QString &command)>;

// Builds the menus of rows as children of owner (so that findChild finds
// every menu and item by name) and returns the menus of the bar, in order.
// A row followed by deeper rows is a submenu.
QList<QMenu *> build(QWidget *owner, const Entry *rows, int count, const Binder &bind);

template <int N>
QList<QMenu *> build(QWidget *owner, const Entry (&rows)[N], const Binder &bind)
{
    return build(owner, rows, N, bind);
}

// A caption showing text as it is: "&" is not taken as an access key.
QString literalCaption(QString text);

// Fills a recent-items array (element 0 is the hidden placeholder) from the
// stored list: element k shows the k-th entry, elements are created when
// missing (hidden at first), and elements past the list are left alone.
// Choosing one calls open with the full path.
void fillRecentItems(QMenu *menu, QVector<QAction *> &items, const SettingsStore &store,
                     const std::function<void(const QString &)> &open);

} // namespace MenuTable
