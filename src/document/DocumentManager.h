#pragma once

#include "core/DocumentTable.h"
#include "core/Journal.h"
#include "core/LongTask.h"
#include "document/frmDoc.h"
#include "ui/DocumentHost.h"

#include <QObject>
#include <QPointer>
#include <map>
#include <memory>
#include <vector>

struct AppContext;
class QFileSystemWatcher;
class RecoveryJournal;
struct DocumentMenus;
class QMdiArea;
class DocumentMaker;
class TextLoader;

// Owns the document table and one window per slot, and moves documents
// between files and windows. A slot keeps its window when the document is
// closed (File > Close only hides it); a window that was destroyed is made
// afresh the next time its slot is taken.
class DocumentManager : public QObject, public DocumentHost
{
    Q_OBJECT

public:
    DocumentManager(AppContext &ctx, QMdiArea &area, QObject *parent = nullptr);
    // A clean end: the journals of this run go.
    ~DocumentManager() override;

    RecoveryJournal &journal() { return *m_journal; }
    // Opens a journaled document again: reads its text, and shows it with
    // its path, title and format, as unsaved changes. nullptr (after
    // telling the user) when the journal could not be read.
    frmDoc *recover(Journal::Entry entry);

    DocumentTable &table() { return m_table; }
    // The menus every document window shows, built once.
    DocumentMenus &menus();
    // The document window the menus act on: the active one, or while it is
    // being hidden the one shown last; nullptr when none is shown.
    frmDoc *activeWindow() const;
    int DocumentCount() const { return m_table.DocumentCount(); }
    // The window of a slot, or nullptr when it was never made or destroyed.
    frmDoc *window(int slot) const;
    frmDoc *document(int slot) override;
    frmDoc *document(const DocumentRef &ref) override;
    frmDoc *documentFor(const QString &path) override;
    QList<DocumentTarget *> openDocuments() override;

    // The lowest free slot's window, shown, with a blank "Untitled" record.
    // nullptr (after telling the user) when no more documents can be open.
    frmDoc *CreateDocumentWindow() override;

    void NewBlankDocument() override;
    // Return the new window, or nullptr when nothing was opened. A big file
    // is read and decoded in the background and put in a slice at a time:
    // its window comes back at once, marked as loading (see
    // DocumentRecord::Loading), and a failure is asked about when it comes.
    frmDoc *OpenFileByPath(const QString &path) override;
    frmDoc *OpenFileWithDialog();

    // Return true when the file was written.
    bool SaveDocument(int slot);
    bool SaveDocumentAs(int slot);
    bool SaveDocumentBinary(int slot);
    // Save As for a document without a path, Save otherwise.
    bool Save(int slot);

    // Every window follows the code view and word wrap settings again.
    void applyCodeView();

    // A document window was hidden or destroyed.
    void windowClosed();

    // Lines longer than this are shown cut to kShownOfLongLine bytes.
    static constexpr qsizetype kLongLine = 8 * 1024 * 1024;
    static constexpr qsizetype kShownOfLongLine = 1024 * 1024;

    // Reads the document's file again into its window (after another
    // program changed it); false when the read was given up, or when it
    // goes on in the background (a big file).
    bool Reload(int slot);

    // Reads the document's file again in the given encoding (asking first
    // when there are unsaved changes); false when nothing was read, or when
    // it goes on in the background.
    bool ReopenWithEncoding(int slot, TextFileCodec::Encoding encoding, const QByteArray &codec);
    // Saves the document in the given encoding from now on; the old one
    // stays when the save fails.
    bool SaveWithEncoding(int slot, TextFileCodec::Encoding encoding, const QByteArray &codec);
    // Every line break of the document as the given one, in one undo step.
    void ConvertLineBreaks(int slot, TextFileCodec::LineEnd lineEnd);
    // The settings key of the line break new documents are written with.

signals:
    // A document was read or written: menus that list recent files may
    // need refreshing.
    void recentListChanged();
    // A document window was shown, hidden or destroyed.
    void documentWindowsChanged();
    // A big file is being read or put in: percent done, or -1 when it is over.
    void loadProgress(const QString &text, int percent);

private:
    // Watches the files of the open documents (and their folders, which see
    // a file replaced by rename or removed), and tells a window whose file
    // another program changed.
    void watchFiles();
    void checkFiles();
    // True when the file at the document's path is still the one it read or
    // wrote, or the user said to overwrite what another program left there.
    // *approved is the file's stamp that the user agreed to replace.
    bool mayOverwrite(int slot, FileIO::Stamp *approved);
    // Asks whether to overwrite what another program left at path.
    bool askOverwrite(const QString &path);
    bool readFile(const QString &path, bool numbered, QByteArray *bytes);
    frmDoc *open(const QString &path, bool numbered);
    // A new window for the file's document, or nullptr (the user was told).
    frmDoc *windowFor(const QString &path);
    void tooBigAsText(const QString &path);
    frmDoc *openRead(const QString &path, QByteArray bytes);
    // A file's text into its window: lines too long to lay out are shown
    // cut, and the whole text is held for saving.
    void showFileText(frmDoc *w, QByteArray text, bool replace);
    void layOutLongLinesInPieces(frmDoc *w, qsizetype longest, qsizetype size);

