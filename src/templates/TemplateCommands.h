#pragma once

struct AppContext;
class DocumentHost;

// Registers the commands of templates and inserts: the template pass, every
// fragment of the Insert menu, New from Template, and the date, font-name
// and insert-text windows.
void registerTemplateCommands(AppContext &ctx, DocumentHost &docs);
