#include "document/DocumentManager.h"

#include "core/FileFilter.h"
#include "core/FileIO.h"
#include "core/RecentList.h"
#include "core/TextFileCodec.h"
#include "core/Utf8Stream.h"
#include "document/DocumentMenus.h"
#include "document/RecoveryJournal.h"
#include "document/frmDoc.h"
#include "platform/Dialogs.h"
#include "ui/AppContext.h"
#include "ui/CodeView.h"
#include "ui/FileQuestion.h"
#include "ui/FitInArea.h"
#include "ui/RichTextBox.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSet>
#include <algorithm>
#include <memory>

namespace {

QString documentFilter()
{
    static const QString filter = FileFilter::toQtFilter(FileFilter::kDocumentFilter);
    return filter;
}

} // namespace

DocumentManager::DocumentManager(AppContext &ctx, QMdiArea &area, QObject *parent)
    : QObject(parent), m_ctx(ctx), m_area(area), m_watcher(new QFileSystemWatcher(this)),
      m_journal(new RecoveryJournal(*this, ctx.settings.ProgramDirectory() + QStringLiteral("recovery"), ctx.journalDelayMs, this))
{
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &DocumentManager::checkFiles);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &DocumentManager::checkFiles);
    // Ending the program by its menus is a clean end too.
    connect(qApp, &QCoreApplication::aboutToQuit, m_journal, &RecoveryJournal::finish);
    connect(m_journal, &RecoveryJournal::backupFailed, this, [this](int slot, const QString &why) {
        if (frmDoc *w = window(slot))
            w->showBackupFailure(why);
    });
}

DocumentManager::~DocumentManager()
{
    m_journal->finish();
}

DocumentMenus &DocumentManager::menus()
{
    // Built with the first window: every command is registered by then.
    if (!m_menus)
    {
        m_menus = std::make_unique<DocumentMenus>(m_area.window(), &m_area, m_ctx.commands, [this] { return activeWindow(); });
        // Options shows which line break new documents get.
        QWidget *holder = m_menus->holder;
        connect(holder->findChild<QMenu *>(QStringLiteral("mnuOptionsNewLineBreaks")), &QMenu::aboutToShow, holder, [this, holder] {
            const bool lf = m_ctx.settings.value(SettingsStore::Key::NewLineBreaks).toString() == QLatin1String("Lf");
            for (const char *name : {"mnuNewLineBreaksCrLf", "mnuNewLineBreaksLf"}) {
                QAction *item = holder->findChild<QAction *>(QLatin1String(name));
                item->setCheckable(true);
                item->setChecked(lf == (QLatin1String(name) == QLatin1String("mnuNewLineBreaksLf")));
            }
        });
    }
    return *m_menus;
}

frmDoc *DocumentManager::activeWindow() const
{
    QMdiSubWindow *current = m_area.currentSubWindow();
    if (current && current->isVisible())
        return qobject_cast<frmDoc *>(current->widget());
    // The current window was hidden or is going: any other shown one.
    const QList<QMdiSubWindow *> windows = m_area.subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if ((*it)->isVisible() && *it != current)
            return qobject_cast<frmDoc *>((*it)->widget());
    }
    return nullptr;
}

frmDoc *DocumentManager::recover(Journal::Entry entry)
{
    if (const FileIO::Failure failure = Journal::load(&entry)) {
        m_ctx.dialogs.message(QStringLiteral("The document \"") + entry.title + QStringLiteral("\" could not be recovered; its "
                                                                                              "journal was kept:\r\n")
                                  + failure.description,
                              Dialogs::Buttons::Ok, Dialogs::Icon::Warning, AppContext::appTitle());
        return nullptr;
    }
    frmDoc *w = CreateDocumentWindow();
    if (!w)
        return nullptr;
    DocumentRecord &r = m_table.record(w->slot());
    r.setFilePath(entry.path);
    r.setTitle(entry.title);
    r.setFormat(entry.format);
    r.setDiskStamp(entry.stamp);
    w->applyCodeView(entry.text.size());
    w->showText(entry.text, true, false); // a change: the document shows unsaved changes
    watchFiles();
    w->scheduleTimer1();
    // Its new journal is on disk before the old one may go.
    m_journal->write(w->slot());
    m_journal->waitForWrites();
    return w;
}

