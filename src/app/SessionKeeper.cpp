#include "app/SessionKeeper.h"

#include "core/FileIO.h"
#include "app/mdiMain.h"
#include "document/DocumentManager.h"
#include "document/frmDoc.h"
#include "platform/Dialogs.h"
#include "ui/AppContext.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>

namespace {

using Key = SettingsStore::Key;

// One document as stored: "caret first-line path".
QString entry(int caret, int firstLine, const QString &path)
{
    return QStringLiteral("%1 %2 %3").arg(caret).arg(firstLine).arg(path);
}

} // namespace

SessionKeeper::SessionKeeper(AppContext &ctx, mdiMain &frame)
    : QObject(&frame), m_ctx(ctx), m_frame(frame)
{
    // On a later turn: a window being destroyed still counts until then,
    // and its half-destroyed children must not be searched.
    m_write.setSingleShot(true);
    m_write.setInterval(0);
    connect(&m_write, &QTimer::timeout, this, [this] {
        syncChecks(); // the document menus are made with the first document
        if (m_ctx.ReopenDocuments && !m_closing)
            write();
    });
    const auto changed = [this] { m_write.start(); };
    connect(&frame.documents(), &DocumentManager::documentWindowsChanged, this, changed);
    connect(&frame.documents(), &DocumentManager::recentListChanged, this, changed); // opened, or saved under a name
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (m_ctx.ReopenDocuments && !m_closing)
            write();
    });
}

void SessionKeeper::toggle()
{
    m_ctx.ReopenDocuments = !m_ctx.ReopenDocuments;
    m_ctx.settings.setValue(Key::ReopenDocuments, m_ctx.ReopenDocuments);
    if (m_ctx.ReopenDocuments)
        write();
    syncChecks();
}

void SessionKeeper::syncChecks()
{
    for (QAction *item : m_frame.findChildren<QAction *>(QStringLiteral("mnuOptionsReopenDocuments"))) {
        item->setCheckable(true);
        item->setChecked(m_ctx.ReopenDocuments);
    }
}

void SessionKeeper::frameClosing()
{
    if (m_ctx.ReopenDocuments)
        write();
    m_closing = true;
}

void SessionKeeper::write()
{
    m_write.stop();
    QStringList entries;
    for (QMdiSubWindow *sub : m_frame.mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
        auto *w = qobject_cast<frmDoc *>(sub->widget());
        if (!sub->isVisible() || !w || w->FilePath().isEmpty())
            continue;
        const auto [caret, firstLine] = w->place();
        entries << entry(caret, firstLine, w->FilePath());
    }
    // The entries, and blanks for those of a longer list before, in one
    // batch: the store writes them together, atomically, under its lock.
    if (m_stored < 0) {
        m_stored = 0;
        for (int i = 1; i <= kMaxDocuments; ++i) {
            if (!m_ctx.settings.value(Key::SessionDocument, i).toString().isEmpty())
                m_stored = i;
        }
    }
    const int count = int(std::min<qsizetype>(entries.size(), kMaxDocuments));
    for (int i = 0; i < std::max(count, m_stored); ++i)
        m_ctx.settings.setValue(Key::SessionDocument, entries.value(i), i + 1);
    m_stored = count;
}

void SessionKeeper::reopen()
{
    if (!m_ctx.ReopenDocuments)
        return;
    QStringList open, missing;
    for (QMdiSubWindow *sub : m_frame.mdiArea()->subWindowList()) {
        if (auto *w = qobject_cast<frmDoc *>(sub->widget()); w && sub->isVisible())
            open << w->FilePath();
    }
    for (int i = 1; i <= kMaxDocuments; ++i) {
        const QStringList parts = m_ctx.settings.value(Key::SessionDocument, i).toString().split(u' ');
        if (parts.size() < 3)
            continue;
        const QString path = parts.mid(2).join(u' ');
        if (open.contains(path))
            continue;
        // Checked before opening, so that nothing asks a question per file
        // at start-up: gone, not a regular file, or too big is said once.
        FileIO::Failure failure = FileIO::checkReadable(path);
        if (!failure)
            failure = FileIO::checkTextSize(QFileInfo(path).size());
        if (failure) {
            missing << path + QStringLiteral(" (") + failure.description + u')';
            continue;
        }
        if (frmDoc *w = m_frame.documents().OpenFileByPath(path)) {
            w->setPlace(parts[0].toInt(), parts[1].toInt());
            open << path;
        }
    }
    if (!missing.isEmpty()) {
        m_ctx.dialogs.message(QStringLiteral("These documents were not reopened:\r\n\r\n")
                                  + missing.join(QStringLiteral("\r\n")),
                              Dialogs::Buttons::Ok, Dialogs::Icon::Information, AppContext::appTitle());
    }
}
