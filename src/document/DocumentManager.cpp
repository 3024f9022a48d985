#include "document/DocumentManager.h"

#include "app/AppContext.h"
#include "core/FileFilter.h"
#include "core/RecentList.h"
#include "core/TextFileCodec.h"
#include "document/RichTextBox.h"
#include "document/frmDoc.h"
#include "platform/Dialogs.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

const QString kBreak = QStringLiteral("\r\n");
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
    w->scheduleTimer1();
}

bool DocumentManager::readFileAsking(const QString &path, QByteArray *bytes, ReadQuestion kind)
{
    for (;;) {
        const FileIO::Failure failure = FileIO::readWholeFile(path, bytes);
        if (!failure)
            return true;
        QString first = QStringLiteral("There was an error in reading your file");
        if (kind == ReadQuestion::WithDialog)
            first = QString::number(failure.code) + QStringLiteral("> ") + first;
        const QString last = kind == ReadQuestion::Insert ? QStringLiteral("What would you like to do") : kWhatNow;
        const QString question = first + kBreak + failure.description + kBreak + last;
        Dialogs::Answer answer;
        // Passing over the failed read leaves nothing to read: every later
        // step needs the file and fails in turn, so the question comes back.
        do {
            answer = m_ctx.dialogs.message(question, Dialogs::Buttons::AbortRetryIgnore, Dialogs::Icon::None,
                                           AppContext::appTitle());
        } while (answer == Dialogs::Answer::Ignore);
        if (answer != Dialogs::Answer::Retry)
            return false;
    }
}

frmDoc *DocumentManager::openRead(const QString &path, QByteArray bytes)
{
    TextFileCodec::Decoded decoded = TextFileCodec::decode(std::move(bytes));
    frmDoc *w = CreateDocumentWindow();
    if (!w)
        return nullptr;
    const int slot = w->slot();
    DocumentRecord &r = m_table.record(slot);
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
    if (!readFileAsking(path, &bytes, ReadQuestion::ByPath))
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
    if (!readFileAsking(name, &bytes, ReadQuestion::WithDialog))
        return nullptr;
    return openRead(name, std::move(bytes));
}

bool DocumentManager::writeDocument(int slot, const QString &path, bool appendBreak)
{
    frmDoc *w = window(slot);
    if (!w)
        return false;
    for (;;) {
        QByteArray bytes;
        QString encodeError;
        FileIO::Failure failure;
        if (!TextFileCodec::encode(w->txtContents->textView(), m_table.record(slot).Format, appendBreak, &bytes,
                                   &encodeError))
            failure = FileIO::Failure{FileIO::BadFileMode, encodeError};
        else
            failure = FileIO::writeWholeFile(path, bytes);
        if (!failure)
            return true;
        const QString question = QStringLiteral("There was an error in saving to the file. ") + kBreak
                                 + failure.description + kBreak + kWhatNow;
        const Dialogs::Answer answer = m_ctx.dialogs.message(question, Dialogs::Buttons::AbortRetryIgnore,
                                                             Dialogs::Icon::None, AppContext::appTitle());
        // Abort ends the save; so does Ignore, because the file was not
        // written and nothing after this step may claim that it was.
        if (answer != Dialogs::Answer::Retry)
            return false;
    }
}

QString DocumentManager::askSaveName()
{
    const QString name = m_ctx.dialogs.saveFileName(documentFilter(), m_lastDialogName);
    if (name.trimmed().isEmpty())
        return QString();
    m_lastDialogName = name;
    return name;
}

bool DocumentManager::SaveDocument(int slot)
{
    DocumentRecord &r = m_table.record(slot);
    if (r.FilePath.trimmed().isEmpty()) {
        m_ctx.dialogs.message(QStringLiteral("Error: No File"), Dialogs::Buttons::Ok, Dialogs::Icon::None,
                              AppContext::appTitle());
        return false;
    }
    if (!writeDocument(slot, r.FilePath, true))
        return false;
    r.Changed = false;
    r.InUse = true;
    RecentList::AddRecentItem(m_ctx.settings, r.FilePath);
    emit recentListChanged();
    if (frmDoc *w = window(slot))
        w->scheduleTimer1();
    return true;
}

bool DocumentManager::saveUnderNewName(int slot, bool appendBreak)
{
    const QString name = askSaveName();
    if (name.isEmpty() || !writeDocument(slot, name, appendBreak))
        return false;
    DocumentRecord &r = m_table.record(slot);
    r.Changed = false;
    r.FilePath = name;
    r.Title = name;
    r.InUse = true;
    RecentList::AddRecentItem(m_ctx.settings, name);
    emit recentListChanged();
    if (frmDoc *w = window(slot))
        w->scheduleTimer1();
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
