#pragma once

#include "core/SettingsStore.h"

#include <QString>

class Dialogs;
class DocumentManager;
class Printer;
class mdiMain;

// The application-wide state that lives for the whole run, handed to every
// window that needs it.
struct AppContext {
    AppContext(SettingsStore store, Dialogs &dialogsSeam, Printer &printerSeam)
        : settings(std::move(store)), dialogs(dialogsSeam), printer(printerSeam)
    {
    }

    static QString appTitle() { return QStringLiteral("Orvane"); }

    SettingsStore settings;
    Dialogs &dialogs;
    Printer &printer;
    QString TemplatesDir;
    ExternalViewerTable viewers;
    DocumentManager *documents = nullptr; // set by start-up
    mdiMain *frame = nullptr;             // set by start-up
};
