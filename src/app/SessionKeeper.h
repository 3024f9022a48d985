#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

struct AppContext;
class QWidget;
class mdiMain;

// Options > Reopen Documents at Start-up. While it is on, the documents
// open in the frame are kept in the settings (see SessionEntry): their
// files, carets and first lines shown, in the order of the area's windows
// (the tab bar's order, moves included), their windows as the windowed view
// shows them and which one is active. They are written as documents open
// and close, and once more with every caret and window as they are when the
// frame closes or the program ends. The next start opens them again.
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

protected:
    // Follows every window of the area from its making: its place and size
    // whenever it is neither maximised nor minimised, and its state while
    // the windowed view shows it. The tabbed view maximises the windows; an
    // area's maximised window does not tell the place it is restored to.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void write();

    AppContext &m_ctx;
    mdiMain &m_frame;
    QPointer<QWidget> m_viewport; // the area's, which holds its windows
    QTimer m_write;
    bool m_closing = false;
    int m_stored = -1; // how many entries the settings hold; -1: not counted yet
};
