#include "templates/TemplateCommands.h"

#include "core/FileIO.h"
#include "core/Fragments.h"
#include "core/TemplatePass.h"
#include "platform/Dialogs.h"
#include "templates/frmFields.h"
#include "templates/frmFonts.h"
#include "templates/frmInsertDate.h"
#include "templates/frmInserts.h"
#include "templates/frmNew.h"
#include "ui/AppContext.h"
#include "ui/CenterForm.h"
#include "ui/DocumentHost.h"
#include "ui/DocumentTarget.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace {

// The template pass's questions, answered by the program for one document.
class PassHost : public TemplatePass::Host
{
public:
    PassHost(AppContext &ctx, DocumentHost &docs, DocumentTarget &doc) : m_ctx(ctx), m_docs(docs), m_doc(doc) {}

    QString title() const override { return m_doc.Title(); }
    void setTitle(const QString &title) override { m_doc.SetTitle(title); }
    QString inputBox(const QString &prompt, const QString &title, const QString &defaultText) override
    {
        return m_ctx.dialogs.inputBox(prompt, title, defaultText);
    }
    void message(const QString &text) override
    {
        m_ctx.dialogs.message(text, Dialogs::Buttons::Ok, Dialogs::Icon::None, AppContext::appTitle());
    }
    QString whyNotFile(const QString &path) const override
    {
        const QString file = resolved(path);
        if (!QFileInfo::exists(file))
            return QStringLiteral("Not Found");
        const FileIO::Failure failure = FileIO::checkReadable(file);
        return failure ? failure.description : QString();
    }
    void open(const QString &path) override { m_docs.OpenFileByPath(resolved(path)); }
    void setText(const QString &text) override { m_doc.SetText(text); }

private:
    // A relative link is looked up beside the document's file, or in the
    // current folder for a document without one.
    QString resolved(const QString &path) const
    {
        if (path.isEmpty() || QDir::isAbsolutePath(path) || m_doc.FilePath().trimmed().isEmpty())
            return path;
        return QFileInfo(m_doc.FilePath()).dir().filePath(path);
    }

    AppContext &m_ctx;
    DocumentHost &m_docs;
    DocumentTarget &m_doc;
};

void insertFragment(AppContext &ctx, const Fragments::Fragment &fragment, DocumentTarget &doc)
{
    QString answer;
    if (const Fragments::Prompt *p = fragment.prompt) {
        answer = ctx.dialogs.inputBox(QString::fromUtf8(p->text), QString::fromUtf8(p->title),
                                      QString::fromUtf8(p->defaultText));
        if (!Fragments::inserts(fragment, answer))
            return;
    }
    doc.InsertFragment(Fragments::build(fragment, doc.SelText(), answer));
}

} // namespace

void registerTemplateCommands(AppContext &ctx, DocumentHost &docs)
{
    CommandRegistry &c = ctx.commands;
    AppContext *app = &ctx;
    DocumentHost *d = &docs;

    const auto execute = [app, d](DocumentTarget &doc) {
        PassHost host(*app, *d, doc);
        TemplatePass::ExecuteTemplateTags(doc.Text(), host, doc.templateTags());
    };
    c.add(QStringLiteral("mnuToolsExecute"), execute);
    c.add(QStringLiteral("mnuToolsFillFields"), [app, execute](DocumentTarget &doc) {
        if (frmFields::FillIn(*app, doc))
            execute(doc);
    });
    for (const Fragments::Fragment *f = Fragments::begin(); f != Fragments::end(); ++f) {
        c.add(QLatin1String(f->name), [app, f](DocumentTarget &doc) { insertFragment(*app, *f, doc); });
    }
    c.addGlobal(QStringLiteral("mnuNewTemplate"), [app, d] { frmNew::ShowNewFromTemplate(*app, *d); });

    // The two modal dialogs belong to the main frame and insert into the
    // document whose slot they were handed.
    c.add(QStringLiteral("mnuInsertStampDate"), [d](DocumentTarget &doc) {
        frmInsertDate dialog(*d, doc.ref(), doc.widget()->window());
        dialog.exec();
    });
    c.add(QStringLiteral("mnuInsertFontName"), [d](DocumentTarget &doc) {
        frmFonts dialog(*d, doc.ref(), doc.widget()->window());
        dialog.exec();
    });
    c.addGlobal(QStringLiteral("mnuToolsInsertBox"), [app] {
        frmInserts *w = app->windows.get<frmInserts>(QStringLiteral("frmInserts"),
                                                     [app] { return new frmInserts(app->InsertedText); });
        CenterForm(w);
        w->show();
        w->raise();
        w->activateWindow();
    });
    c.add(QStringLiteral("mnuToolsInsertText"), [app](DocumentTarget &doc) {
        if (!app->InsertedText.isEmpty())
            doc.InsertFragment(app->InsertedText);
    });
}
