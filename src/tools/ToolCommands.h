#pragma once

struct AppContext;
class DocumentHost;

// Registers the tools: the external viewers and the settings window, the
// two snip tools, quick scan and append to file.
void registerToolCommands(AppContext &ctx, DocumentHost &docs);

// Starts external viewer n (0 to 2) on the document's saved file; tells the
// user when the document has no file yet or the program cannot be started.
class DocumentTarget;
void startViewer(AppContext &ctx, DocumentTarget &doc, int n);
