#pragma once

struct AppContext;
class mdiMain;

// Registers the commands of the program's shell: "Document From Clip",
// the frame's "&Exit" and the about window.
void registerAppCommands(AppContext &ctx, mdiMain &frame);