void DocumentManager::windowClosed()
{
    stopLoadsOfClosedDocuments();
    watchFiles();
    emit documentWindowsChanged();
}

void DocumentManager::watchFiles()
{
    QSet<QString> wanted;
    for (int slot = 1; slot <= DocumentCount(); ++slot) {
        const DocumentRecord &r = m_table.record(slot);
        if (!r.InUse() || r.FilePath().trimmed().isEmpty())
            continue;
        wanted << QFileInfo(r.FilePath()).absolutePath();
        if (QFileInfo::exists(r.FilePath()))
            wanted << r.FilePath();
    }
    QSet<QString> watched;
    for (const QString &p : m_watcher->files() + m_watcher->directories())
        watched << p;
    if (const QStringList gone = QStringList((watched - wanted).values()); !gone.isEmpty())
        m_watcher->removePaths(gone);
    if (const QStringList added = QStringList((wanted - watched).values()); !added.isEmpty())
        m_watcher->addPaths(added);
}

void DocumentManager::checkFiles()
{
    for (int slot = 1; slot <= DocumentCount(); ++slot) {
        DocumentRecord &r = m_table.record(slot);
        frmDoc *w = window(slot);
        if (!r.InUse() || !w || r.FilePath().trimmed().isEmpty() || r.Loading())
            continue;
        // Each change is told once, however many events the folder sees.
        const FileIO::Stamp now = FileIO::stampOf(r.FilePath());
        if (now != r.DiskStamp() && now != r.NoticedStamp()) {
            r.notice(now);
            w->showDiskNotice(now.exists ? frmDoc::DiskNotice::Changed : frmDoc::DiskNotice::Removed);
        }
    }
    // A file replaced by rename, or made again, needs watching anew.
    watchFiles();
}

bool DocumentManager::mayOverwrite(int slot, FileIO::Stamp *approved)
{
    const DocumentRecord &r = m_table.record(slot);
    // What the user agrees to replace: the file as it is now. Changed again
    // before it is replaced, it is asked about again.
    *approved = FileIO::stampOf(r.FilePath());
    // A removed file loses nothing by being written again; what is not a
    // file is for the write to report.
    if (!approved->exists || *approved == r.DiskStamp() || !QFileInfo(r.FilePath()).isFile())
        return true;
    return askOverwrite(r.FilePath());
}

bool DocumentManager::askOverwrite(const QString &path)
{
    const Dialogs::Answer answer = m_ctx.dialogs.message(
        QStringLiteral("Another program has changed ") + path
            + QStringLiteral(" since this document was read or last saved.\r\nOverwrite it with this document?"),
        Dialogs::Buttons::OverwriteCancel, Dialogs::Icon::Warning, AppContext::appTitle());
    return answer == Dialogs::Answer::Yes;
}


