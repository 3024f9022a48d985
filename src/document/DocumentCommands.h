#pragma once

struct AppContext;
class DocumentManager;

// Registers the commands of the documents: the File menu's, editing, the
// Selection menu, the context menu's transfers, Character Mode, printing.
void registerDocumentCommands(AppContext &ctx, DocumentManager &docs);
