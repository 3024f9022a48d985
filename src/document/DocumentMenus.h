#pragma once

#include <QList>
#include <QVector>

class CommandRegistry;
class QAction;
class QMenu;
class frmDoc;

// The whole menu bar of a document window and its text's context menu,
// built from one table whose items run the registered commands for this
// window. The window owns the menus; while it is the active document, the
// frame shows them in its menu bar.
struct DocumentMenus {
    DocumentMenus(frmDoc &doc, const CommandRegistry &commands);

    QList<QMenu *> bar; // top-level menus, left to right
    QMenu *fileOpen = nullptr;
    QMenu *selection = nullptr;
    QMenu *windows = nullptr;
    QMenu *hidden = nullptr; // the context menu
    QAction *undo = nullptr;
    QAction *redo = nullptr;
    QAction *paste = nullptr;
    QAction *characterMode = nullptr;
    QAction *codeView = nullptr;
    QAction *wordWrap = nullptr;
    QAction *hiddenUndo = nullptr;
    QAction *hiddenPaste = nullptr;
    QVector<QAction *> recent;      // element 0 is the hidden placeholder
    QVector<QAction *> viewProgram; // elements 0 to 2
};