bool DocumentManager::ReopenWithEncoding(int slot, TextFileCodec::Encoding encoding, const QByteArray &codec)
{
    DocumentRecord &r = m_table.record(slot);
    frmDoc *w = window(slot);
    TextFileCodec::FileFormat wanted;
    wanted.encoding = encoding;
    wanted.codec = codec;
    const QString name = TextFileCodec::encodingName(wanted);
    if (stillLoading(slot))
        return false;
    if (!w || r.FilePath().trimmed().isEmpty()) {
        m_ctx.dialogs.message(QStringLiteral("This document has no file to read again."), Dialogs::Buttons::Ok,
                              Dialogs::Icon::Information, AppContext::appTitle());
        return false;
    }
    if (r.Changed()
        && m_ctx.dialogs.message(QStringLiteral("Read ") + r.FilePath() + QStringLiteral(" again as ") + name
                                     + QStringLiteral("?\r\nThe changes you made since it was last saved will be lost."),
                                 Dialogs::Buttons::YesNo, Dialogs::Icon::Warning, AppContext::appTitle())
            != Dialogs::Answer::Yes)
        return false;
    const QString path = r.FilePath();
    const auto reopened = [this, name](frmDoc *w, bool decodedOk, TextFileCodec::Decoded decoded, const FileIO::Stamp &stamp) {
        DocumentRecord &r = m_table.record(w->slot());
        if (!decodedOk) {
            m_ctx.dialogs.message(QStringLiteral("The file ") + r.FilePath() + QStringLiteral(" is not text in ") + name
                                      + QStringLiteral(": read that way, saving it would change its bytes. It stays as it was read."),
                                  Dialogs::Buttons::Ok, Dialogs::Icon::Warning, AppContext::appTitle());
            return false;
        }
        r.setDiskStamp(stamp);
        r.setFormat(decoded.format);
        // The same bytes read otherwise: the caret stays on its line and the
        // view where it was (offsets differ between readings, lines do not).
        const int caretLine = w->textBox()->caretLine();
        const int firstLine = w->textBox()->firstVisibleLine();
        showFileText(w, std::move(decoded.text), true);
        w->textBox()->goToLine(caretLine);
        w->textBox()->setFirstVisibleLine(firstLine);
        r.setChanged(false);
        // A new reading of the file, not an edit: Undo must not bring back the
        // text of the other reading, which this encoding would then write.
        w->startUndoAfresh();
        m_journal->clean(w->slot());
        w->hideDiskNotice();
        w->scheduleTimer1();
        return true;
    };
    if (readsInBackground(path)) {
        const auto decode = [encoding, codec](QByteArray raw, Loaded &loaded, Task::Control &) {
            loaded.decodedOk = TextFileCodec::decodeAs(std::move(raw), encoding, codec, &loaded.decoded);
        };
        readInBackground(w, path, decode, [this, reopened, encoding, codec](frmDoc *w, Loaded loaded) {
            endLoading(w);
            if (!loaded.failure)
                reopened(w, loaded.decodedOk, std::move(loaded.decoded), loaded.stamp);
            else if (askAfterFailedRead(loaded.failure, false))
                ReopenWithEncoding(w->slot(), encoding, codec);
        });
        return false;
    }
    QByteArray bytes;
    if (!readFile(path, false, &bytes))
        return false;
    TextFileCodec::Decoded decoded;
    const bool decodedOk = TextFileCodec::decodeAs(std::move(bytes), encoding, codec, &decoded);
    return reopened(w, decodedOk, std::move(decoded), FileIO::stampOf(path));
}

bool DocumentManager::SaveWithEncoding(int slot, TextFileCodec::Encoding encoding, const QByteArray &codec)
{
    if (stillLoading(slot))
        return false;
    DocumentRecord &r = m_table.record(slot);
    const TextFileCodec::FileFormat before = r.Format();
    TextFileCodec::FileFormat format = before;
    format.encoding = encoding;
    format.codec = encoding == TextFileCodec::Encoding::Legacy ? codec : QByteArray();
    r.setFormat(format);
    if (Save(slot))
        return true;
    // Nothing was written: the document is still what its file is.
    r.setFormat(before);
    if (frmDoc *w = window(slot))
        w->scheduleTimer1();
    return false;
}

void DocumentManager::ConvertLineBreaks(int slot, TextFileCodec::LineEnd lineEnd)
{
    DocumentRecord &r = m_table.record(slot);
    frmDoc *w = window(slot);
    if (!w || !r.HeldText().isNull() || stillLoading(slot)) // lines shown cut: read-only
        return;
    // A file that mixed breaks keeps its lone CRs and LFs as characters:
    // they become breaks too, in one undo step.
    const QByteArrayView text = w->textView();
    if (text.contains('\n') || text.contains('\r')) {
        const QByteArray uniform = TextFileCodec::withCrLfBreaks(TextFileCodec::toQString(text)).toUtf8();
        if (uniform != text) {
            w->undoTick();
            w->showText(uniform, true, false);
            w->undoTick();
        }
    }
    TextFileCodec::FileFormat format = r.Format();
    if (format.lineEnd == lineEnd && format.finalBreak == lineEnd)
        return;
    format.lineEnd = lineEnd;
    format.finalBreak = lineEnd;
    r.setFormat(format);
    r.setChanged(true);
    w->scheduleTimer1();
}

