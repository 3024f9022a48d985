#include "core/DocumentRecord.h"

void DocumentRecord::take(quint64 serial)
{
    m_serial = serial;
    m_heldText = QByteArray();
    setLoading(false);
    setDiskStamp(FileIO::Stamp());
    setFormat(TextFileCodec::FileFormat());
    setFilePath(QString());
    setTitle(QStringLiteral("Untitled"));
    setChanged(false);
    ResetUndoFields();
    if (!m_inUse) {
        m_inUse = true;
        emit inUseChanged(true);
    }
}

void DocumentRecord::release()
{
    setLoading(false);
    // What only this document needed goes with it.
    m_heldText = QByteArray();
    ResetUndoFields();
    setFilePath(QString());
    setTitle(QString());
    if (m_inUse) {
        m_inUse = false;
        emit inUseChanged(false);
    }
}

void DocumentRecord::setLoading(bool loading)
{
    if (loading == m_loading)
        return;
    m_loading = loading;
    emit loadingChanged(loading);
}

void DocumentRecord::setFilePath(const QString &path)
{
    if (path == m_filePath)
        return;
    m_filePath = path;
    emit pathChanged(path);
}

void DocumentRecord::setTitle(const QString &title)
{
    if (title == m_title)
        return;
    m_title = title;
    emit titleChanged(title);
}

void DocumentRecord::setChanged(bool changed)
{
    if (changed == m_changed)
        return;
    m_changed = changed;
    emit this->changed(changed);
}

void DocumentRecord::setFormat(const TextFileCodec::FileFormat &format)
{
    if (format == m_format)
        return;
    m_format = format;
    emit formatChanged();
}

void DocumentRecord::setDiskStamp(const FileIO::Stamp &stamp)
{
    m_diskStamp = m_noticedStamp = stamp;
}

void DocumentRecord::ResetUndoFields()
{
    for (QByteArray &level : m_undo)
        level.clear();
    m_redo.clear();
    emit undoChanged();
}

void DocumentRecord::PushUndo()
{
    m_undo[3] = std::move(m_undo[2]);
    m_undo[2] = std::move(m_undo[1]);
    m_undo[1] = m_undo[0];
    emit undoChanged();
}

void DocumentRecord::PopUndo()
{
    m_undo[0] = std::move(m_undo[1]);
    m_undo[1] = std::move(m_undo[2]);
    m_undo[2] = std::move(m_undo[3]);
    m_undo[3] = QByteArray();
    emit undoChanged();
}

void DocumentRecord::RecordUndo(const QByteArray &text)
{
    if (text == m_undo[0])
        return;
    if (!m_undo[0].isEmpty())
        PushUndo();
    m_undo[0] = text;
    emit undoChanged();
}

QByteArray DocumentRecord::TakeUndo()
{
    QByteArray taken = m_undo[0];
    PopUndo();
    return taken;
}

QByteArray DocumentRecord::Undo(const QByteArray &current)
{
    if (m_undo[0].isEmpty())
        return QByteArray();
    m_redo.append(current);
    return TakeUndo();
}

QByteArray DocumentRecord::Redo(const QByteArray &current)
{
    if (m_redo.isEmpty())
        return QByteArray();
    QByteArray text = m_redo.takeLast();
    RecordUndo(current);
    emit undoChanged();
    return text;
}

void DocumentRecord::ClearRedo()
{
    if (m_redo.isEmpty())
        return;
    m_redo.clear();
    emit undoChanged();
}
