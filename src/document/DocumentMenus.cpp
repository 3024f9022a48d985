#include "document/DocumentMenus.h"

#include "document/frmDoc.h"
#include "ui/CommandRegistry.h"
#include "ui/FitInArea.h"
#include "ui/MenuTable.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSet>

namespace {

using Qt::Key_A, Qt::Key_B, Qt::Key_E, Qt::Key_I, Qt::Key_L, Qt::Key_N, Qt::Key_O, Qt::Key_P, Qt::Key_S, Qt::Key_U,
    Qt::Key_Z, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5, Qt::Key_F6, Qt::Key_F7;
constexpr auto Ctrl = Qt::CTRL;

// Commands that several items share are named after the first of them.
constexpr MenuTable::Entry kMenus[] = {
    {0, "mnuFile", "&File"},
    {1, "mnuFileNew", "&New"},
    {2, "mnuFileNewDocument", "New &Document", Ctrl | Key_N},
    {2, "mnuFileNewCut01", "-"},
    {2, "mnuNewTemplate", "New From Template"},
    {1, "mnuFileOpenMenu", "&Open"},
    {2, "mnuFileOpen", "O&pen", Ctrl | Key_O},
    {2, "mnuFileOpenCut01", "-"},
    {2, "mnuOpenRecent", "Recent Items"},
    {1, "mnuFileCut01", "-"},
    {1, "mnuFileSave", "&Save", Ctrl | Key_S},
    {1, "mnuFileSaveAs", "Save &As"},
    {1, "mnuFileAppendContents", "Append Contents to File"},
    {1, "mnuFileReopenEncoding", "&Reopen with Encoding..."},
    {1, "mnuFileSaveEncoding", "Save with Encodin&g..."},
    {1, "mnuFileLineBreaks", "&Line Breaks"},
    {2, "mnuLineBreaksCrLf", "CR LF (Windows)"},
    {2, "mnuLineBreaksLf", "LF (Linux, macOS)"},
    {2, "mnuLineBreaksCr", "CR (classic Mac)"},
    {1, "mnuFileCut02", "-"},
    {1, "mnuFileSaveBinary", "&Save Binary"},
    {1, "mnuFileCut03", "-"},
    {1, "mnuFilePrint", "&Print", Ctrl | Key_P},
    {1, "mnuFilePrintPreview", "Print Pre&view"},
    {1, "mnuFileExportPdf", "E&xport as PDF"},
    {1, "mnuFileCut04", "-"},
    {1, "mnuFileClose", "&Close"},
    {1, "mnuFileExit", "&Exit"},

    {0, "mnuEdit", "&Edit"},
    {1, "mnuEditUndo", "&Undo", Ctrl | Key_Z},
    {1, "mnuEditRedo", "&Redo", Ctrl | Qt::Key_Y},
    {1, "mnuEditCut01", "-"},
    {1, "mnuEditCut", "&Cut"},
    {1, "mnuEditCopy", "&Copy"},
    {1, "mnuEditPaste", "&Paste"},
    {1, "mnuEditCut02", "-"},
    {1, "mnuEditSelectAll", "Select All", Ctrl | Key_A},

    {0, "mnuSearch", "Sear&ch"},
    {1, "mnuSearchFind", "&Find...", Ctrl | Qt::Key_F},
    {1, "mnuSearchFindNext", "Find &Next", Ctrl | Qt::Key_G},
    {1, "mnuSearchFindPrevious", "Find &Previous", Ctrl | Qt::SHIFT | Qt::Key_G},
    {1, "mnuSearchReplace", "&Replace...", Ctrl | Qt::Key_H},
    {1, "mnuSearchCut01", "-"},
    {1, "mnuSearchGoToLine", "&Go to Line...", Ctrl | Qt::Key_J},
    {1, "mnuSearchCut02", "-"},
    {1, "mnuSearchFindInFiles", "Find &in Files...", Ctrl | Qt::SHIFT | Qt::Key_F},

    {0, "mnuSelection", "&Selection"},
    {1, "mnuSelectionCapitalize", "Capitalize"},
    {2, "mnuSelectionFirstLetters", "First Letters"},
    {2, "mnuSelectionAllLetters", "All Letters"},
    {1, "mnuSelectionLowerCase", "Lower Case All"},
    {1, "mnuSelectionClear", "Clear"},

    {0, "mnuInsert", "In&sert"},
    {1, "mnuInsertStamp", "Stamp"},
    {2, "mnuInsertStampDate", "&Date"},
    {2, "mnuInsertCopyright", "&Copyright"},
    {1, "mnuInsertCSS", "CSS"},
    {2, "mnuInsertCSSClass", "Add Class"},
    {2, "mnuInsertCSSID", "Add ID"},
    {2, "mnuInsertCSSName", "Add Name"},
    {1, "mnuInsertCPP", "C&PP / C"},
    {2, "mnuInsertCPPInclude", "&Include"},
    {2, "mnuInsertCPPNameSpace", "&Namespace"},
    {2, "mnuInsertCPPHeading", "Console Heading"},
    {1, "mnuInsertHTML", "&HTML"},
    {2, "mnuInsertHTMLP", "<P>...</P>"},
    {2, "mnuInsertHTMLSpan", "SPAN", Qt::SHIFT | Key_F2},
    {2, "mnuInsertHTMLLineBreak", "Line Break", Key_F2},
    {2, "mnuInsertHTMLHeading", "Heading"},
    {3, "mnuInsertHTMLHeading1", "H &1"},
    {2, "mnuInsertHTMLLink", "Insert L&ink"},
    {3, "mnuInsertLinkAnchor", "Anchor Link", Ctrl | Key_L},
    {3, "mnuInsertLinkEmail", "Email Link", Ctrl | Key_E},
    {2, "mnuInsetBoldText", "&Bold Text", Ctrl | Key_B},
    {2, "mnuInsertHtmlUnderline", "&Underline", Ctrl | Key_U},
    {2, "mnuHTMLInsertItalic", "Itali&c", Ctrl | Key_I},
    {2, "mnuInsertHTMLStyle", "&Style"},
    {2, "mnuInsertHTMLTable", "Table"},
    {2, "mnuInsertHTMLImage", "Image Tag"},
    {2, "mnuInsertHTMLBody", "body"},
    {2, "mnuInsertHTMLDiv", "div"},
    {2, "mnuInsertHTMLForm", "form"},
    {2, "mnuInsertHTMLFrames", "Frames"},
    {2, "mnuInsertHTMLScrolling", "Scrolling Marquee"},
    {2, "mnuInsertHTMLFont", "&Font"},
    {2, "mnuInsertHTMLTitle", "Title"},
    {2, "mnuInsertHTMLHeader", "Header"},
    {1, "mnuInsertFontName", "&Font Name"},

    {0, "mnuTools", "&Tools"},
    {1, "mnuToolsExecute", "&Execute"},
    {1, "mnuToolsFillFields", "&Fill In Fields…", Ctrl | Qt::SHIFT | Key_E},
    {1, "mnuToolsSnip", "&Snip", Key_F3},
    {1, "mnuToolsInsertBox", "I&nsert Box"},
    {1, "mnuToolsInsertText", "Inse&rt Text", Key_F4},
    {1, "mnuToolsUrlSnip", "&Url Snip"},
    {1, "mnuToolsCut01", "-"},
    {1, "mnuToolsQuickSearch", "&Quick Search"},
    {1, "mnuToolsProjectList", "&Project List"},

    {0, "mnuView", "&View"},
    {1, "mnuViewProgram", "Program &1", Ctrl | Key_F5, "mnuViewProgram0"},
    {1, "mnuViewProgram", "Program &2", Ctrl | Key_F6, "mnuViewProgram1"},
    {1, "mnuViewProgram", "Program &3", Ctrl | Key_F7, "mnuViewProgram2"},
    {1, "mnuViewZoomIn", "Zoom &In", Ctrl | Qt::Key_Plus},
    {1, "mnuViewZoomOut", "Zoom &Out", Ctrl | Qt::Key_Minus},
    {1, "mnuViewZoomReset", "&Normal Size", Ctrl | Qt::Key_0},
    {1, "mnuViewCut01", "-"},
    {1, "mnuViewWindows", "Win&dows", Qt::Key_unknown, nullptr, true},

    {0, "mnuOptions", "&Options"},
    {1, "mnuCharacterMode", "Character Mode"},
    {1, "mnuOptionsCodeView", "Code &View"},
    {1, "mnuOptionsWordWrap", "&Word Wrap"},
    {1, "mnuOptionsFont", "&Font…"},
    {1, "mnuOptionsTabs", "&Tabs"},
    {1, "mnuOptionsReopenDocuments", "Reopen &Documents at Start-up"},
    {1, "mnuOptionsNewLineBreaks", "&Line Breaks for New Documents"},
    {2, "mnuNewLineBreaksCrLf", "CR LF (Windows)"},
    {2, "mnuNewLineBreaksLf", "LF (Linux, macOS)"},
    {1, "mnuSetViewer", "&Settings"},

    {0, "mnuHelp", "&Help"},
    {1, "mnuHelpAbout", "&About"},

    {0, "mnuHidden", "HiddenMenu"},
    {1, "mnuHiddenCut", "&Cut", Qt::Key_unknown, "mnuEditCut"},
    {1, "mnuHiddenCopy", "C&opy", Qt::Key_unknown, "mnuEditCopy"},
    {1, "mnuHiddenCopyTo", "Copy &To"},
    {1, "mnuHiddenMoveTo", "&Move to"},
    {1, "mnuHiddenPaste", "&Paste", Qt::Key_unknown, "mnuEditPaste"},
    {1, "mnuHiddenCut01", "-"},
    {1, "mnuHiddenUndo", "&Undo", Qt::Key_unknown, "mnuEditUndo"},
    {1, "mnuHiddenInserts", "Inserts"},
    {2, "mnuHiddenInsertsDate", "&Date", Qt::Key_unknown, "mnuInsertStampDate"},
};

// Tile, Cascade and Close All, then the frame's list of shown document
// windows; choosing one activates it.
void fillWindowsMenu(QMenu *menu, QMdiArea *area)
{
    menu->clear();
    if (!area)
        return;
    menu->addAction(QStringLiteral("&Tile"), area, &QMdiArea::tileSubWindows)->setObjectName(QStringLiteral("mnuWindowsTile"));
    // Cascading keeps the windows' sizes: none may then reach past the area.
    menu->addAction(QStringLiteral("&Cascade"), area, [area] {
            area->cascadeSubWindows();
            for (QMdiSubWindow *sub : area->subWindowList())
                ShrinkIntoArea(sub);
        })->setObjectName(QStringLiteral("mnuWindowsCascade"));
    // Each window asks about its changes as closing it does; a Cancel stops.
    menu->addAction(QStringLiteral("Close &All"), area, [area] {
            for (QMdiSubWindow *sub : area->subWindowList()) {
                if (sub->isVisible() && !sub->close())
                    return;
            }
        })->setObjectName(QStringLiteral("mnuWindowsCloseAll"));
    menu->addSeparator();
    for (QMdiSubWindow *sub : area->subWindowList()) {
        if (!sub->isVisible())
            continue;
        QAction *entry = menu->addAction(MenuTable::literalCaption(sub->windowTitle()));
        entry->setCheckable(true);
        entry->setChecked(sub == area->activeSubWindow());
        QObject::connect(entry, &QAction::triggered, area, [area, sub] { area->setActiveSubWindow(sub); });
    }
}

} // namespace

