#include "document/DocumentMenus.h"

#include "app/ActionTable.h"
#include "app/frmAbout.h"
#include "document/frmDoc.h"

#include <QAction>
#include <QMenu>

using ActionTable::item;
using ActionTable::separator;
using ActionTable::subMenu;

namespace {
// Commands whose windows this build does not have yet: shown, disabled.
const std::function<void()> notOffered;
} // namespace

DocumentMenus::DocumentMenus(frmDoc &doc)
{
    frmDoc *d = &doc;

    file = ActionTable::topMenu(d, "mnuFile", QStringLiteral("&File"));
    QMenu *fileNew = subMenu(file, "mnuFileNew", QStringLiteral("&New"));
    item(fileNew, "mnuFileNewDocument", QStringLiteral("New &Document"), [d] { d->fileNew(); },
         QKeySequence(Qt::CTRL | Qt::Key_N));
    separator(fileNew, "mnuFileNewCut01");
    item(fileNew, "mnuFileNewFromTemplate", QStringLiteral("New From Template"), notOffered);
    fileOpen = subMenu(file, "mnuFileOpenMenu", QStringLiteral("&Open"));
    item(fileOpen, "mnuFileOpen", QStringLiteral("O&pen"), [d] { d->fileOpen(); }, QKeySequence(Qt::CTRL | Qt::Key_O));
    separator(fileOpen, "mnuFileOpenCut01");
    QAction *recentPlaceholder = fileOpen->addAction(QStringLiteral("Recent Items"));
    recentPlaceholder->setObjectName(QStringLiteral("mnuOpenRecent"));
    recentPlaceholder->setProperty("Index", 0);
    recentPlaceholder->setVisible(false);
    recent.append(recentPlaceholder);
    separator(file, "mnuFileCut01");
    item(file, "mnuFileSave", QStringLiteral("&Save"), [d] { d->fileSave(); }, QKeySequence(Qt::CTRL | Qt::Key_S));
    item(file, "mnuFileSaveAs", QStringLiteral("Save &As"), [d] { d->fileSaveAs(); });
    item(file, "mnuFileAppend", QStringLiteral("Append Contents to File"), notOffered);
    separator(file, "mnuFileCut02");
    item(file, "mnuFileSaveBinary", QStringLiteral("&Save Binary"), [d] { d->fileSaveBinary(); });
    separator(file, "mnuFileCut03");
    item(file, "mnuFilePrint", QStringLiteral("&Print"), [d] { d->filePrint(); }, QKeySequence(Qt::CTRL | Qt::Key_P));
    separator(file, "mnuFileCut04");
    item(file, "mnuFileClose", QStringLiteral("&Close"), [d] { d->fileClose(); });
    item(file, "mnuFileExit", QStringLiteral("&Exit"), [d] { d->fileExit(); });
    QObject::connect(file, &QMenu::aboutToShow, d, [d] { d->RefreshRecentMenu(); });

    edit = ActionTable::topMenu(d, "mnuEdit", QStringLiteral("&Edit"));
    undo = item(edit, "mnuEditUndo", QStringLiteral("&Undo"), [d] { d->editUndo(); }, QKeySequence(Qt::CTRL | Qt::Key_Z));
    separator(edit, "mnuEditCut01");
    item(edit, "mnuEditCut", QStringLiteral("&Cut"), [d] { d->editCut(); });
    item(edit, "mnuEditCopy", QStringLiteral("&Copy"), [d] { d->editCopy(); });
    paste = item(edit, "mnuEditPaste", QStringLiteral("&Paste"), [d] { d->editPaste(); });
    separator(edit, "mnuEditCut02");
    item(edit, "mnuEditSelectAll", QStringLiteral("Select All"), [d] { d->editSelectAll(); },
         QKeySequence(Qt::CTRL | Qt::Key_A));

    selection = ActionTable::topMenu(d, "mnuSelection", QStringLiteral("&Selection"));
    QMenu *capitalize = subMenu(selection, "mnuSelectionCapitalize", QStringLiteral("Capitalize"));
    item(capitalize, "mnuSelectionFirstLetters", QStringLiteral("First Letters"), [d] { d->selectionFirstLetters(); });
    item(capitalize, "mnuSelectionAllLetters", QStringLiteral("All Letters"), [d] { d->selectionAllLetters(); });
    item(selection, "mnuSelectionLowerCase", QStringLiteral("Lower Case All"), [d] { d->selectionLowerCase(); });
    item(selection, "mnuSelectionClear", QStringLiteral("Clear"), [d] { d->selectionClear(); });

    QMenu *insert = ActionTable::topMenu(d, "mnuInsert", QStringLiteral("In&sert"));
    QMenu *stamp = subMenu(insert, "mnuInsertStamp", QStringLiteral("Stamp"));
    item(stamp, "mnuInsertDate", QStringLiteral("&Date"), notOffered);
    item(stamp, "mnuInsertCopyright", QStringLiteral("&Copyright"), notOffered);
    QMenu *css = subMenu(insert, "mnuInsertCSS", QStringLiteral("CSS"));
    item(css, "mnuInsertCSSClass", QStringLiteral("Add Class"), notOffered);
    item(css, "mnuInsertCSSID", QStringLiteral("Add ID"), notOffered);
    item(css, "mnuInsertCSSName", QStringLiteral("Add Name"), notOffered);
    QMenu *cpp = subMenu(insert, "mnuInsertCPP", QStringLiteral("C&PP / C"));
    item(cpp, "mnuInsertCPPInclude", QStringLiteral("&Include"), notOffered);
    item(cpp, "mnuInsertCPPNamespace", QStringLiteral("&Namespace"), notOffered);
    item(cpp, "mnuInsertCPPConsole", QStringLiteral("Console Heading"), notOffered);
    QMenu *html = subMenu(insert, "mnuInsertHTML", QStringLiteral("&HTML"));
    item(html, "mnuInsertHTMLP", QStringLiteral("<P>...</P>"), notOffered);
    item(html, "mnuInsertHTMLSpan", QStringLiteral("SPAN"), notOffered, QKeySequence(Qt::SHIFT | Qt::Key_F2));
    item(html, "mnuInsertHTMLLineBreak", QStringLiteral("Line Break"), notOffered, QKeySequence(Qt::Key_F2));
    QMenu *heading = subMenu(html, "mnuInsertHTMLHeading", QStringLiteral("Heading"));
    item(heading, "mnuInsertHTMLH1", QStringLiteral("H &1"), notOffered);
    QMenu *link = subMenu(html, "mnuInsertHTMLLink", QStringLiteral("Insert L&ink"));
    item(link, "mnuInsertHTMLAnchor", QStringLiteral("Anchor Link"), notOffered, QKeySequence(Qt::CTRL | Qt::Key_L));
    item(link, "mnuInsertHTMLEmail", QStringLiteral("Email Link"), notOffered, QKeySequence(Qt::CTRL | Qt::Key_E));
    item(html, "mnuInsertHTMLBold", QStringLiteral("&Bold Text"), notOffered, QKeySequence(Qt::CTRL | Qt::Key_B));
    item(html, "mnuInsertHTMLUnderline", QStringLiteral("&Underline"), notOffered, QKeySequence(Qt::CTRL | Qt::Key_U));
    item(html, "mnuInsertHTMLItalic", QStringLiteral("Itali&c"), notOffered, QKeySequence(Qt::CTRL | Qt::Key_I));
    item(html, "mnuInsertHTMLStyle", QStringLiteral("&Style"), notOffered);
    item(html, "mnuInsertHTMLTable", QStringLiteral("Table"), notOffered);
    item(html, "mnuInsertHTMLImage", QStringLiteral("Image Tag"), notOffered);
    item(html, "mnuInsertHTMLBody", QStringLiteral("body"), notOffered);
    item(html, "mnuInsertHTMLDiv", QStringLiteral("div"), notOffered);
    item(html, "mnuInsertHTMLForm", QStringLiteral("form"), notOffered);
    item(html, "mnuInsertHTMLFrames", QStringLiteral("Frames"), notOffered);
    item(html, "mnuInsertHTMLMarquee", QStringLiteral("Scrolling Marquee"), notOffered);
    item(html, "mnuInsertHTMLFont", QStringLiteral("&Font"), notOffered);
    item(html, "mnuInsertHTMLTitle", QStringLiteral("Title"), notOffered);
    item(html, "mnuInsertHTMLHeader", QStringLiteral("Header"), notOffered);
    item(insert, "mnuInsertFontName", QStringLiteral("&Font Name"), notOffered);

    QMenu *tools = ActionTable::topMenu(d, "mnuTools", QStringLiteral("&Tools"));
    item(tools, "mnuToolsExecute", QStringLiteral("&Execute"), notOffered);
    item(tools, "mnuToolsSnip", QStringLiteral("&Snip"), notOffered, QKeySequence(Qt::Key_F3));
    item(tools, "mnuToolsInsertBox", QStringLiteral("I&nsert Box"), notOffered);
    item(tools, "mnuToolsInsertText", QStringLiteral("Inse&rt Text"), notOffered, QKeySequence(Qt::Key_F4));
    item(tools, "mnuToolsUrlSnip", QStringLiteral("&Url Snip"), notOffered);
    separator(tools, "mnuToolsCut01");
    item(tools, "mnuToolsQuickSearch", QStringLiteral("&Quick Search"), notOffered);
    item(tools, "mnuToolsProjectList", QStringLiteral("&Project List"), notOffered);

    view = ActionTable::topMenu(d, "mnuView", QStringLiteral("&View"));
    const Qt::Key programKeys[3] = {Qt::Key_F5, Qt::Key_F6, Qt::Key_F7};
    for (int i = 0; i < 3; ++i) {
        QAction *program = item(view, "mnuViewProgram", QStringLiteral("Program &%1").arg(i + 1), notOffered,
                                QKeySequence(Qt::CTRL | programKeys[i]));
        program->setProperty("Index", i);
        viewProgram.append(program);
    }
    separator(view, "mnuViewCut01");
    windows = subMenu(view, "mnuViewWindows", QStringLiteral("Win&dows"));
    QObject::connect(view, &QMenu::aboutToShow, d, [d] { d->RefreshViewerMenu(); });
    QObject::connect(windows, &QMenu::aboutToShow, d, [d] { d->fillWindowsMenu(); });

    QMenu *options = ActionTable::topMenu(d, "mnuOptions", QStringLiteral("&Options"));
    characterMode = item(options, "mnuCharacterMode", QStringLiteral("Character Mode"), [d] { d->toggleCharacterMode(); });
    characterMode->setCheckable(true);
    item(options, "mnuOptionsSettings", QStringLiteral("&Settings"), notOffered);

    QMenu *help = ActionTable::topMenu(d, "mnuHelp", QStringLiteral("&Help"));
    item(help, "mnuHelpAbout", QStringLiteral("&About"), [] { frmAbout::showAbout(); });

    hidden = ActionTable::topMenu(d, "mnuHidden", QStringLiteral("HiddenMenu"));
    item(hidden, "mnuHiddenCut", QStringLiteral("&Cut"), [d] { d->editCut(); });
    item(hidden, "mnuHiddenCopy", QStringLiteral("C&opy"), [d] { d->editCopy(); });
    item(hidden, "mnuHiddenCopyTo", QStringLiteral("Copy &To"), [d] { d->copyTo(); });
    item(hidden, "mnuHiddenMoveTo", QStringLiteral("&Move to"), [d] { d->moveTo(); });
    hiddenPaste = item(hidden, "mnuHiddenPaste", QStringLiteral("&Paste"), [d] { d->editPaste(); });
    separator(hidden, "mnuHiddenCut01");
    hiddenUndo = item(hidden, "mnuHiddenUndo", QStringLiteral("&Undo"), [d] { d->editUndo(); });
    QMenu *inserts = subMenu(hidden, "mnuHiddenInserts", QStringLiteral("Inserts"));
    item(inserts, "mnuHiddenInsertsDate", QStringLiteral("&Date"), notOffered);

    bar = {file, edit, selection, insert, tools, view, options, help};
}
