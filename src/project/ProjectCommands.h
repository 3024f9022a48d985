#pragma once

struct AppContext;
class DocumentHost;

// Registers the project window's command (Tools > Project List, and the
// frame's Project List). The program's one project list lives here.
void registerProjectCommands(AppContext &ctx, DocumentHost &docs);