bool DocumentManager::Reload(int slot)
{
    DocumentRecord &r = m_table.record(slot);
    frmDoc *w = window(slot);
    if (!w || stillLoading(slot))
        return false;
    const auto reloaded = [this](frmDoc *w, TextFileCodec::Decoded decoded, const FileIO::Stamp &stamp) {
        DocumentRecord &r = m_table.record(w->slot());
        r.setDiskStamp(stamp);
        r.setFormat(decoded.format);
        showFileText(w, std::move(decoded.text), true);
        r.setChanged(false);
        m_journal->clean(w->slot()); // the unsaved changes were given up for the file's text
        w->hideDiskNotice();
        w->scheduleTimer1();
    };
    if (readsInBackground(r.FilePath())) {
        const auto decode = [](QByteArray raw, Loaded &loaded, Task::Control &) {
            loaded.decoded = TextFileCodec::decode(std::move(raw));
        };
        readInBackground(w, r.FilePath(), decode, [this, reloaded](frmDoc *w, Loaded loaded) {
            endLoading(w);
            if (!loaded.failure)
                reloaded(w, std::move(loaded.decoded), loaded.stamp);
            else if (askAfterFailedRead(loaded.failure, false))
                Reload(w->slot());
        });
        return false;
    }
    QByteArray bytes;
    if (!readFile(r.FilePath(), false, &bytes))
        return false;
    reloaded(w, TextFileCodec::decode(std::move(bytes)), FileIO::stampOf(r.FilePath()));
    return true;
}

void DocumentManager::applyCodeView()
{
    for (const QPointer<frmDoc> &w : m_windows) {
        if (w)
            w->applyCodeView();
    }
}

frmDoc *DocumentManager::window(int slot) const
{
    if (slot < 1 || size_t(slot) >= m_windows.size())
        return nullptr;
    return m_windows[size_t(slot)];
}

frmDoc *DocumentManager::document(int slot)
{
    return m_table.isValidSlot(slot) && m_table.record(slot).InUse() ? window(slot) : nullptr;
}

frmDoc *DocumentManager::document(const DocumentRef &ref)
{
    frmDoc *w = document(ref.slot);
    return w && m_table.record(ref.slot).Serial() == ref.serial ? w : nullptr;
}

frmDoc *DocumentManager::documentFor(const QString &path)
{
    const QString wanted = FileIO::absolutePath(path);
    for (int slot = 1; slot <= DocumentCount(); ++slot) {
        if (m_table.record(slot).InUse() && m_table.record(slot).FilePath() == wanted)
            return document(slot);
    }
    return nullptr;
}

QList<DocumentTarget *> DocumentManager::openDocuments()
{
    QList<DocumentTarget *> open;
    for (int slot = 1; slot <= DocumentCount(); ++slot) {
        if (frmDoc *w = document(slot))
            open << w;
    }
    return open;
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
    // The slot's record was taken afresh with the slot; a new document is
    // written with the line break the user chose for new documents.
    TextFileCodec::FileFormat fresh;
    if (m_ctx.settings.value(SettingsStore::Key::NewLineBreaks).toString() == QLatin1String("Lf"))
        fresh.lineEnd = fresh.finalBreak = TextFileCodec::LineEnd::Lf;
    m_table.record(slot).setFormat(fresh);
    w->setTag(slot);
    w->documentTaken();
    if (QMdiSubWindow *sub = w->subWindow())
        FitInArea(sub);
    emit documentWindowsChanged();
    return w;
}

void DocumentManager::NewBlankDocument()
{
    frmDoc *w = CreateDocumentWindow();
    if (!w)
        return;
    w->SetText(QString());
    DocumentRecord &r = m_table.record(w->slot());
    r.setChanged(false);
    r.ResetUndoFields();
    // Emptying a reused window's text was no change of the new document.
    w->resetStatus();
    w->scheduleTimer1();
}

bool DocumentManager::readFile(const QString &path, bool numbered, QByteArray *bytes)
{
    const FileQuestion::Lines lines{QStringLiteral("There was an error in reading your file"), FileQuestion::kWhatNow, numbered, true};
    return FileQuestion::untilDone(m_ctx.dialogs, lines, [&] { return FileIO::readWholeFile(path, bytes); });
}

bool DocumentManager::askAfterFailedRead(const FileIO::Failure &failure, bool numbered)
{
    if (failure.code == FileIO::Stopped)
        return false;
    // The same question as a read on the spot; Retry starts the read again.
    const FileQuestion::Lines lines{QStringLiteral("There was an error in reading your file"), FileQuestion::kWhatNow, numbered, true};
    bool asked = false, retry = false;
    FileQuestion::untilDone(m_ctx.dialogs, lines, [&] {
        if (asked)
            retry = true;
        asked = true;
        return retry ? FileIO::Failure() : failure;
    });
    return retry;
}

