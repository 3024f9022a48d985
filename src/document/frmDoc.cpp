#include "document/frmDoc.h"

#include "core/CharacterMode.h"
#include "core/TemplatePass.h"
#include "core/TextFileCodec.h"
#include "document/DocumentManager.h"
#include "document/DocumentMenus.h"
#include "document/DocumentStatusBar.h"
#include "document/EditCommands.h"
#include "document/FindBar.h"
#include "document/RecoveryJournal.h"
#include "ui/RichTextBox.h"
#include "document/StatusClock.h"
#include "platform/Dialogs.h"
#include "ui/AppContext.h"
#include "ui/CodeView.h"
#include "ui/FileQuestion.h"
#include "ui/MenuTable.h"
#include "ui/NamedButton.h"
#include "ui/StatusPanel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>


namespace {

const QString kUnsaved = QStringLiteral("Unsaved Changes Made");
const QString kClean = QStringLiteral("Document is clean");
const QString kStatus = QStringLiteral("Status");

struct ToolbarEntry {
    const char *key;      // also the tooltip; nullptr for a separator
    const char *iconName; // from the desktop icon theme
    QStyle::StandardPixmap fallback;
    const char *command;  // the registered command the button runs
};

constexpr ToolbarEntry kToolbar[] = {
    {"New", "document-new", QStyle::SP_FileIcon, "mnuFileNewDocument"},
    {"Open", "document-open", QStyle::SP_DialogOpenButton, "mnuFileOpen"},
    {"Save", "document-save", QStyle::SP_DialogSaveButton, "mnuFileSave"},
    {nullptr, nullptr, QStyle::SP_CustomBase, nullptr},
    {"Undo", "edit-undo", QStyle::SP_ArrowBack, "mnuEditUndo"},
    {nullptr, nullptr, QStyle::SP_CustomBase, nullptr},
    {"Cut", "edit-cut", QStyle::SP_DialogDiscardButton, "mnuEditCut"},
    {"Copy", "edit-copy", QStyle::SP_FileDialogDetailedView, "mnuEditCopy"},
    {"Paste", "edit-paste", QStyle::SP_DialogApplyButton, "mnuEditPaste"},
    {"Delete", "edit-delete", QStyle::SP_TrashIcon, "Toolbar1Delete"},
    {nullptr, nullptr, QStyle::SP_CustomBase, nullptr},
    {"Print", "document-print", QStyle::SP_ComputerIcon, "mnuFilePrint"},
};

// Looked up once: a theme lookup per window would cost more than the window.
QIcon toolbarIcon(const ToolbarEntry &entry, QStyle *style)
{
    static QHash<QString, QIcon> cache;
    const QString name = QLatin1String(entry.iconName);
    auto it = cache.constFind(name);
    if (it == cache.constEnd()) {
        QIcon icon = QIcon::fromTheme(name);
        if (icon.isNull())
            icon = style->standardIcon(entry.fallback);
        it = cache.insert(name, icon);
    }
    return *it;
}

} // namespace

