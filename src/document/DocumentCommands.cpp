#include "document/DocumentCommands.h"

#include "document/DocumentManager.h"
#include "document/EncodingChooser.h"
#include "document/EditCommands.h"
#include "document/FindBar.h"
#include "ui/RichTextBox.h"
#include "document/frmDoc.h"
#include "platform/Dialogs.h"
#include "platform/Printer.h"
#include "ui/AppContext.h"
#include "ui/CodeView.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

namespace {

// Every target of these commands is a document window (checked: anything
// else throws instead of being taken for one).
frmDoc &doc(DocumentTarget &target)
{
    return dynamic_cast<frmDoc &>(target);
}

// What Print prints: the whole text, or the selection if the user says so,
// as the document shows it.
PrintedText printedText(AppContext &ctx, frmDoc &w)
{
    if (w.SelText().isEmpty())
        return w.printed(false);
    const Dialogs::Answer answer =
        ctx.dialogs.message(QStringLiteral("Do you wish to only print the highlighted text?"), Dialogs::Buttons::YesNo,
                            Dialogs::Icon::Question, QStringLiteral("Print your selection?"));
    return w.printed(answer == Dialogs::Answer::Yes);
}

// Exactly what Print would print, in a preview.
void printPreview(AppContext &ctx, frmDoc &w)
{
    ctx.printer.preview(printedText(ctx, w), w.window());
}

void exportPdf(AppContext &ctx, frmDoc &w)
{
    // Proposes the document's own name with .pdf, in its folder; a name
    // typed without the suffix gets it.
    const QString file = w.FilePath().trimmed();
    const QString proposed = file.isEmpty() ? w.Title() + QStringLiteral(".pdf")
                                            : QFileInfo(file).dir().filePath(QFileInfo(file).completeBaseName() + QStringLiteral(".pdf"));
    QString path = ctx.dialogs.saveFileName(QStringLiteral("PDF (*.pdf)"), proposed);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    if (!ctx.printer.exportPdf(w.printed(false), path)) {
        ctx.dialogs.message(QStringLiteral("The PDF file ") + path + QStringLiteral(" could not be written."),
                            Dialogs::Buttons::Ok, Dialogs::Icon::Warning, AppContext::appTitle());
    }
}

void print(AppContext &ctx, frmDoc &w)
{
    const PrintedText text = printedText(ctx, w);
    QString error;
    if (!ctx.printer.printText(text, &error)) {
        ctx.dialogs.message(QStringLiteral("there was an error in printing your document: ") + error,
                            Dialogs::Buttons::Ok, Dialogs::Icon::None, AppContext::appTitle());
    }
}

// Copy To and Move To hold the selection until the next mouse release.
void transfer(frmDoc &w, bool move)
{
    const QString selected = w.SelText();
    if (selected.isEmpty())
        return;
    w.holdForTransfer(selected);
    if (move)
        w.InsertFragment(QString());
}

} // namespace