bool DocumentManager::readsInBackground(const QString &path) const
{
    // A file refused for its size is refused at once.
    const QFileInfo info(path);
    return info.isFile() && info.size() >= m_ctx.backgroundLoadFrom && !FileIO::checkTextSize(info.size());
}

void DocumentManager::readInBackground(frmDoc *w, const QString &path, Prepare prepare, std::function<void(frmDoc *, Loaded)> then)
{
    const auto work = [prepare](const QString &path, Loaded &loaded, Task::Control &control) {
        QByteArray raw;
        loaded.failure = FileIO::readWholeFile(
            path, &raw, [&control](qint64 done, qint64 total) { control.progress(50 * done / qMax<qint64>(1, total), 100); },
            false, [&control] { return control.stopped(); });
        if (!loaded.failure)
            prepare(std::move(raw), loaded, control);
    };
    loadInBackground(w, path, work, std::move(then));
}

void DocumentManager::loadInBackground(frmDoc *w, const QString &path, Work work, std::function<void(frmDoc *, Loaded)> then)
{
    stopLoadsOfClosedDocuments();
    const DocumentRef ref = w->ref();
    m_table.record(ref.slot).setLoading(true);
    // Nobody types into the text while its file is read again.
    w->textBox()->setReadOnly(true);
    if (auto it = m_loads.find(ref.slot); it != m_loads.end()) {
        it->second.task->stop();
        m_stoppedLoads.push_back(std::move(it->second.task));
        m_loads.erase(it);
    }
    auto task = std::make_unique<Task>(this);
    const QString name = QFileInfo(path).fileName();
    task->start(
        [path, work](Task::Control &control) {
            Loaded loaded;
            loaded.stamp = FileIO::stampOf(path);
            work(path, loaded, control);
            if (!control.stopped())
                control.deliver(std::move(loaded));
        },
        Task::Callbacks{[this, ref, then](Loaded loaded) {
                            frmDoc *w = document(ref);
                            if (!w)
                                return;
                            // The read is over: what follows puts the text in, or says why not.
                            emit loadProgress(QString(), -1);
                            then(w, std::move(loaded));
                        },
                        [this, name](qint64 percent, qint64) {
                            emit loadProgress((percent < 50 ? QStringLiteral("Reading ") : QStringLiteral("Loading ")) + name,
                                              int(percent));
                        },
                        {}});
    m_loads[ref.slot] = Load{ref.serial, std::move(task)};
}

void DocumentManager::stopLoadsOfClosedDocuments()
{
    for (auto it = m_loads.begin(); it != m_loads.end();) {
        const DocumentRecord &r = m_table.record(it->first);
        if (r.InUse() && r.Serial() == it->second.serial && it->second.task->running()) {
            ++it;
            continue;
        }
        // Its work may still be in a step that cannot stop (a decode): it
        // is kept until it ends, and nothing of it reaches a window.
        if (it->second.task->running())
            emit loadProgress(QString(), -1);
        it->second.task->stop();
        m_stoppedLoads.push_back(std::move(it->second.task));
        it = m_loads.erase(it);
    }
    m_stoppedLoads.erase(std::remove_if(m_stoppedLoads.begin(), m_stoppedLoads.end(),
                                        [](const std::unique_ptr<Task> &t) { return t->finished(); }),
                         m_stoppedLoads.end());
}

void DocumentManager::endLoading(frmDoc *w)
{
    DocumentRecord &r = m_table.record(w->slot());
    r.setLoading(false);
    w->textBox()->setReadOnly(!r.HeldText().isNull()); // lines shown cut stay read-only
}

bool DocumentManager::stillLoading(int slot)
{
    if (!m_table.record(slot).Loading())
        return false;
    m_ctx.dialogs.beep();
    return true;
}

void DocumentManager::showFileText(frmDoc *w, QByteArray text, bool replace)
{
    DocumentRecord &r = m_table.record(w->slot());
    const qsizetype longest = TextFileCodec::longestLine(text);
    const bool tooLong = longest > kLongLine;
    r.holdText(tooLong ? text : QByteArray());
    const QByteArray shown = tooLong ? TextFileCodec::cutLongLines(text, kLongLine, kShownOfLongLine) : std::move(text);
    w->showText(shown, replace, tooLong);
    w->showCutNotice(tooLong);
    layOutLongLinesInPieces(w, longest, shown.size());
}

