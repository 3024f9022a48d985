#include "ui/CommandRegistry.h"

#include <QAction>

namespace {
const char *const kNotOffered = "orvaneNotOffered";
}

void CommandRegistry::add(const QString &id, DocumentHandler handler)
{
    m_document.insert(id, std::move(handler));
}

void CommandRegistry::addGlobal(const QString &id, GlobalHandler handler)
{
    m_global.insert(id, std::move(handler));
}

bool CommandRegistry::bind(QAction *action, const QString &id, DocumentTarget *target) const
{
    if (target) {
        if (const auto it = m_document.constFind(id); it != m_document.constEnd()) {
            const DocumentHandler handler = *it;
            QObject::connect(action, &QAction::triggered, action, [handler, target] { handler(*target); });
            return true;
        }
    }
    if (const auto it = m_global.constFind(id); it != m_global.constEnd()) {
        const GlobalHandler handler = *it;
        QObject::connect(action, &QAction::triggered, action, [handler] { handler(); });
        return true;
    }
    action->setProperty(kNotOffered, true);
    action->setEnabled(false);
    return false;
}

bool CommandRegistry::bind(QAction *action, const QString &id, const std::function<DocumentTarget *()> &current) const
{
    if (const auto it = m_document.constFind(id); it != m_document.constEnd()) {
        const DocumentHandler handler = *it;
        QObject::connect(action, &QAction::triggered, action, [handler, current] {
            if (DocumentTarget *target = current())
                handler(*target);
        });
        return true;
    }
    return bind(action, id, static_cast<DocumentTarget *>(nullptr));
}

bool CommandRegistry::isOffered(const QAction *action)
{
    return !action->property(kNotOffered).toBool();
}

void CommandRegistry::setEnabled(QAction *action, bool enabled)
{
    action->setEnabled(enabled && isOffered(action));
}
