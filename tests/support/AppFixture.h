#pragma once

#include "app/Startup.h"
#include "app/frmAbout.h"
#include "app/mdiMain.h"
#include "document/DocumentManager.h"
#include "ui/RichTextBox.h"
#include "document/frmDoc.h"
#include "platform/QtPrinter.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "ui/AppContext.h"

#include <QApplication>
#include <QClipboard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <memory>

// The whole program started as a user starts it, with scripted dialogs and
// its settings and data in a temporary directory. Tests wait for what they
// expect with QTRY_* (a timeout, and the expression in the failure), never
// for a fixed number of event-loop turns.
struct AppFixture {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    ScriptedPrinter printer;
    std::unique_ptr<Printer> realPrinter; // Qt's print engine, writing a PDF
    std::unique_ptr<AppContext> ctx;
    mdiMain *frame = nullptr;

    // With pdfFile, documents print through Qt's real print engine into that file.
    // With home, the settings and data are those under home (another run's).
    explicit AppFixture(const QStringList &arguments = {}, const std::function<void(AppFixture &)> &beforeStart = {},
                        const QString &pdfFile = QString(), const QString &home = QString())
    {
        if (!pdfFile.isEmpty())
            realPrinter = std::make_unique<QtPrinter>(pdfFile);
        const QDir base(home.isEmpty() ? dir.path() : home);
        ctx = std::make_unique<AppContext>(
            SettingsStore(base.filePath(QStringLiteral("config")), base.filePath(QStringLiteral("data"))), dialogs,
            realPrinter ? *realPrinter : static_cast<Printer &>(printer));
        if (beforeStart)
            beforeStart(*this);
        frame = Startup::run(*ctx, arguments);
    }

    ~AppFixture()
    {
        delete frame;
        delete ctx->windows.find<frmAbout>(QStringLiteral("frmAbout"));
        QGuiApplication::clipboard()->clear();
    }

    DocumentManager &docs() { return frame->documents(); }
    DocumentRecord &record(frmDoc *w) { return docs().table().record(w->slot()); }

    // A new blank document, its caption and states brought up to date.
    frmDoc *newDocument()
    {
        docs().NewBlankDocument();
        frmDoc *w = shownDocuments().last();
        w->timer1Tick();
        return w;
    }

    QString path(const QString &name) const { return dir.filePath(name); }
    QString writeFile(const QString &name, const QByteArray &bytes) const
    {
        if (!writeBytes(path(name), bytes))
            qFatal("cannot write test file");
        return path(name);
    }
    QByteArray readFile(const QString &name) const { return fileBytes(name.startsWith(u'/') ? name : path(name)); }

    // The shown document windows, in creation order.
    QList<frmDoc *> shownDocuments() const
    {
        QList<frmDoc *> docs;
        for (QMdiSubWindow *sub : frame->mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
            if (sub->isVisible())
                docs << qobject_cast<frmDoc *>(sub->widget());
        }
        return docs;
    }

    QStringList menuBarCaptions() const
    {
        QStringList captions;
        for (QAction *a : frame->menuBar()->actions())
            captions << a->text();
        return captions;
    }
};

// A document window's text control and other parts, found by name as an
// accessibility tool finds them.
inline RichTextBox *editorOf(QWidget *w)
{
    return w->findChild<RichTextBox *>(QStringLiteral("txtContents"));
}

template <typename T>
T *childOf(QWidget *w, const char *name)
{
    return w->findChild<T *>(QLatin1String(name));
}

// What holds the menus all document windows share.
inline QWidget *documentMenus(QWidget *anyWindow)
{
    return anyWindow->window()->findChild<QWidget *>(QStringLiteral("mnuDocumentMenus"));
}

// An action by name: a window's own (its toolbar), else for a document
// window an item of the menus all document windows share, with that window
// made the active one they act on.
inline QAction *actionOf(QObject *owner, const char *name)
{
    if (QAction *own = owner->findChild<QAction *>(QLatin1String(name)))
        return own;
    auto *w = qobject_cast<frmDoc *>(owner);
    if (!w)
        return nullptr;
    if (QMdiSubWindow *sub = w->subWindow())
        sub->mdiArea()->setActiveSubWindow(sub);
    return documentMenus(w)->findChild<QAction *>(QLatin1String(name));
}

// A key pressed in a document's focused text, as a user presses it.
inline void pressIn(frmDoc *w, const QKeySequence &key)
{
    QApplication::setActiveWindow(w->window());
    editorOf(w)->setFocus();
    const QKeyCombination combo = key[0];
    QTest::keyClick(editorOf(w), combo.key(), combo.keyboardModifiers());
}