DocumentMenus::DocumentMenus(QWidget *frame, QMdiArea *area, const CommandRegistry &commands,
                             std::function<frmDoc *()> active)
{
    holder = new QWidget(frame);
    holder->setObjectName(QStringLiteral("mnuDocumentMenus"));
    holder->hide();
    const std::function<DocumentTarget *()> current = [active] { return static_cast<DocumentTarget *>(active()); };
    // While a document's file is still going in, only what leaves its text
    // alone runs for it; anything else says it must wait.
    static const QSet<QString> whileLoading = {
        QStringLiteral("mnuFileClose"),       QStringLiteral("mnuFileOpen"),        QStringLiteral("mnuFileExit"),
        QStringLiteral("mnuSearchFindInFiles"), QStringLiteral("mnuOptionsCodeView"), QStringLiteral("mnuOptionsWordWrap"),
        QStringLiteral("mnuOptionsFont"),     QStringLiteral("mnuViewZoomIn"),      QStringLiteral("mnuViewZoomOut"),
        QStringLiteral("mnuViewZoomReset"),   QStringLiteral("mnuNewLineBreaks"),   QStringLiteral("mnuEditCopy"),
        QStringLiteral("mnuEditSelectAll"),
    };
    const std::function<DocumentTarget *()> loaded = [active]() -> DocumentTarget * {
        frmDoc *d = active();
        return d && d->refuseWhileLoading() ? nullptr : d;
    };
    const QList<QMenu *> menus = MenuTable::build(holder, kMenus, [&](QAction *item, const QString &command) {
        commands.bind(item, command, whileLoading.contains(command) ? current : loaded);
    });
    // The context menu is the table's last menu; the others make the bar.
    hidden = menus.last();
    bar = menus.mid(0, menus.size() - 1);

    const auto action = [this](const char *name) { return holder->findChild<QAction *>(QLatin1String(name)); };
    const auto menu = [this](const char *name) { return holder->findChild<QMenu *>(QLatin1String(name)); };
    fileOpen = menu("mnuFileOpenMenu");
    selection = menu("mnuSelection");
    windows = menu("mnuViewWindows");
    undo = action("mnuEditUndo");
    redo = action("mnuEditRedo");
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    // Ctrl+= is Ctrl+Plus without Shift on most keyboards.
    action("mnuViewZoomIn")->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    paste = action("mnuEditPaste");
    characterMode = action("mnuCharacterMode");
    characterMode->setCheckable(true);
    codeView = action("mnuOptionsCodeView");
    codeView->setCheckable(true);
    wordWrap = action("mnuOptionsWordWrap");
    wordWrap->setCheckable(true);
    hiddenUndo = action("mnuHiddenUndo");
    hiddenPaste = action("mnuHiddenPaste");
    int k = 0;
    for (const char *name : {"mnuLineBreaksCrLf", "mnuLineBreaksLf", "mnuLineBreaksCr"}) {
        lineBreaks[k] = action(name);
        lineBreaks[k++]->setCheckable(true);
    }

    QAction *placeholder = action("mnuOpenRecent");
    placeholder->setProperty("Index", 0);
    placeholder->setVisible(false);
    recent.append(placeholder);
    for (QAction *program : menu("mnuView")->actions()) {
        if (program->objectName() == QLatin1String("mnuViewProgram")) {
            program->setProperty("Index", int(viewProgram.size()));
            viewProgram.append(program);
        }
    }

    QObject::connect(menu("mnuFile"), &QMenu::aboutToShow, holder, [active] {
        if (frmDoc *d = active())
            d->RefreshRecentMenu();
    });
    QObject::connect(menu("mnuView"), &QMenu::aboutToShow, holder, [active] {
        if (frmDoc *d = active())
            d->RefreshViewerMenu();
    });
    QObject::connect(windows, &QMenu::aboutToShow, holder, [this, area] { fillWindowsMenu(windows, area); });
}

DocumentMenus::~DocumentMenus() = default;