frmDoc::frmDoc(AppContext &ctx, DocumentManager &docs, QWidget *parent)
    : QWidget(parent), m_ctx(ctx), m_docs(docs)
{
    setObjectName(QStringLiteral("frmDoc"));
    setWindowTitle(QStringLiteral("####"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    TemplateTags = TemplatePass::kTags;

    buildToolbar();
    m_notices = new DocumentNotices(DocumentManager::kLongLine >> 20, DocumentManager::kShownOfLongLine >> 20, this);
    connect(m_notices, &DocumentNotices::reloadClicked, this, [this] { m_docs.Reload(slot()); });
    txtContents = new RichTextBox(this);
    fraFind = new FindBar(*txtContents, this);
    // Replace All is an undo step of its own.
    fraFind->setUndoStep([this] { undoTick(); });
    stBar = new DocumentStatusBar(this);
    // The format panel offers the encoding and line-break commands.
    connect(stBar->format(), &StatusPanel::clicked, this, [this] {
        QMenu choice(this);
        QWidget *menus = m_docs.menus().holder;
        for (const char *name : {"mnuFileReopenEncoding", "mnuFileSaveEncoding"})
            choice.addAction(menus->findChild<QAction *>(QLatin1String(name)));
        choice.addMenu(menus->findChild<QMenu *>(QStringLiteral("mnuFileLineBreaks")));
        choice.exec(stBar->format()->mapToGlobal(QPoint(0, 0)) - QPoint(0, choice.sizeHint().height()));
    });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Toolbar1);
    layout->addWidget(m_notices);
    layout->addWidget(txtContents, 1);
    layout->addWidget(fraFind);
    layout->addWidget(stBar);

    // Menu shortcuts win over the editor's own key bindings.
    for (QAction *a : findChildren<QAction *>() + m_docs.menus().holder->findChildren<QAction *>()) {
        for (const QKeySequence &key : a->shortcuts())
            txtContents->releaseKey(key);
    }

    connect(txtContents, &RichTextBox::aboutToChange, this, [this] {
        if (!m_undoTextIsShown)
            return;
        m_undoTextIsShown = false;
        m_lastUndoText = txtContents->textCopy();
    });
    connect(txtContents, &RichTextBox::Change, this, &frmDoc::onChange);
    connect(txtContents, &RichTextBox::SelChange, this, &frmDoc::onSelChange);
    connect(txtContents, &RichTextBox::KeyPress, this, &frmDoc::onKeyPress);
    connect(txtContents, &RichTextBox::MouseUp, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, const QPoint &pos) { onMouseUp(button, pos); });
    connect(txtContents, &RichTextBox::OLEDragDrop, this, &frmDoc::onDrop);
    connect(txtContents, &RichTextBox::overwriteModeChanged, this,
            [this](bool overwrite) { panel(7)->setText(overwrite ? QStringLiteral("OVR") : QStringLiteral("INS")); });

    // Timer1 does not poll: it runs once on the next event-loop turn after
    // anything its states depend on has changed, however many changes came.
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer2.setObjectName(QStringLiteral("Timer2"));
    Undotimer.setObjectName(QStringLiteral("Undotimer"));
    Timer1.setSingleShot(true);
    Timer1.setInterval(0);
    connect(&Timer1, &QTimer::timeout, this, &frmDoc::timer1Tick);
    Timer2.setInterval(1000);
    connect(&Timer2, &QTimer::timeout, this, &frmDoc::timer2Tick);
    Timer2.start();
    Undotimer.setInterval(1000);
    connect(&Undotimer, &QTimer::timeout, this, &frmDoc::undoTick);
    Undotimer.start();
    m_clipboardHasText = EditCommands::clipboardHasText();
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        m_clipboardHasText = EditCommands::clipboardHasText();
        scheduleTimer1();
    });

    RefreshMenus();
    scheduleTimer1();
}

frmDoc::~frmDoc() = default;

QSize frmDoc::sizeHint() const
{
    // Wide enough for every status panel's whole text; narrower windows cut them.
    return QSize(720, 460);
}

void frmDoc::buildToolbar()
{
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setIconSize(QSize(16, 16));
    QAction *previous = nullptr;
    for (const ToolbarEntry &entry : kToolbar) {
        if (!entry.key) {
            QAction *separator = Toolbar1->addSeparator();
            if (previous && previous->property("Key") == QLatin1String("Undo"))
                m_undoSeparator = separator;
            previous = separator;
            continue;
        }
        const QString key = QString::fromLatin1(entry.key);
        QAction *button = Toolbar1->addAction(toolbarIcon(entry, style()), key);
        button->setObjectName(QStringLiteral("Toolbar1") + key);
        button->setProperty("Key", key);
        button->setToolTip(key);
        m_toolbarButtons << button;
        m_ctx.commands.bind(button, QLatin1String(entry.command), this);
        previous = button;
    }
}

