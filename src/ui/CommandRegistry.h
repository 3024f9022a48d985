#pragma once

#include <QHash>
#include <QString>
#include <functional>

class DocumentTarget;
class QAction;

// The program's commands by id (the menu item's name). Each feature adds its
// own from one registration function at start-up; menus are tables of
// names and look their handlers up here. An item whose id has no handler is
// a command this build does not offer: it is shown disabled and stays so.
class CommandRegistry
{
public:
    using DocumentHandler = std::function<void(DocumentTarget &)>;
    using GlobalHandler = std::function<void()>;

    // A command that acts on the document window whose menu or key chose it.
    void add(const QString &id, DocumentHandler handler);
    // A command that needs no document: the frame's menus can offer it too.
    void addGlobal(const QString &id, GlobalHandler handler);

    bool has(const QString &id) const { return m_document.contains(id) || m_global.contains(id); }

    // Connects action to the command id, run for target (nullptr: the frame,
    // which offers global commands only). Without a handler the action is
    // disabled for good. Returns whether it was bound.
    bool bind(QAction *action, const QString &id, DocumentTarget *target) const;
    // The same for actions that act on whichever document current() names
    // when they run (the menus all document windows share); with none, a
    // document command does nothing.
    bool bind(QAction *action, const QString &id, const std::function<DocumentTarget *()> &current) const;

    // False for actions that no handler was bound to.
    static bool isOffered(const QAction *action);
    // Enables an offered action; an action not offered stays disabled.
    static void setEnabled(QAction *action, bool enabled);

private:
    QHash<QString, DocumentHandler> m_document;
    QHash<QString, GlobalHandler> m_global;
};
