#include "document/DocumentManager.h"

#include "core/FileFilter.h"
#include "core/FileIO.h"
#include "core/RecentList.h"
#include "core/TextFileCodec.h"
#include "ui/RichTextBox.h"
#include "document/frmDoc.h"
#include "platform/Dialogs.h"
#include "ui/AppContext.h"
#include "ui/FileQuestion.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

const QString kWhatNow = QStringLiteral("Would would you like to do");

QString documentFilter()
{
    static const QString filter = FileFilter::toQtFilter(FileFilter::kDocumentFilter);
    return filter;
}

} // namespace

DocumentManager::DocumentManager(AppContext &ctx, QMdiArea &area, QObject *parent)
    : QObject(parent), m_ctx(ctx), m_area(area)
{
}

frmDoc *DocumentManager::window(int slot) const
{
    if (slot < 1 || size_t(slot) >= m_windows.size())
        return nullptr;
    return m_windows[size_t(slot)];
}

frmDoc *DocumentManager::document(int slot)
{
    return m_table.isValidSlot(slot) && m_table.record(slot).InUse ? window(slot) : nullptr;
}

frmDoc *DocumentManager::CreateDocumentWindow()
{
    bool grew = false;
    const int slot = m_table.TakeSlot(&grew);
    if (slot == 0) {
        m_ctx.dialogs.message(QStringLiteral("No more than %1 documents can be open at once. Close one and try again.")
                                  .arg(DocumentTable::MaxDocuments),
                              Dialogs::Buttons::Ok, Dialogs::Icon::Warning, AppContext::appTitle());
        return nullptr;
    }
    if (grew)
        m_windows.resize(size_t(slot) + 1);
    frmDoc *w = m_windows[size_t(slot)];
    if (!w) {
        w = new frmDoc(m_ctx, *this);
        QMdiSubWindow *sub = m_area.addSubWindow(w);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->adjustSize();
        m_windows[size_t(slot)] = w;
        connect(w, &QObject::destroyed, this, &DocumentManager::documentWindowsChanged);
    }
    w->setTag(slot);
    DocumentRecord &r = m_table.record(slot);
    r.InUse = true;
    r.FilePath.clear();
    r.Title = QStringLiteral("Untitled");
    r.Format = TextFileCodec::FileFormat();
    m_table.ResetUndoFields(slot);
    w->documentTaken();
    emit documentWindowsChanged();
    return w;
}

void DocumentManager::NewBlankDocument()
{
    frmDoc *w = CreateDocumentWindow();
    if (!w)
        return;
    w->txtContents->SetText(QString());
    DocumentRecord &r = m_table.record(w->slot());
    r.Title = QStringLiteral("Untitled");
    r.FilePath.clear();
    r.Changed = false;
    r.UndoSnapshot.clear();
    // Emptying a reused window's text was no change of the new document.
    w->resetStatus();
    w->scheduleTimer1();
}

bool DocumentManager::readFile(const QString &path, bool numbered, QByteArray *bytes)
{
    const FileQuestion::Lines lines{QStringLiteral("There was an error in reading your file"), kWhatNow, numbered, true};
    return FileQuestion::untilDone(m_ctx.dialogs, lines, [&] { return FileIO::readWholeFile(path, bytes); });
}

frmDoc *DocumentManager::openRead(const QString &path, QByteArray bytes)
{
    TextFileCodec::Decoded decoded = TextFileCodec::decode(std::move(bytes));
    frmDoc *w = CreateDocumentWindow();
    if (!w)
        return nullptr;
    DocumentRecord &r = m_table.record(w->slot());
    r.FilePath = path;
    r.Title = path;
    r.Format = decoded.format;
    w->txtContents->setTextBytes(decoded.text);
    decoded.text = QByteArray();
    r.Changed = false;
    RecentList::AddRecentItem(m_ctx.settings, path);
    emit recentListChanged();
    w->scheduleTimer1();
    return w;
}

frmDoc *DocumentManager::OpenFileByPath(const QString &path)
{
    QByteArray bytes;
    if (!readFile(path, false, &bytes))
        return nullptr;
    return openRead(path, std::move(bytes));
}

frmDoc *DocumentManager::OpenFileWithDialog()
{
    const QString name = m_ctx.dialogs.openFileName(documentFilter(), m_lastDialogName);
    if (name.trimmed().isEmpty())
        return nullptr;
    m_lastDialogName = name;
    QByteArray bytes;
    if (!readFile(name, true, &bytes))
        return nullptr;
    return openRead(name, std::move(bytes));
}

bool DocumentManager::writeDocument(int slot, const QString &path, bool appendBreak)
{
    frmDoc *w = window(slot);
    if (!w)
        return false;
    // Abort ends the save; so does Ignore, because the file was not written
    // and nothing after this step may claim that it was.
    const FileQuestion::Lines lines{QStringLiteral("There was an error in saving to the file. "), kWhatNow};
    return FileQuestion::untilDone(m_ctx.dialogs, lines, [&] {
        QByteArray bytes;
        QString encodeError;
        if (!TextFileCodec::encode(w->txtContents->textView(), m_table.record(slot).Format, appendBreak, &bytes,
                                   &encodeError))
            return FileIO::Failure{FileIO::BadFileMode, encodeError};
        return FileIO::writeWholeFile(path, bytes);
    });
}

void DocumentManager::saved(int slot, const QString &newName)
{
    DocumentRecord &r = m_table.record(slot);
    r.Changed = false;
    if (!newName.isEmpty()) {
        r.FilePath = newName;
        r.Title = newName;
    }
    r.InUse = true;
    RecentList::AddRecentItem(m_ctx.settings, r.FilePath);
    emit recentListChanged();
    if (frmDoc *w = window(slot))
        w->scheduleTimer1();
}

bool DocumentManager::SaveDocument(int slot)
{
    const DocumentRecord &r = m_table.record(slot);
    if (r.FilePath.trimmed().isEmpty()) {
        m_ctx.dialogs.message(QStringLiteral("Error: No File"), Dialogs::Buttons::Ok, Dialogs::Icon::None,
                              AppContext::appTitle());
        return false;
    }
    if (!writeDocument(slot, r.FilePath, true))
        return false;
    saved(slot);
    return true;
}

bool DocumentManager::saveUnderNewName(int slot, bool appendBreak)
{
    const QString name = m_ctx.dialogs.saveFileName(documentFilter(), m_lastDialogName);
    if (name.trimmed().isEmpty())
        return false;
    m_lastDialogName = name;
    if (!writeDocument(slot, name, appendBreak))
        return false;
    saved(slot, name);
    return true;
}

bool DocumentManager::SaveDocumentAs(int slot)
{
    return saveUnderNewName(slot, true);
}

bool DocumentManager::SaveDocumentBinary(int slot)
{
    // The text's bytes and nothing else: no line break after the last line.
    return saveUnderNewName(slot, false);
}

bool DocumentManager::Save(int slot)
{
    return m_table.record(slot).FilePath.trimmed().isEmpty() ? SaveDocumentAs(slot) : SaveDocument(slot);
}