void registerDocumentCommands(AppContext &ctx, DocumentManager &docs)
{
    CommandRegistry &c = ctx.commands;
    DocumentManager *d = &docs;
    AppContext *app = &ctx;

    c.addGlobal(QStringLiteral("mnuFileNewDocument"), [d] { d->NewBlankDocument(); });
    c.addGlobal(QStringLiteral("mnuOpen"), [d] { d->OpenFileWithDialog(); });
    c.add(QStringLiteral("mnuFileOpen"), [d](DocumentTarget &t) {
        d->OpenFileWithDialog();
        doc(t).RefreshMenus();
    });
    const auto saving = [d](bool (DocumentManager::*save)(int)) {
        return [d, save](DocumentTarget &t) {
            (d->*save)(t.slot());
            doc(t).RefreshMenus();
        };
    };
    c.add(QStringLiteral("mnuFileSave"), saving(&DocumentManager::Save));
    c.add(QStringLiteral("mnuFileSaveAs"), saving(&DocumentManager::SaveDocumentAs));
    c.add(QStringLiteral("mnuFileSaveBinary"), saving(&DocumentManager::SaveDocumentBinary));
    c.add(QStringLiteral("mnuFilePrint"), [app](DocumentTarget &t) { print(*app, doc(t)); });
    c.add(QStringLiteral("mnuFilePrintPreview"), [app](DocumentTarget &t) { printPreview(*app, doc(t)); });
    c.add(QStringLiteral("mnuFileExportPdf"), [app](DocumentTarget &t) { exportPdf(*app, doc(t)); });
    c.add(QStringLiteral("mnuFileClose"), [](DocumentTarget &t) { doc(t).CloseDocument(); });
    c.add(QStringLiteral("mnuFileExit"), [](DocumentTarget &t) { doc(t).unload(); });

    c.add(QStringLiteral("mnuEditUndo"), [](DocumentTarget &t) { doc(t).Undo(); });
    c.add(QStringLiteral("mnuEditRedo"), [](DocumentTarget &t) { doc(t).Redo(); });
    c.add(QStringLiteral("mnuEditCut"), [](DocumentTarget &t) { doc(t).edit(EditCommands::cut); });
    c.add(QStringLiteral("mnuEditCopy"), [](DocumentTarget &t) { doc(t).edit(EditCommands::copy); });
    c.add(QStringLiteral("mnuEditPaste"), [](DocumentTarget &t) {
        if (EditCommands::clipboardHasText())
            t.InsertFragment(QGuiApplication::clipboard()->text());
    });
    c.add(QStringLiteral("Toolbar1Delete"), [](DocumentTarget &t) { doc(t).edit(EditCommands::deleteSelection); });
    c.add(QStringLiteral("mnuEditSelectAll"), [](DocumentTarget &t) { doc(t).edit(EditCommands::selectAll); });

    c.add(QStringLiteral("mnuSearchFind"), [](DocumentTarget &t) { doc(t).Find(false); });
    c.add(QStringLiteral("mnuSearchReplace"), [](DocumentTarget &t) { doc(t).Find(true); });
    c.add(QStringLiteral("mnuSearchFindNext"), [](DocumentTarget &t) { doc(t).FindNext(); });
    c.add(QStringLiteral("mnuSearchFindPrevious"), [](DocumentTarget &t) { doc(t).FindPrevious(); });
    c.add(QStringLiteral("mnuSearchGoToLine"), [](DocumentTarget &t) { doc(t).GoToLine(); });

    c.add(QStringLiteral("mnuSelectionFirstLetters"), [](DocumentTarget &t) { doc(t).edit(EditCommands::firstLetters); });
    c.add(QStringLiteral("mnuSelectionAllLetters"), [](DocumentTarget &t) { doc(t).edit(EditCommands::upperCase); });
    c.add(QStringLiteral("mnuSelectionLowerCase"), [](DocumentTarget &t) { doc(t).edit(EditCommands::lowerCase); });
    c.add(QStringLiteral("mnuSelectionClear"), [](DocumentTarget &t) { doc(t).edit(EditCommands::clearSelection); });

    c.add(QStringLiteral("mnuHiddenCopyTo"), [](DocumentTarget &t) { transfer(doc(t), false); });
    c.add(QStringLiteral("mnuHiddenMoveTo"), [](DocumentTarget &t) { transfer(doc(t), true); });
    c.add(QStringLiteral("mnuCharacterMode"), [](DocumentTarget &t) { doc(t).characterModeChanged(); });

    // Code view and word wrap hold for every document and are remembered.
    const auto toggle = [d, &ctx](bool AppContext::*setting, SettingsStore::Key key) {
        return [d, &ctx, setting, key](DocumentTarget &) {
            ctx.*setting = !(ctx.*setting);
            ctx.settings.setValue(key, ctx.*setting);
            d->applyCodeView();
        };
    };
    c.add(QStringLiteral("mnuOptionsCodeView"), toggle(&AppContext::CodeView, SettingsStore::Key::CodeView));
    // Encodings and line breaks: the document's own, and those of new ones.
    const auto chosen = [d](DocumentTarget &t, const QString &title) {
        return EncodingChooser::choose(title, d->table().record(t.slot()).Format(), doc(t).window());
    };
    c.add(QStringLiteral("mnuFileReopenEncoding"), [d, chosen](DocumentTarget &t) {
        if (const auto f = chosen(t, QStringLiteral("Reopen with Encoding")))
            d->ReopenWithEncoding(t.slot(), f->encoding, f->codec);
        doc(t).RefreshMenus();
    });
    c.add(QStringLiteral("mnuFileSaveEncoding"), [d, chosen](DocumentTarget &t) {
        if (const auto f = chosen(t, QStringLiteral("Save with Encoding")))
            d->SaveWithEncoding(t.slot(), f->encoding, f->codec);
        doc(t).RefreshMenus();
    });
    using TextFileCodec::LineEnd;
    const struct {
        const char *suffix;
        LineEnd lineEnd;
    } breaks[] = {{"CrLf", LineEnd::CrLf}, {"Lf", LineEnd::Lf}, {"Cr", LineEnd::Cr}};
    for (const auto &b : breaks) {
        const LineEnd lineEnd = b.lineEnd;
        c.add(QStringLiteral("mnuLineBreaks") + QLatin1String(b.suffix),
              [d, lineEnd](DocumentTarget &t) { d->ConvertLineBreaks(t.slot(), lineEnd); });
        if (lineEnd == LineEnd::Cr)
            continue; // new documents: CR LF or LF
        const QString value = QLatin1String(b.suffix);
        c.add(QStringLiteral("mnuNewLineBreaks") + value,
              [value, &ctx](DocumentTarget &) { ctx.settings.setValue(SettingsStore::Key::NewLineBreaks, value); });
    }
    c.add(QStringLiteral("mnuOptionsWordWrap"), toggle(&AppContext::WordWrap, SettingsStore::Key::WordWrap));
    c.add(QStringLiteral("mnuOptionsFont"), [d, &ctx](DocumentTarget &) {
        QFont font = CodeView::font(ctx.CodeFontFamily, ctx.CodeFontSize);
        if (!ctx.dialogs.chooseFont(font))
            return;
        ctx.CodeFontFamily = font.family();
        ctx.CodeFontSize = font.pointSize();
        ctx.settings.setValue(SettingsStore::Key::CodeFontFamily, ctx.CodeFontFamily);
        ctx.settings.setValue(SettingsStore::Key::CodeFontSize, ctx.CodeFontSize);
        d->applyCodeView();
    });
    // Zoom, as Ctrl with the wheel does, in the window's text only.
    c.add(QStringLiteral("mnuViewZoomIn"), [](DocumentTarget &t) { doc(t).edit([](RichTextBox &b) { b.zoomIn(); }); });
    c.add(QStringLiteral("mnuViewZoomOut"), [](DocumentTarget &t) { doc(t).edit([](RichTextBox &b) { b.zoomOut(); }); });
    c.add(QStringLiteral("mnuViewZoomReset"), [](DocumentTarget &t) { doc(t).edit([](RichTextBox &b) { b.zoomTo(0); }); });
}
