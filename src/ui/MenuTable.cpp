#include "ui/MenuTable.h"

#include "core/RecentList.h"

#include <QAction>
#include <QMenu>

namespace MenuTable {

QList<QMenu *> build(QWidget *owner, const Entry *rows, int count, const Binder &bind)
{
    QList<QMenu *> bar;
    QList<QMenu *> open; // open[d]: the menu that rows of depth d + 1 go into
    for (int i = 0; i < count; ++i) {
        const Entry &row = rows[i];
        const QString name = QLatin1String(row.name);
        const QString caption = QString::fromUtf8(row.caption);
        open.resize(row.depth);
        const bool isMenu = row.depth == 0 || row.submenu || (i + 1 < count && rows[i + 1].depth > row.depth);
        if (isMenu) {
            QMenu *menu = row.depth == 0 ? new QMenu(caption, owner) : open.last()->addMenu(caption);
            menu->setObjectName(name);
            menu->menuAction()->setObjectName(name);
            if (row.depth == 0)
                bar << menu;
            open << menu;
        } else if (caption == QLatin1String("-")) {
            open.last()->addSeparator()->setObjectName(name);
        } else {
            QAction *action = open.last()->addAction(caption);
            action->setObjectName(name);
            if (row.key.key() != Qt::Key_unknown)
                action->setShortcut(row.key);
            bind(action, row.command ? QLatin1String(row.command) : name);
        }
    }
    return bar;
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

} // namespace MenuTable
