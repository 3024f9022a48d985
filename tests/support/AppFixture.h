#pragma once

#include "app/AppContext.h"
#include "app/Startup.h"
#include "app/frmAbout.h"
#include "app/mdiMain.h"
#include "document/DocumentManager.h"
#include "document/RichTextBox.h"
#include "document/frmDoc.h"
#include "platform/QtPrinter.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTemporaryDir>
#include <memory>

// The whole program started as a user starts it, with scripted dialogs and
// its settings and data in a temporary directory.
struct AppFixture {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    ScriptedPrinter printer;
    std::unique_ptr<Printer> realPrinter; // Qt's print engine, writing a PDF
    std::unique_ptr<AppContext> ctx;
    mdiMain *frame = nullptr;

    // With pdfFile, documents print through Qt's real print engine into that file.
    explicit AppFixture(const QStringList &arguments = {}, const std::function<void(AppFixture &)> &beforeStart = {},
                        const QString &pdfFile = QString())
    {
        if (!pdfFile.isEmpty())
            realPrinter = std::make_unique<QtPrinter>(pdfFile);
        ctx = std::make_unique<AppContext>(
            SettingsStore(dir.filePath(QStringLiteral("config")), dir.filePath(QStringLiteral("data"))), dialogs,
            realPrinter ? *realPrinter : static_cast<Printer &>(printer));
        if (beforeStart)
            beforeStart(*this);
        frame = Startup::run(*ctx, arguments);
        settle();
    }

    ~AppFixture()
    {
        delete frame;
        delete frmAbout::instance();
        QGuiApplication::clipboard()->clear();
    }

    DocumentManager &docs() { return *ctx->documents; }
    DocumentRecord &record(frmDoc *w) { return docs().table().record(w->slot()); }

    QString path(const QString &name) const { return dir.filePath(name); }
    QString writeFile(const QString &name, const QByteArray &bytes) const
    {
        QFile f(path(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write test file");
        return path(name);
    }
    QByteArray readFile(const QString &name) const
    {
        QFile f(name.startsWith(QLatin1Char('/')) ? name : path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

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

    // Lets queued work (Timer1, deferred drops, deletions) run.
    static void settle()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
    }
};

inline QAction *actionOf(QObject *owner, const char *name)
{
    return owner->findChild<QAction *>(QLatin1String(name));
}
