#include "document/RecoveryJournal.h"

#include "core/FileIO.h"
#include "document/DocumentManager.h"
#include "ui/RichTextBox.h"

#include <QFile>
#include <QTimer>

RecoveryJournal::RecoveryJournal(DocumentManager &docs, const QString &root, QObject *parent)
    : QObject(parent), m_docs(docs), m_folder(root)
{
    m_writer.setMaxThreadCount(1);
}

RecoveryJournal::~RecoveryJournal()
{
    m_writer.waitForDone();
}

void RecoveryJournal::changed(int slot)
{
    if (!m_folder.isValid())
        return;
    QTimer *&timer = m_timers[slot];
    if (!timer) {
        timer = new QTimer(this);
        timer->setSingleShot(true);
        timer->setInterval(kDelayMs);
        connect(timer, &QTimer::timeout, this, [this, slot] { write(slot); });
    }
    timer->start();
}

void RecoveryJournal::write(int slot)
{
    const DocumentRecord &r = m_docs.table().record(slot);
    frmDoc *w = m_docs.window(slot);
    if (!r.InUse || !r.Changed || !w)
        return;
    // The one copy the user-interface thread makes; the rest is the worker's.
    Journal::Entry entry{r.Title, r.FilePath, r.Format, QDateTime::currentDateTime(), w->txtContents->textBytes(),
                         r.DiskStamp};
    const QString path = m_folder.entryPath(slot);
    m_writer.start([entry = std::move(entry), path] { FileIO::writeWholeFile(path, Journal::serialize(entry)); });
}

void RecoveryJournal::clean(int slot)
{
    if (QTimer *timer = m_timers.value(slot))
        timer->stop();
    const QString path = m_folder.entryPath(slot);
    m_writer.start([path] { QFile::remove(path); });
}

void RecoveryJournal::finish()
{
    for (QTimer *timer : std::as_const(m_timers))
        timer->stop();
    m_writer.waitForDone();
    m_folder.removeAll();
}
