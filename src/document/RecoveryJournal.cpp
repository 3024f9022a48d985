#include "document/RecoveryJournal.h"

#include "core/FileIO.h"
#include "document/DocumentManager.h"
#include "ui/RichTextBox.h"

#include <QTimer>

RecoveryJournal::RecoveryJournal(DocumentManager &docs, const QString &root, int delayMs, QObject *parent)
    : QObject(parent), m_docs(docs), m_root(root), m_folder(root), m_delayMs(delayMs)
{
    m_writer.setMaxThreadCount(1);
}

RecoveryJournal::~RecoveryJournal()
{
    m_writer.waitForDone();
}

void RecoveryJournal::changed(int slot)
{
    if (!m_folder.isValid()) {
        // No folder to back up into: said once per document, as a failed write is.
        written(slot, FileIO::Failure{FileIO::PathFileAccessError,
                                      QStringLiteral("the recovery folder %1 cannot be used").arg(m_root)});
        return;
    }
    QTimer *&timer = m_timers[slot];
    if (!timer) {
        timer = new QTimer(this);
        timer->setSingleShot(true);
        timer->setInterval(m_delayMs);
        connect(timer, &QTimer::timeout, this, [this, slot] { write(slot); });
    }
    timer->start();
}

void RecoveryJournal::write(int slot)
{
    const DocumentRecord &r = m_docs.table().record(slot);
    frmDoc *w = m_docs.window(slot);
    if (!r.InUse() || !r.Changed() || !w)
        return;
    // The one copy the user-interface thread makes; the rest is the worker's.
    Journal::Entry entry;
    entry.title = r.Title();
    entry.path = r.FilePath();
    entry.format = r.Format();
    entry.time = QDateTime::currentDateTime();
    entry.text = w->textBytes();
    entry.stamp = r.DiskStamp();
    m_writer.start([this, entry = std::move(entry), slot] {
        const FileIO::Failure failure = m_folder.write(slot, entry);
        QMetaObject::invokeMethod(this, [this, slot, failure] { written(slot, failure); }, Qt::QueuedConnection);
    });
}

void RecoveryJournal::written(int slot, const FileIO::Failure &failure)
{
    if (bool(failure) == m_failing.value(slot))
        return;
    m_failing[slot] = bool(failure);
    emit backupFailed(slot, failure ? failure.description : QString());
}

void RecoveryJournal::clean(int slot)
{
    if (QTimer *timer = m_timers.value(slot))
        timer->stop();
    if (m_failing.value(slot)) {
        m_failing[slot] = false;
        emit backupFailed(slot, QString());
    }
    m_writer.start([this, slot] { m_folder.removeEntry(slot); });
}

void RecoveryJournal::finish()
{
    for (QTimer *timer : std::as_const(m_timers))
        timer->stop();
    m_writer.waitForDone();
    m_folder.removeAll();
}
