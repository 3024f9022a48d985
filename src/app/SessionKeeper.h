#pragma once

#include <QObject>
#include <QTimer>

struct AppContext;
class mdiMain;

// Options > Reopen Documents at Start-up. While it is on, the documents
// open in the frame (their files, carets and first lines shown, in the
// order their windows were made) are kept in the settings: written as
// documents open and close, and once more with every caret as it is when
// the frame closes or the program ends. The next start opens them again.
class SessionKeeper : public QObject
{
    Q_OBJECT

public:
    // The most documents remembered.
    static constexpr int kMaxDocuments = 100;

    SessionKeeper(AppContext &ctx, mdiMain &frame);

    void toggle();
    // Opens the last run's documents, when on; files that are gone are
    // named in one message.
    void reopen();
    // The frame is closing: the list is written as it stands, and windows
    // closing from now on do not shorten it; closeCancelled() ends that.
    void frameClosing();
    void closeCancelled() { m_closing = false; }
    // The menu items' check marks follow the option.
    void syncChecks();

private:
    void write();

    AppContext &m_ctx;
    mdiMain &m_frame;
    QTimer m_write;
    bool m_closing = false;
    int m_stored = -1; // how many entries the settings hold; -1: not counted yet
};
