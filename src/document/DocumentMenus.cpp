#include "document/DocumentMenus.h"

#include "app/ActionTable.h"
#include "app/frmAbout.h"
#include "document/frmDoc.h"

#include <QAction>
#include <QMenu>

using ActionTable::item;
using ActionTable::separator;
using ActionTable::subMenu;

using ActionTable::kNotOffered;

DocumentMenus::DocumentMenus(frmDoc &doc)
{
    frmDoc *d = &doc;

    file = ActionTable::topMenu(d, "mnuFile", QStringLiteral("&File"));
    QMenu *fileNew = subMenu(file, "mnuFileNew", QStringLiteral("&New"));
    item(fileNew, "mnuFileNewDocument", QStringLiteral("New &Document"), [d] { d->fileNew(); },
         QKeySequence(Qt::CTRL | Qt::Key_N));
    separator(fileNew, "mnuFileNewCut01");
    item(fileNew, "mnuFileNewFromTemplate", QStringLiteral("New From Template"), kNotOffered);
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
    item(file, "mnuFileAppend", QStringLiteral("Append Contents to File"), kNotOffered);
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
    item(stamp, "mnuInsertDate", QStringLiteral("&Date"), kNotOffered);
    item(stamp, "mnuInsertCopyright", QStringLiteral("&Copyright"), kNotOffered);
    QMenu *css = subMenu(insert, "mnuInsertCSS", QStringLiteral("CSS"));
    item(css, "mnuInsertCSSClass", QStringLiteral("Add Class"), kNotOffered);
    item(css, "mnuInsertCSSID", QStringLiteral("Add ID"), kNotOffered);
    item(css, "mnuInsertCSSName", QStringLiteral("Add Name"), kNotOffered);
    QMenu *cpp = subMenu(insert, "mnuInsertCPP", QStringLiteral("C&PP / C"));
    item(cpp, "mnuInsertCPPInclude", QStringLiteral("&Include"), kNotOffered);
    item(cpp, "mnuInsertCPPNamespace", QStringLiteral("&Namespace"), kNotOffered);
    item(cpp, "mnuInsertCPPConsole", QStringLiteral("Console Heading"), kNotOffered);
    QMenu *html = subMenu(insert, "mnuInsertHTML", QStringLiteral("&HTML"));
    item(html, "mnuInsertHTMLP", QStringLiteral("<P>...</P>"), kNotOffered);
    item(html, "mnuInsertHTMLSpan", QStringLiteral("SPAN"), kNotOffered, QKeySequence(Qt::SHIFT | Qt::Key_F2));
    item(html, "mnuInsertHTMLLineBreak", QStringLiteral("Line Break"), kNotOffered, QKeySequence(Qt::Key_F2));
    QMenu *heading = subMenu(html, "mnuInsertHTMLHeading", QStringLiteral("Heading"));
    item(heading, "mnuInsertHTMLH1", QStringLiteral("H &1"), kNotOffered);
    QMenu *link = subMenu(html, "mnuInsertHTMLLink", QStringLiteral("Insert L&ink"));
    item(link, "mnuInsertHTMLAnchor", QStringLiteral("Anchor Link"), kNotOffered, QKeySequence(Qt::CTRL | Qt::Key_L));
    item(link, "mnuInsertHTMLEmail", QStringLiteral("Email Link"), kNotOffered, QKeySequence(Qt::CTRL | Qt::Key_E));
    item(html, "mnuInsertHTMLBold", QStringLiteral("&Bold Text"), kNotOffered, QKeySequence(Qt::CTRL | Qt::Key_B));
    item(html, "mnuInsertHTMLUnderline", QStringLiteral("&Underline"), kNotOffered, QKeySequence(Qt::CTRL | Qt::Key_U));
    item(html, "mnuInsertHTMLItalic", QStringLiteral("Itali&c"), kNotOffered, QKeySequence(Qt::CTRL | Qt::Key_I));
    item(html, "mnuInsertHTMLStyle", QStringLiteral("&Style"), kNotOffered);
    item(html, "mnuInsertHTMLTable", QStringLiteral("Table"), kNotOffered);
    item(html, "mnuInsertHTMLImage", QStringLiteral("Image Tag"), kNotOffered);
    item(html, "mnuInsertHTMLBody", QStringLiteral("body"), kNotOffered);
    item(html, "mnuInsertHTMLDiv", QStringLiteral("div"), kNotOffered);
    item(html, "mnuInsertHTMLForm", QStringLiteral("form"), kNotOffered);
    item(html, "mnuInsertHTMLFrames", QStringLiteral("Frames"), kNotOffered);
    item(html, "mnuInsertHTMLMarquee", QStringLiteral("Scrolling Marquee"), kNotOffered);
    item(html, "mnuInsertHTMLFont", QStringLiteral("&Font"), kNotOffered);
    item(html, "mnuInsertHTMLTitle", QStringLiteral("Title"), kNotOffered);
    item(html, "mnuInsertHTMLHeader", QStringLiteral("Header"), kNotOffered);
    item(insert, "mnuInsertFontName", QStringLiteral("&Font Name"), kNotOffered);

    QMenu *tools = ActionTable::topMenu(d, "mnuTools", QStringLiteral("&Tools"));
    item(tools, "mnuToolsExecute", QStringLiteral("&Execute"), kNotOffered);
    item(tools, "mnuToolsSnip", QStringLiteral("&Snip"), kNotOffered, QKeySequence(Qt::Key_F3));
    item(tools, "mnuToolsInsertBox", QStringLiteral("I&nsert Box"), kNotOffered);
    item(tools, "mnuToolsInsertText", QStringLiteral("Inse&rt Text"), kNotOffered, QKeySequence(Qt::Key_F4));
    item(tools, "mnuToolsUrlSnip", QStringLiteral("&Url Snip"), kNotOffered);
    separator(tools, "mnuToolsCut01");
    item(tools, "mnuToolsQuickSearch", QStringLiteral("&Quick Search"), kNotOffered);
    item(tools, "mnuToolsProjectList", QStringLiteral("&Project List"), kNotOffered);

    view = ActionTable::topMenu(d, "mnuView", QStringLiteral("&View"));
    const Qt::Key programKeys[3] = {Qt::Key_F5, Qt::Key_F6, Qt::Key_F7};
    for (int i = 0; i < 3; ++i) {
        QAction *program = item(view, "mnuViewProgram", QStringLiteral("Program &%1").arg(i + 1), kNotOffered,
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
    item(options, "mnuOptionsSettings", QStringLiteral("&Settings"), kNotOffered);

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
    item(inserts, "mnuHiddenInsertsDate", QStringLiteral("&Date"), kNotOffered);

    bar = {file, edit, selection, insert, tools, view, options, help};
}