void DocumentManager::layOutLongLinesInPieces(frmDoc *w, qsizetype longest, qsizetype size)
{
    // The view was chosen before the text was in: a long line is laid out
    // in pieces once it is there.
    if (longest > CodeView::kPiecesFrom && size <= CodeView::kHighlightLimit)
        w->applyCodeView();
}

frmDoc *DocumentManager::windowFor(const QString &path)
{
    frmDoc *w = CreateDocumentWindow();
    if (w) {
        DocumentRecord &r = m_table.record(w->slot());
        r.setFilePath(path);
        r.setTitle(path);
    }
    return w;
}

void DocumentManager::tooBigAsText(const QString &path)
{
    m_ctx.dialogs.message(QStringLiteral("The file ") + path + QStringLiteral(" is too big for the editor once it is read as text."),
                          Dialogs::Buttons::Ok, Dialogs::Icon::Warning, AppContext::appTitle());
}

frmDoc *DocumentManager::openRead(const QString &path, QByteArray bytes)
{
    TextFileCodec::Decoded decoded = TextFileCodec::decode(std::move(bytes));
    // Windows-1252 text grows when it becomes UTF-8.
    if (decoded.text.size() > RichTextBox::kMaxBytes) {
        tooBigAsText(path);
        return nullptr;
    }
    frmDoc *w = windowFor(path);
    if (!w)
        return nullptr;
    DocumentRecord &r = m_table.record(w->slot());
    r.setFormat(decoded.format);
    r.setDiskStamp(FileIO::stampOf(path));
    w->applyCodeView(decoded.text.size());
    showFileText(w, std::move(decoded.text), false);
    r.setChanged(false);
    w->startUndoAfresh(); // an edit right away is undone back to the file's text
    watchFiles();
    RecentList::AddRecentItem(m_ctx.settings, path);
    emit recentListChanged();
    w->scheduleTimer1();
    return w;
}

qint64 DocumentManager::expectedTextBytes(QByteArrayView head, qint64 size)
{
    // A file that mixes breaks keeps them as they are.
    const qsizetype lf = head.count('\n');
    const qsizetype cr = head.count('\r');
    const qint64 lone = lf && cr ? 0 : lf + cr;
    return size + (head.isEmpty() ? 0 : size / head.size() * lone * 9 / 8) + 64 * 1024;
}

bool DocumentManager::buildDocument(const QString &path, TextLoader &loader, Loaded &loaded, Task::Control &control)
{
    const qint64 total = qMax<qint64>(1, loaded.stamp.size);
    qint64 shown = 0;
    const auto progress = [&](qint64 done) {
        if (100 * done / total > shown) {
            shown = qMin<qint64>(100, 100 * done / total);
            control.progress(shown, 100);
        }
    };
    const auto stopped = [&control] { return control.stopped(); };
    // Plain UTF-8 goes in slice by slice as it is read, in a document
    // without the offset index while it is ASCII. Made again with the index
    // when it is not; read whole when it is not plain UTF-8.
    if (loader.begin(false)) {
        bool again = false;
        bool refused = false;
        const TextFileCodec::Utf8Stream *reading = nullptr;
        TextFileCodec::Utf8Stream stream(
            [&](QByteArrayView text) {
                again = reading->nonAscii() && !loader.takesNonAscii();
                refused = !again && (reading->size() + text.size() > RichTextBox::kMaxBytes || !loader.add(text));
                return !again && !refused;
            },
            kLongLine);
        reading = &stream;
        qint64 done = 0;
        loaded.failure = FileIO::readInSlices(
            path, 1024 * 1024,
            [&](QByteArrayView bytes, bool last) {
                const qsizetype used = stream.add(bytes, last);
                done += used;
                progress(done);
                return used;
            },
            stopped);
        if (loaded.failure || refused) // a text the editor cannot hold: no loader
            return false;
        if (again) {
            // A new document, with the offset index, comes from the
            // window's thread; this one's text goes now.
            loader.drop();
            loaded.again = true;
            return false;
        }
        if (!stream.gaveUp()) {
            loaded.decoded.format = stream.format();
            loaded.longest = stream.longestLine();
            loaded.size = stream.size();
            return true;
        }
    }

    loader.drop(); // before the file is held whole
    QByteArray raw;
    loaded.failure = FileIO::readWholeFile(path, &raw, {}, false, stopped);
    if (loaded.failure)
        return false;
    loaded.decoded = TextFileCodec::decode(std::move(raw));
    QByteArray &text = loaded.decoded.text;
    // Windows-1252 text grows when it becomes UTF-8.
    if (text.size() > RichTextBox::kMaxBytes)
        return false;
    loaded.longest = TextFileCodec::longestLine(text);
    if (loaded.longest > kLongLine) {
        loaded.held = std::move(text);
        text = TextFileCodec::cutLongLines(loaded.held, kLongLine, kShownOfLongLine);
    }
    if (!loader.begin(!TextFileCodec::isAscii(text)))
        return false;
    constexpr qsizetype kPiece = 4 * 1024 * 1024;
    for (qsizetype at = 0; at < text.size(); at += kPiece) {
        if (control.stopped() || !loader.add(QByteArrayView(text).sliced(at, qMin(kPiece, text.size() - at))))
            return false;
        progress(total * (at + kPiece) / qMax<qsizetype>(1, text.size()));
    }
    loaded.size = text.size();
    text = QByteArray(); // the document holds it now
    return true;
}