    // What a background read gives: the decoded text, or why there is none.
    struct Loaded {
        FileIO::Failure failure;
        TextFileCodec::Decoded decoded;
        bool decodedOk = true; // false: not text in the encoding asked for
        FileIO::Stamp stamp;   // taken before the read
        // A new document's text as shown, built in the background, and the
        // whole text when lines are shown cut.
        std::shared_ptr<TextLoader> loader;
        QByteArray held;
        qsizetype longest = 0; // the longest line's bytes
        qint64 size = 0;       // the bytes of the text built
        bool again = false;    // not ASCII after all: to be built again in an indexed document
    };
    using Task = LongTask<Loaded>;
    // What the background does with the bytes read: decodes them (and may
    // go on with them), telling its progress from 50 to 100 percent.
    using Prepare = std::function<void(QByteArray raw, Loaded &loaded, Task::Control &control)>;
    // True when path is a file big enough to be read in the background.
    bool readsInBackground(const QString &path) const;
    // Reads path in the background for the document of w, which is marked
    // as loading; then runs then, unless the document was closed first.
    void readInBackground(frmDoc *w, const QString &path, Prepare prepare, std::function<void(frmDoc *, Loaded)> then);
    // The same with work that reads the file itself, from 0 to 100 percent.
    using Work = std::function<void(const QString &path, Loaded &loaded, Task::Control &control)>;
    void loadInBackground(frmDoc *w, const QString &path, Work work, std::function<void(frmDoc *, Loaded)> then);
    // Builds path's text into loader (from 0 to 100 percent); false when it
    // could not be read, or (no failure) not held.
    static bool buildDocument(const QString &path, TextLoader &loader, Loaded &loaded, Task::Control &control);
    // The bytes of text likely to come of a file of size bytes that starts with head.
    static qint64 expectedTextBytes(QByteArrayView head, qint64 size);
    // Builds a big file's text for w in the background, then puts it in;
    // nonAscii: the text is known to take characters outside ASCII.
    void loadNew(frmDoc *w, const QString &path, bool numbered, bool nonAscii);
    // A big file's text into its new window, once built.
    void putIn(frmDoc *w, Loaded loaded, bool numbered);
    // The loads of documents that were closed meanwhile stop.
    void stopLoadsOfClosedDocuments();
    // A failed background read asked about; true for Retry.
    bool askAfterFailedRead(const FileIO::Failure &failure, bool numbered);
    // A document read again (Reload, another encoding) takes edits again,
    // whether the read worked or not.
    void endLoading(frmDoc *w);
    // Refuses (and says so) what a loading document cannot do yet.
    bool stillLoading(int slot);
    // Writes the document to path, which must still have the expected stamp
    // when it is replaced; a change meanwhile is asked about.
    bool writeDocument(int slot, const QString &path, bool appendBreak, FileIO::Stamp expected);
    bool saveUnderNewName(int slot, bool appendBreak);
    // The record after a save: clean, and on the recent list; a save under a
    // new name also takes that name as path and title.
    void saved(int slot, const QString &newName = QString());

    AppContext &m_ctx;
    QMdiArea &m_area;
    DocumentTable m_table;
    std::vector<QPointer<frmDoc>> m_windows = std::vector<QPointer<frmDoc>>(1);
    QString m_lastDialogName; // the one file dialog starts where it was last left
    // Made at the first big load; declared before the loads, which use it,
    // so that it goes after them.
    std::unique_ptr<DocumentMaker> m_maker;
    struct Load {
        quint64 serial = 0; // of the document it reads for
        std::unique_ptr<Task> task;
    };
    std::map<int, Load> m_loads; // by slot
    std::vector<std::unique_ptr<Task>> m_stoppedLoads; // until their work ends
    QFileSystemWatcher *m_watcher = nullptr;
    RecoveryJournal *m_journal = nullptr;
    std::unique_ptr<DocumentMenus> m_menus;
};