void frmDoc::showDiskNotice(DiskNotice kind)
{
    m_notices->showDisk(kind, record() && record()->Changed());
}

void frmDoc::hideDiskNotice()
{
    m_notices->hideDisk();
}

void frmDoc::showCutNotice(bool shown)
{
    m_notices->showCut(shown);
}

void frmDoc::offerNotice(const QString &text, const QString &button, std::function<void()> action)
{
    m_notices->showOffer(text, button, std::move(action));
}

void frmDoc::showBackupFailure(const QString &why)
{
    m_notices->showBackupFailure(why);
}

QByteArrayView frmDoc::textView() const
{
    return txtContents->textView();
}

QByteArray frmDoc::textBytes() const
{
    return txtContents->textBytes();
}

void frmDoc::showText(const QByteArray &text, bool asChange, bool readOnly)
{
    txtContents->setReadOnly(false);
    if (asChange)
        txtContents->changeTextBytes(text);
    else
        txtContents->setTextBytes(text);
    txtContents->setReadOnly(readOnly);
}

void frmDoc::showLoadedText(TextLoader &loader, bool readOnly)
{
    txtContents->takeLoaded(loader, readOnly);
    // What went in is the text as read: the start of the undo history.
    m_lastUndoText.clear();
    m_undoTextIsShown = true;
    m_textChangedSinceTick = false;
    if (DocumentRecord *r = record())
        r->ResetUndoFields();
}

bool frmDoc::loading() const
{
    const DocumentRecord *r = record();
    return r && r->Loading();
}

void frmDoc::whenLoaded(std::function<void()> f)
{
    if (loading())
        m_whenLoaded.append(std::move(f));
    else
        f();
}

bool frmDoc::refuseWhileLoading()
{
    if (!loading())
        return false;
    panel(QStringLiteral("Status"))->setText(QStringLiteral("Still loading: wait for it, or close it"));
    m_ctx.dialogs.beep();
    return true;
}

bool frmDoc::isReadOnly() const
{
    return txtContents->isReadOnly();
}

bool frmDoc::isChanged() const
{
    const DocumentRecord *r = record();
    return r && r->Changed();
}

void frmDoc::selectAt(int line, qsizetype column, qsizetype length)
{
    if (loading()) {
        whenLoaded([this, line, column, length] { selectAt(line, column, length); });
        return;
    }
    if (QMdiSubWindow *sub = subWindow(); sub && sub->mdiArea())
        sub->mdiArea()->setActiveSubWindow(sub);
    txtContents->goToLine(line);
    txtContents->selectRange(txtContents->SelStart() + column, length);
    txtContents->setFocus();
}

PrintedText frmDoc::printed(bool selectionOnly) const
{
    return CodeView::printed(*txtContents, selectionOnly);
}

void frmDoc::edit(void (*command)(RichTextBox &))
{
    command(*txtContents);
}

void frmDoc::Find(bool replace)
{
    fraFind->open(replace);
}

void frmDoc::FindNext()
{
    fraFind->findNext();
}

void frmDoc::FindPrevious()
{
    fraFind->findPrevious();
}

StatusPanel *frmDoc::panel(int position) const
{
    return stBar->panel(position);
}

StatusPanel *frmDoc::panel(const QString &key) const
{
    return stBar->panel(key);
}

QAction *frmDoc::toolbarButton(const QString &key) const
{
    for (QAction *button : m_toolbarButtons) {
        if (button->property("Key").toString() == key)
            return button;
    }
    return nullptr;
}

QMenu *frmDoc::contextMenu() const
{
    return m_docs.menus().hidden;
}

DocumentRef frmDoc::ref() const
{
    const DocumentRecord *r = record();
    return {slot(), r ? r->Serial() : 0};
}