void DocumentManager::putIn(frmDoc *w, Loaded loaded, bool numbered)
{
    DocumentRecord &r = m_table.record(w->slot());
    const QString path = r.FilePath();
    if (loaded.again) {
        loadNew(w, path, numbered, true);
        return;
    }
    const bool tooBig = !loaded.failure && !loaded.loader;
    if (loaded.failure || tooBig) {
        // Nothing of the file is in the window: it goes.
        r.setLoading(false);
        w->CloseDocument();
        if (tooBig)
            tooBigAsText(path);
        else if (askAfterFailedRead(loaded.failure, numbered))
            open(path, numbered);
        return;
    }
    const bool tooLong = !loaded.held.isNull();
    r.setFormat(loaded.decoded.format);
    r.setDiskStamp(loaded.stamp);
    r.holdText(std::move(loaded.held));
    w->showLoadedText(*loaded.loader, tooLong);
    w->showCutNotice(tooLong);
    layOutLongLinesInPieces(w, loaded.longest, loaded.size);
    r.setChanged(false);
    r.setLoading(false); // what waited for the text runs now
    watchFiles();
    checkFiles(); // another program may have changed the file while it was read
    RecentList::AddRecentItem(m_ctx.settings, path);
    emit recentListChanged();
    w->scheduleTimer1();
}

void DocumentManager::loadNew(frmDoc *w, const QString &path, bool numbered, bool nonAscii)
{
    // The start of the file tells whether its text is likely to be all
    // ASCII, and how much room it takes once its breaks are CR LF.
    QByteArray head;
    FileIO::readFileStart(path, 64 * 1024, &head);
    if (!m_maker)
        m_maker = std::make_unique<DocumentMaker>();
    std::shared_ptr<TextLoader> loader(w->textBox()->newLoader(expectedTextBytes(head, QFileInfo(path).size()),
                                                               nonAscii || !TextFileCodec::isAscii(head), *m_maker));
    const auto build = [loader](const QString &path, Loaded &loaded, Task::Control &control) {
        if (buildDocument(path, *loader, loaded, control))
            loaded.loader = loader;
    };
    loadInBackground(w, path, build, [this, numbered](frmDoc *w, Loaded loaded) { putIn(w, std::move(loaded), numbered); });
}

frmDoc *DocumentManager::open(const QString &path, bool numbered)
{
    if (readsInBackground(path)) {
        frmDoc *w = windowFor(path);
        if (!w)
            return nullptr;
        // The colours are chosen by the file's size before the text is built
        // into a document of the same kind.
        w->applyCodeView(QFileInfo(path).size());
        loadNew(w, path, numbered, false);
        return w;
    }
    QByteArray bytes;
    if (!readFile(path, numbered, &bytes))
        return nullptr;
    return openRead(path, std::move(bytes));
}

frmDoc *DocumentManager::OpenFileByPath(const QString &named)
{
    // Stored as an absolute path: the recent list, the journal and the
    // viewers use it long after the current folder has changed.
    return open(FileIO::absolutePath(named), false);
}

