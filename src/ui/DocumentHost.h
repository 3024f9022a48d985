#pragma once

#include <QList>
#include <QString>

class DocumentTarget;
struct DocumentRef;

// The documents as other features see them: making, opening and finding
// document windows. The document manager implements it.
class DocumentHost
{
public:
    virtual ~DocumentHost() = default;

    // A new shown window with a blank "Untitled" record; nullptr when no
    // more documents can be open (the user has been told).
    virtual DocumentTarget *CreateDocumentWindow() = 0;
    virtual void NewBlankDocument() = 0;
    // The file in a new window; nullptr when nothing was opened (the user
    // was asked what to do about a failure).
    virtual DocumentTarget *OpenFileByPath(const QString &path) = 0;
    // The open document of a slot, or nullptr when it has been closed.
    virtual DocumentTarget *document(int slot) = 0;
    // The document itself, or nullptr when it has been closed (even when
    // another document has taken its slot since).
    virtual DocumentTarget *document(const DocumentRef &ref) = 0;
    // The open document of a file, or nullptr.
    virtual DocumentTarget *documentFor(const QString &path) = 0;
    // Every open document, in slot order.
    virtual QList<DocumentTarget *> openDocuments() = 0;
};
