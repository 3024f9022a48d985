#include "app/ActionTable.h"

#include "core/RecentList.h"

#include <QAction>
#include <QMenu>

namespace ActionTable {

namespace {
const char *const kNotOfferedProperty = "orvaneNotOffered";
}

QMenu *topMenu(QWidget *owner, const char *name, const QString &caption)
{
    auto *menu = new QMenu(caption, owner);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

QMenu *subMenu(QMenu *parent, const char *name, const QString &caption)
{
    QMenu *menu = parent->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

QAction *item(QMenu *menu, const char *name, const QString &caption, std::function<void()> handler,
              const QKeySequence &key)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    if (!key.isEmpty())
        action->setShortcut(key);
    if (handler) {
        QObject::connect(action, &QAction::triggered, action, [handler] { handler(); });
    } else {
        action->setProperty(kNotOfferedProperty, true);
        action->setEnabled(false);
    }
    return action;
}

QAction *separator(QMenu *menu, const char *name)
{
    QAction *action = menu->addSeparator();
    action->setObjectName(QLatin1String(name));
    return action;
}

bool isOffered(const QAction *action)
{
    return !action->property(kNotOfferedProperty).toBool();
}

void setEnabled(QAction *action, bool enabled)
{
    action->setEnabled(enabled && isOffered(action));
}

QString literalCaption(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void fillRecentItems(QMenu *menu, QVector<QAction *> &items, const SettingsStore &store,
                     const std::function<void(const QString &)> &open)
{
    const QStringList entries = RecentList::entries(store);
    for (int k = 1; k <= entries.size(); ++k) {
        if (items.size() <= k) {
            QAction *action = menu->addAction(QString());
            action->setObjectName(QStringLiteral("mnuOpenRecent"));
            action->setProperty("Index", k);
            action->setVisible(false);
            QObject::connect(action, &QAction::triggered, action,
                             [action, open] { open(action->data().toString()); });
            items.append(action);
        }
        QAction *action = items[k];
        action->setText(literalCaption(entries[k - 1]));
        action->setData(entries[k - 1]);
        action->setVisible(true);
    }
}

} // namespace ActionTable