void frmDoc::setTag(int slot)
{
    if (const DocumentRecord *old = record())
        disconnect(old, nullptr, this, nullptr);
    m_slot = slot;
    m_tag = QString::number(slot);
    // The window follows its record: caption, Undo and the status detail.
    const DocumentRecord *r = record();
    connect(r, &DocumentRecord::titleChanged, this, &frmDoc::scheduleTimer1);
    connect(r, &DocumentRecord::undoChanged, this, &frmDoc::scheduleTimer1);
    connect(r, &DocumentRecord::formatChanged, this, &frmDoc::scheduleTimer1);
    connect(r, &DocumentRecord::loadingChanged, this, [this](bool on) {
        Toolbar1->setEnabled(!on);
        timer2Tick();
        if (on)
            return;
        for (const std::function<void()> &f : std::exchange(m_whenLoaded, {}))
            f();
    });
}

int frmDoc::slot() const
{
    return m_slot;
}

QString frmDoc::SelText() const
{
    return txtContents->SelText();
}

void frmDoc::InsertFragment(const QString &text)
{
    if (refuseWhileLoading())
        return;
    txtContents->SetSelText(TextFileCodec::withCrLfBreaks(text));
}

QString frmDoc::Text() const
{
    return txtContents->Text();
}

void frmDoc::SetText(const QString &text)
{
    if (refuseWhileLoading())
        return;
    txtContents->SetText(TextFileCodec::withCrLfBreaks(text));
}

QString frmDoc::Title() const
{
    const DocumentRecord *r = record();
    return r ? r->Title() : QString();
}

void frmDoc::SetTitle(const QString &title)
{
    if (DocumentRecord *r = record())
        r->setTitle(title);
    scheduleTimer1();
}

QString frmDoc::FilePath() const
{
    const DocumentRecord *r = record();
    return r ? r->FilePath() : QString();
}

DocumentRecord *frmDoc::record() const
{
    const int s = slot();
    return m_docs.table().isValidSlot(s) ? &m_docs.table().record(s) : nullptr;
}

QMdiSubWindow *frmDoc::subWindow() const
{
    return qobject_cast<QMdiSubWindow *>(parentWidget());
}

void frmDoc::documentTaken()
{
    // A reused window shows nothing of the document it had.
    m_whenLoaded.clear();
    txtContents->setReadOnly(false);
    showCutNotice(false);
    showBackupFailure(QString());
    m_lastUndoText.clear();
    m_undoTextIsShown = false;
    m_textChangedSinceTick = false;
    m_transferPending = false;
    if (QMdiSubWindow *sub = subWindow()) {
        sub->show();
        if (QMdiArea *area = sub->mdiArea())
            area->setActiveSubWindow(sub);
    } else {
        show();
    }
    applyCodeView();
    txtContents->setFocus();
    scheduleTimer1();
}

void frmDoc::applyCodeView(qint64 size)
{
    // A change of the options waits until a text going in is all in.
    if (size < 0 && loading()) {
        whenLoaded([this] { applyCodeView(); });
        return;
    }
    txtContents->setCodeFont(CodeView::font(m_ctx.CodeFontFamily, m_ctx.CodeFontSize));
    m_codeNote = CodeView::apply(*txtContents, m_ctx.CodeView, m_ctx.WordWrap, FilePath(), size);
    m_docs.menus().codeView->setChecked(m_ctx.CodeView);
    m_docs.menus().wordWrap->setChecked(m_ctx.WordWrap);
    // Without the code view the panel shows only why the text is not wrapped.
    stBar->caret()->setVisible(m_ctx.CodeView || !m_codeNote.isEmpty());
    showCaretPlace();
}

void frmDoc::showCaretPlace()
{
    if (!m_ctx.CodeView && m_codeNote.isEmpty())
        return;
    // Why the file has no colours or is not wrapped: a word here, the
    // reason in the tooltip.
    QStringList parts;
    if (m_ctx.CodeView)
        parts << QStringLiteral("Ln %1, Col %2").arg(txtContents->caretLine()).arg(txtContents->caretColumn());
    if (m_codeNote.contains(QLatin1String("No colours")))
        parts << QStringLiteral("plain");
    if (m_codeNote.contains(QLatin1String("No wrapping")))
        parts << QStringLiteral("not wrapped");
    stBar->caret()->setText(parts.join(QStringLiteral(" \u00B7 ")));
    stBar->caret()->setDetail(m_codeNote);
}

