#include "document/RecoveryJournal.h"

#include "core/FileIO.h"
#include "document/DocumentManager.h"
#include "ui/RichTextBox.h"

#include <QMutex>
#include <QThread>
#include <QTimer>
#include <QWaitCondition>

struct RecoveryJournal::Feed {
    QMutex mutex;
    QWaitCondition taken;
    QByteArray next;
    bool ready = false; // next waits for the writer
    bool abort = false;
};

RecoveryJournal::RecoveryJournal(DocumentManager &docs, const QString &root, int delayMs, QObject *parent)
    : QObject(parent), m_docs(docs), m_root(root), m_folder(root), m_delayMs(delayMs)
{
    m_writer.setMaxThreadCount(1);
}

RecoveryJournal::~RecoveryJournal()
{
    for (int slot : m_sliced.keys())
        giveUp(slot);
    m_writer.waitForDone();
}

void RecoveryJournal::waitForWrites()
{
    while (!m_sliced.isEmpty()) {
        for (int slot : m_sliced.keys())
            feedNext(slot);
        QThread::usleep(200);
    }
    m_writer.waitForDone();
}

void RecoveryJournal::changed(int slot)
{
    ++m_generation[slot];
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
    entry.stamp = r.DiskStamp();
    const qint64 size = w->textBox()->textByteLength();
    giveUp(slot); // a write of the same slot still under way
    if (size <= m_slice) {
        entry.text = w->textBytes();
        m_writer.start([this, entry = std::move(entry), slot] {
            const FileIO::Failure failure = m_folder.write(slot, entry);
            QMetaObject::invokeMethod(this, [this, slot, failure] { written(slot, failure); }, Qt::QueuedConnection);
        });
        return;
    }
    entry.textSize = size;
    auto feed = std::make_shared<Feed>();
    m_sliced.insert(slot, Sliced{feed, 0, size, m_generation.value(slot)});
    feedNext(slot);
    m_writer.start([this, entry = std::move(entry), slot, feed] {
        const FileIO::Failure failure = m_folder.write(slot, entry, [this, slot, feed](QByteArray *piece) {
            QMutexLocker lock(&feed->mutex);
            while (!feed->ready && !feed->abort)
                feed->taken.wait(&feed->mutex);
            if (feed->abort)
                return false;
            *piece = std::exchange(feed->next, QByteArray());
            feed->ready = false;
            if (!piece->isEmpty())
                QMetaObject::invokeMethod(this, [this, slot, feed] {
                    if (m_sliced.value(slot).feed == feed)
                        feedNext(slot);
                }, Qt::QueuedConnection);
            return true;
        });
        if (failure.code == FileIO::ChangedMeanwhile)
            return; // given up for a newer text: the next write tells
        QMetaObject::invokeMethod(this, [this, slot, failure] { written(slot, failure); }, Qt::QueuedConnection);
    });
}

void RecoveryJournal::feedNext(int slot)
{
    const auto it = m_sliced.find(slot);
    if (it == m_sliced.end())
        return;
    frmDoc *w = m_docs.window(slot);
    if (!w || m_generation.value(slot) != it->generation || w->textBox()->textByteLength() != it->size) {
        giveUp(slot);
        return;
    }
    Feed &feed = *it->feed;
    QMutexLocker lock(&feed.mutex);
    if (feed.ready)
        return; // the writer has not taken the last one yet
    feed.next = w->textBox()->textBytes(it->pos, std::min<qint64>(m_slice, it->size - it->pos));
    it->pos += feed.next.size();
    feed.ready = true;
    feed.taken.wakeAll();
    if (feed.next.isEmpty()) { // the end: nothing more to copy
        lock.unlock();
        m_sliced.erase(it);
    }
}

void RecoveryJournal::giveUp(int slot)
{
    const Sliced s = m_sliced.take(slot);
    if (!s.feed)
        return;
    QMutexLocker lock(&s.feed->mutex);
    s.feed->abort = true;
    s.feed->taken.wakeAll();
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
    giveUp(slot);
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
    for (int slot : m_sliced.keys())
        giveUp(slot);
    m_writer.waitForDone();
    m_folder.removeAll();
}