frmDoc *DocumentManager::OpenFileWithDialog()
{
    const QString name = FileIO::absolutePath(m_ctx.dialogs.openFileName(documentFilter(), m_lastDialogName));
    if (name.trimmed().isEmpty())
        return nullptr;
    m_lastDialogName = name;
    return open(name, true);
}

bool DocumentManager::writeDocument(int slot, const QString &path, bool appendBreak, FileIO::Stamp expected)
{
    frmDoc *w = window(slot);
    if (!w)
        return false;
    // Abort ends the save; so does Ignore, because the file was not written
    // and nothing after this step may claim that it was.
    const FileQuestion::Lines lines{QStringLiteral("There was an error in saving to the file. "), FileQuestion::kWhatNow};
    // A character the file's encoding cannot hold: the same question's
    // first two lines, and the way out, UTF-8, which holds every character.
    DocumentRecord &r = m_table.record(slot);
    const QByteArrayView text = r.HeldText().isNull() ? w->textView() : QByteArrayView(r.HeldText());
    QByteArray bytes;
    QString encodeError;
    if (!TextFileCodec::encode(text, r.Format(), appendBreak, &bytes, &encodeError)) {
        if (m_ctx.dialogs.message(lines.first + QStringLiteral("\r\n") + encodeError + QStringLiteral(".\r\nSave it as UTF-8 instead?"),
                                  Dialogs::Buttons::YesNo, Dialogs::Icon::None, AppContext::appTitle())
            != Dialogs::Answer::Yes)
            return false;
        TextFileCodec::FileFormat utf8 = r.Format();
        utf8.encoding = TextFileCodec::Encoding::Utf8;
        utf8.codec.clear();
        TextFileCodec::encode(text, utf8, appendBreak, &bytes, &encodeError);
        r.setFormat(utf8);
    }
    for (;;) {
        bool changedMeanwhile = false;
        const bool written = FileQuestion::untilDone(m_ctx.dialogs, lines, [&] {
            FileIO::WriteOptions options;
            options.unchangedSince = &expected;
            FileIO::Failure failure = FileIO::writeWholeFile(path, bytes, options);
            if (failure.code == FileIO::ChangedMeanwhile) {
                changedMeanwhile = true;
                return FileIO::Failure();
            }
            return failure;
        });
        if (!changedMeanwhile)
            return written;
        expected = FileIO::stampOf(path);
        if (!askOverwrite(path))
            return false;
    }
}

void DocumentManager::saved(int slot, const QString &newName)
{
    DocumentRecord &r = m_table.record(slot);
    r.setChanged(false);
    if (!newName.isEmpty()) {
        r.setFilePath(newName);
        r.setTitle(newName);
    }
    r.setDiskStamp(FileIO::stampOf(r.FilePath()));
    m_journal->clean(slot);
    RecentList::AddRecentItem(m_ctx.settings, r.FilePath());
    emit recentListChanged();
    if (frmDoc *w = window(slot)) {
        if (!newName.isEmpty())
            w->applyCodeView(); // a new name may be another language
        w->hideDiskNotice();
        w->scheduleTimer1();
    }
    watchFiles();
}

bool DocumentManager::SaveDocument(int slot)
{
    if (stillLoading(slot))
        return false;
    const DocumentRecord &r = m_table.record(slot);
    if (r.FilePath().trimmed().isEmpty()) {
        m_ctx.dialogs.message(QStringLiteral("Error: No File"), Dialogs::Buttons::Ok, Dialogs::Icon::None,
                              AppContext::appTitle());
        return false;
    }
    FileIO::Stamp approved;
    if (!mayOverwrite(slot, &approved) || !writeDocument(slot, r.FilePath(), true, approved))
        return false;
    saved(slot);
    return true;
}

bool DocumentManager::saveUnderNewName(int slot, bool appendBreak)
{
    if (stillLoading(slot))
        return false;
    const QString name = FileIO::absolutePath(m_ctx.dialogs.saveFileName(documentFilter(), m_lastDialogName));
    if (name.trimmed().isEmpty())
        return false;
    m_lastDialogName = name;
    if (!writeDocument(slot, name, appendBreak, FileIO::stampOf(name)))
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
    return m_table.record(slot).FilePath().trimmed().isEmpty() ? SaveDocumentAs(slot) : SaveDocument(slot);
}