void frmDoc::resetStatus()
{
    panel(QStringLiteral("Status"))->setText(kStatus);
}

// ---- change tracking -------------------------------------------------------

void frmDoc::onChange()
{
    m_textChangedSinceTick = true;
    panel(QStringLiteral("lngth"))->setText(QStringLiteral("Length: ") + QString::number(txtContents->TextLength()));
    // A file's text going in is no edit.
    if (loading())
        return;
    if (DocumentRecord *r = record()) {
        r->setChanged(true);
        // An edit ends what can be redone.
        if (!m_undoing)
            r->ClearRedo();
        m_docs.journal().changed(slot());
    }
    panel(QStringLiteral("Status"))->setText(kUnsaved);
}

void frmDoc::onSelChange()
{
    panel(QStringLiteral("sllen"))->setText(QStringLiteral("Loc: %1 Len: %2")
                                                .arg(txtContents->SelStart())
                                                .arg(txtContents->SelLength()));
    showCaretPlace();
    scheduleTimer1();
}

void frmDoc::onKeyPress(int &keyAscii)
{
    if (m_characterMode)
        keyAscii = CharacterMode::map(keyAscii);
}

void frmDoc::timer1Tick()
{
    const DocumentRecord *r = record();
    const QString title = r ? r->Title() : QString();
    setWindowTitle(title);
    if (QMdiSubWindow *sub = subWindow())
        sub->setWindowTitle(title);
    const bool canUndo = r && r->canUndo();
    const bool canPaste = m_clipboardHasText && CommandRegistry::isOffered(m_docs.menus().paste);
    // The menus are every window's: they show the active one's states.
    if (m_docs.activeWindow() == this) {
        DocumentMenus &menus = m_docs.menus();
        CommandRegistry::setEnabled(menus.undo, canUndo);
        CommandRegistry::setEnabled(menus.redo, r && r->canRedo());
        CommandRegistry::setEnabled(menus.hiddenUndo, canUndo);
        menus.selection->menuAction()->setEnabled(txtContents->hasSelectedText());
        CommandRegistry::setEnabled(menus.paste, canPaste);
        CommandRegistry::setEnabled(menus.hiddenPaste, canPaste);
        menus.characterMode->setChecked(m_characterMode);
        // File > Line Breaks marks the document's own.
        const int lineEnd = int(r ? r->Format().lineEnd : TextFileCodec::LineEnd::CrLf);
        for (int k = 0; k < 3; ++k)
            menus.lineBreaks[k]->setChecked(k == lineEnd);
    }
    toolbarButton(QStringLiteral("Undo"))->setVisible(canUndo);
    m_undoSeparator->setVisible(canUndo);
    toolbarButton(QStringLiteral("Paste"))->setVisible(canPaste);
    // How the file is written back, in words: three families of encodings look alike.
    panel(QStringLiteral("Status"))->setDetail(r ? TextFileCodec::describe(r->Format()) : QString());
    if (r) {
        const TextFileCodec::LineEnd e = r->Format().lineEnd;
        stBar->format()->setText(TextFileCodec::encodingName(r->Format()) + QStringLiteral(" \u00B7 ")
                               + (e == TextFileCodec::LineEnd::Lf ? QStringLiteral("LF") : e == TextFileCodec::LineEnd::Cr ? QStringLiteral("CR") : QStringLiteral("CR LF")));
        stBar->format()->setDetail(QStringLiteral("Click to reopen or save in another encoding, or to change the line breaks"));
    }
}

void frmDoc::timer2Tick()
{
    const DocumentRecord *r = record();
    panel(QStringLiteral("Status"))->setText(loading() ? QStringLiteral("Loading\u2026") : r && r->Changed() ? kUnsaved : kClean);
}

