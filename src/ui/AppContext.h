#pragma once

#include "core/ProjectList.h"
#include "core/SettingsStore.h"
#include "ui/CommandRegistry.h"
#include "ui/SingleWindows.h"

#include <QString>

class Dialogs;
class Printer;

// The application-wide state that lives for the whole run, handed to every
// window that needs it: the settings and what start-up loaded from them, the
// seams to the outside world, the commands by id and the windows that exist
// once.
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
    QString InsertedText; // the Insert Text window's text, kept for F4
    bool CodeView = false; // Options > Code View, for every document
    bool WordWrap = false; // Options > Word Wrap
    QString CodeFontFamily; // Options > Font, for the code view ("" and 0: the system's fixed-width font)
    int CodeFontSize = 0;
    bool Tabs = false; // Options > Tabs
    bool ReopenDocuments = false; // Options > Reopen Documents at Start-up
    // How long after the last change unsaved text is backed up (tests
    // shorten it).
    int journalDelayMs = 2000;
    // Files from this size on are read, decoded and built into a document
    // in the background, so that the window never waits for them (tests
    // shrink it).
    qint64 backgroundLoadFrom = 8 * 1024 * 1024;
    ProjectList projectList; // Tools > Project List's files
    CommandRegistry commands;
    SingleWindows windows;
};
