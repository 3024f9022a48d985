#pragma once

#include <QList>
#include <QVector>
#include <functional>
#include <memory>

class CommandRegistry;
class QAction;
class QMdiArea;
class QMenu;
class QWidget;
class frmDoc;

// The document windows' menu bar and their text's context menu, built once
// from one table for all of them: each item runs its registered command on
// the active document window. While a document window is active, the frame
// shows these menus; the active window shows its own states in them (what
// Undo and Paste can do, Character Mode's check mark).
struct DocumentMenus {
    // The menus belong to a hidden holder in frame; active() names the
    // document window the items act on.
    DocumentMenus(QWidget *frame, QMdiArea *area, const CommandRegistry &commands, std::function<frmDoc *()> active);
    ~DocumentMenus();

    QWidget *holder = nullptr; // "mnuDocumentMenus"
    QList<QMenu *> bar;        // top-level menus, left to right
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
    QAction *lineBreaks[3] = {}; // File > Line Breaks: CR LF, LF, CR (the order of LineEnd)
    QVector<QAction *> recent;      // element 0 is the hidden placeholder
    QVector<QAction *> viewProgram; // elements 0 to 2
};