void frmDoc::characterModeChanged()
{
    // The shared item was checked or cleared for this, the active window.
    m_characterMode = m_docs.menus().characterMode->isChecked();
    panel(5)->setText(m_characterMode ? QStringLiteral("CCM") : QString());
}

// ---- undo ------------------------------------------------------------------

void frmDoc::undoTick()
{
    // Nothing typed since the last tick: the texts are equal, no need to
    // compare. A text still going in is no undo step.
    if (!m_textChangedSinceTick || loading() || m_undoTextIsShown)
        return;
    m_textChangedSinceTick = false;
    const QByteArrayView now = txtContents->textView();
    if (now == QByteArrayView(m_lastUndoText))
        return;
    if (record())
        record()->RecordUndo(m_lastUndoText);
    m_lastUndoText = now.toByteArray();
    scheduleTimer1();
}

void frmDoc::Undo()
{
    if (!record())
        return;
    // Typed since the last tick: that is an edit too, and Redo must bring it back.
    const QByteArray current = txtContents->textBytes();
    applyUndoText(record()->Undo(current));
}

void frmDoc::startUndoAfresh()
{
    m_lastUndoText.clear();
    m_undoTextIsShown = true;
    m_textChangedSinceTick = false;
    if (DocumentRecord *r = record())
        r->ResetUndoFields();
}

void frmDoc::Redo()
{
    if (record())
        applyUndoText(record()->Redo(txtContents->textBytes()));
}

void frmDoc::applyUndoText(QByteArray text)
{
    if (text.isNull())
        return;
    m_undoing = true;
    txtContents->changeTextBytes(text);
    m_undoing = false;
    m_lastUndoText = std::move(text);
    m_undoTextIsShown = false;
    m_textChangedSinceTick = false;
    scheduleTimer1();
}

std::pair<int, int> frmDoc::place() const
{
    return {txtContents->SelStart(), txtContents->firstVisibleLine()};
}

void frmDoc::setPlace(int caret, int firstLine)
{
    if (loading()) {
        whenLoaded([this, caret, firstLine] { setPlace(caret, firstLine); });
        return;
    }
    txtContents->SetSelStart(caret);
    txtContents->setFirstVisibleLine(firstLine);
}

void frmDoc::GoToLine()
{
    const int lines = txtContents->lineCount();
    const QString answer = m_ctx.dialogs.inputBox(QStringLiteral("Line number (1 to %1):").arg(lines),
                                                  QStringLiteral("Go to Line"), QString::number(txtContents->caretLine()));
    if (answer.trimmed().isEmpty())
        return;
    bool ok = false;
    const int line = answer.trimmed().toInt(&ok);
    if (!ok || line < 1) {
        m_ctx.dialogs.message(QStringLiteral("\"") + answer + QStringLiteral("\" is not a line number."),
                              Dialogs::Buttons::Ok, Dialogs::Icon::Information, QStringLiteral("Go to Line"));
        return;
    }
    txtContents->goToLine(line);
    txtContents->setFocus();
}

// ---- menus -----------------------------------------------------------------

void frmDoc::RefreshViewerMenu()
{
    for (int i = 0; i < 3; ++i) {
        QAction *program = m_docs.menus().viewProgram[i];
        const QString title = m_ctx.viewers[size_t(i)].Title;
        if (title.trimmed().isEmpty()) {
            program->setText(QStringLiteral("[UNSET]"));
            program->setEnabled(false);
        } else {
            program->setText(MenuTable::literalCaption(title));
            CommandRegistry::setEnabled(program, true);
        }
    }
}

void frmDoc::RefreshRecentMenu()
{
    // The items outlive this window (every window shares them): what they
    // run holds the documents, not the window.
    MenuTable::fillRecentItems(m_docs.menus().fileOpen, m_docs.menus().recent, m_ctx.settings,
                               [docs = &m_docs](const QString &path) { docs->OpenFileByPath(path); });
}

