#pragma once

#include <QKeySequence>
#include <QString>
#include <QVector>
#include <functional>

class QAction;
class QMenu;
class QWidget;
class SettingsStore;

// Menus are built through these helpers so that every item carries its
// objectName, caption, shortcut and handler in one line. An item built
// without a handler is a command this build does not offer yet: it is shown
// disabled and stays so (see isOffered).
namespace ActionTable {

// The handler of an item whose command this build does not offer yet.
inline const std::function<void()> kNotOffered;

QMenu *topMenu(QWidget *owner, const char *name, const QString &caption);
QMenu *subMenu(QMenu *parent, const char *name, const QString &caption);
QAction *item(QMenu *menu, const char *name, const QString &caption, std::function<void()> handler,
              const QKeySequence &key = QKeySequence());
QAction *separator(QMenu *menu, const char *name);

// False for items built without a handler.
bool isOffered(const QAction *action);
// Enables an offered item; an item not offered stays disabled.
void setEnabled(QAction *action, bool enabled);

// A caption showing text as it is: "&" is not taken as an access key.
QString literalCaption(QString text);

// Fills a recent-items array (element 0 is the hidden placeholder) from the
// stored list: element k shows the k-th entry, elements are created when
// missing (hidden at first), and elements past the list are left alone.
// Choosing one calls open with the full path.
void fillRecentItems(QMenu *menu, QVector<QAction *> &items, const SettingsStore &store,
                     const std::function<void(const QString &)> &open);

} // namespace ActionTable