void frmDoc::RefreshMenus()
{
    RefreshViewerMenu();
    RefreshRecentMenu();
}

// ---- closing ---------------------------------------------------------------

bool frmDoc::CloseDocument()
{
    DocumentRecord *r = record();
    if (!r)
        return false;
    if (r->Changed()) {
        const QString caption = subWindow() ? subWindow()->windowTitle() : windowTitle();
        const Dialogs::Answer answer = m_ctx.dialogs.message(
            QStringLiteral("Would you like to save the changes you may have made to your work?"),
            Dialogs::Buttons::YesNoCancel, Dialogs::Icon::None, caption);
        if (answer == Dialogs::Answer::Cancel)
            return true;
        // A save that failed or was cancelled keeps the window open:
        // closing it would throw the changes away.
        if (answer == Dialogs::Answer::Yes && !m_docs.Save(slot()))
            return true;
    }
    r = record(); // a save may have grown the table
    m_whenLoaded.clear();
    m_lastUndoText = QByteArray();
    m_undoTextIsShown = false;
    m_docs.journal().clean(slot());
    r->release();
    if (QMdiSubWindow *sub = subWindow()) {
        // The area restores every other maximised window when it activates
        // or maximises one, showing it: a hidden one would come back, blank
        // or with the closed document's text. It is hidden un-maximised, and
        // the window shown next is maximised in its place.
        const bool maximised = sub->isMaximized();
        if (maximised)
            sub->showNormal();
        sub->hide();
        if (frmDoc *next = maximised ? m_docs.activeWindow() : nullptr; next && next->subWindow())
            next->subWindow()->showMaximized();
    } else {
        hide();
    }
    m_docs.windowClosed();
    return false;
}

void frmDoc::unload()
{
    if (QMdiSubWindow *sub = subWindow())
        sub->close();
    else
        close();
}

void frmDoc::closeEvent(QCloseEvent *e)
{
    // A window that File > Close already hid has no document: nothing to ask.
    const DocumentRecord *r = record();
    if (r && r->InUse() && CloseDocument()) {
        e->ignore();
        return;
    }
    e->accept();
}

// ---- Copy To / Move To -------------------------------------------------------

void frmDoc::holdForTransfer(const QString &text)
{
    m_transferText = text;
    m_transferPending = true;
}

void frmDoc::onMouseUp(Qt::MouseButton button, const QPoint &pos)
{
    if (m_transferPending) {
        m_transferPending = false;
        InsertFragment(m_transferText);
    }
    if (button == Qt::RightButton)
        m_docs.menus().hidden->popup(txtContents->viewport()->mapToGlobal(pos));
}

// ---- dropped files ---------------------------------------------------------

void frmDoc::onDrop(const QStringList &files)
{
    if (files.size() >= 2) {
        for (const QString &path : files)
            m_docs.OpenFileByPath(path);
        return;
    }
    if (files.size() != 1)
        return;
    const QString &path = files.first();
    const QString question = QStringLiteral("Would you like to paste the contents of this file \r\n") + path
                             + QStringLiteral("\r\nTo your document?");
    const Dialogs::Answer answer = m_ctx.dialogs.message(question, Dialogs::Buttons::YesNo, Dialogs::Icon::Question,
                                                         QStringLiteral("Insert As Contents?"));
    if (answer == Dialogs::Answer::Yes)
        InsertFileContents(path);
    else
        m_docs.OpenFileByPath(path);
}

void frmDoc::InsertFileContents(const QString &path)
{
    QByteArray bytes;
    const FileQuestion::Lines lines{QStringLiteral("There was an error in reading your file"),
                                    QStringLiteral("What would you like to do"), false, true};
    if (!FileQuestion::untilDone(m_ctx.dialogs, lines, [&] { return FileIO::readWholeFile(path, &bytes); }))
        return;
    InsertFragment(TextFileCodec::toQString(TextFileCodec::decode(std::move(bytes), false).text));
}
