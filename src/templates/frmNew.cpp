#include "templates/frmNew.h"

#include "core/Fragments.h"
#include "core/TemplateLibrary.h"
#include "core/TemplatePass.h"
#include "core/TextFileCodec.h"
#include "platform/Dialogs.h"
#include "templates/frmFields.h"
#include "templates/frmTemplates.h"
#include "ui/AppContext.h"
#include "ui/CenterForm.h"
#include "ui/DocumentHost.h"
#include "ui/DocumentTarget.h"
#include "ui/FileQuestion.h"
#include "ui/NamedButton.h"

#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>

frmNew *frmNew::ShowNewFromTemplate(AppContext &ctx, DocumentHost &docs)
{
    frmNew *w = ctx.windows.get<frmNew>(QStringLiteral("frmNew"), [&] { return new frmNew(ctx, docs); });
    CenterForm(w);
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

bool frmNew::CreateFromTemplate(AppContext &ctx, DocumentHost &docs, const QString &path)
{
    // Read first: a template that cannot be read leaves no empty window.
    QByteArray bytes;
    const FileQuestion::Lines lines{QStringLiteral("There was an error in reading your file"),
                                    FileQuestion::kWhatNow, true, true};
    if (!FileQuestion::untilDone(ctx.dialogs, lines, [&] { return FileIO::readWholeFile(path, &bytes); }))
        return false;
    DocumentTarget *doc = docs.CreateDocumentWindow();
    if (!doc)
        return false;
    const QString text = TextFileCodec::toQString(TextFileCodec::decode(std::move(bytes), false).text);
    doc->SetText(text);
    if (!TemplatePass::promptLabels(text).isEmpty()) {
        AppContext *app = &ctx;
        DocumentHost *host = &docs;
        const DocumentRef ref = doc->ref();
        doc->offerNotice(QStringLiteral("This document has fields to fill in."),
                         QStringLiteral("&Fill In Fields…"), [app, host, ref] {
                             if (DocumentTarget *d = host->document(ref))
                                 frmFields::FillIn(*app, *d);
                         });
    }
    return true;
}

frmNew::frmNew(AppContext &ctx, DocumentHost &docs)
    : m_ctx(ctx), m_docs(docs)
{
    setObjectName(QStringLiteral("frmNew"));
    setWindowTitle(QStringLiteral("New Document"));
    setAttribute(Qt::WA_DeleteOnClose);
    File1 = new QListWidget(this);
    File1->setObjectName(QStringLiteral("File1"));
    lblPreview = new QLabel(this);
    lblPreview->setObjectName(QStringLiteral("lblPreview"));
    lblPreview->setWordWrap(true);
    lblPreview->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    lblPreview->setTextFormat(Qt::PlainText);
    lblPreview->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    lblPreview->setMinimumWidth(220);
    Command1 = namedButton(this, "Command1", QStringLiteral("&Create"));
    Command2 = namedButton(this, "Command2", QStringLiteral("&Import"));
    Command3 = namedButton(this, "Command3", QStringLiteral("C&ancel"));
    Command4 = namedButton(this, "Command4", QStringLiteral("&Blank"));
    auto *grid = new QGridLayout(this);
    grid->addWidget(File1, 0, 0, 1, 2);
    grid->addWidget(lblPreview, 0, 2, 1, 2);
    grid->addWidget(Command1, 1, 0);
    grid->addWidget(Command2, 1, 1);
    grid->addWidget(Command4, 1, 2);
    grid->addWidget(Command3, 1, 3);
    resize(520, 320);

    // Each click reads the file again: what it shows is what is on disk now.
    const auto showPreview = [this] {
        lblPreview->setText(File1->currentItem() ? TemplateLibrary::preview(templatePath()) : QString());
    };
    connect(File1, &QListWidget::currentRowChanged, this, showPreview);
    connect(File1, &QListWidget::itemClicked, this, showPreview);
    connect(Command1, &QPushButton::clicked, this, [this] {
        if (!File1->currentItem()) {
            m_ctx.dialogs.beep();
            return;
        }
        if (CreateFromTemplate(m_ctx, m_docs, templatePath()))
            close();
    });
    connect(Command2, &QPushButton::clicked, this, [this] {
        frmTemplates install(m_ctx, this);
        CenterForm(&install);
        install.exec();
        readList();
    });
    connect(Command4, &QPushButton::clicked, this, [this] {
        m_docs.NewBlankDocument();
        close();
    });
    connect(Command3, &QPushButton::clicked, this, &QWidget::close);

    // A folder that cannot be made is one message, with the reason; offering
    // downloads into it would not help.
    const QString failure = TemplateLibrary::prepareDirectory(m_ctx.TemplatesDir);
    if (!failure.isEmpty()) {
        m_ctx.dialogs.message(QStringLiteral("The templates folder ") + m_ctx.TemplatesDir
                                  + QStringLiteral(" could not be created: ") + failure + QStringLiteral("."),
                              Dialogs::Buttons::Ok, Dialogs::Icon::Warning, AppContext::appTitle());
    }
    readList();
    if (File1->count() == 0 && failure.isEmpty()) {
        m_ctx.dialogs.message(QStringLiteral("There are no installed templates, please visit our website: ")
                                  + QLatin1String(Fragments::kWebAddress) + QStringLiteral(" to download the template"),
                              Dialogs::Buttons::Ok, Dialogs::Icon::None, AppContext::appTitle());
    }
}

QString frmNew::templatePath() const
{
    return File1->currentItem() ? QDir(m_ctx.TemplatesDir).filePath(File1->currentItem()->text()) : QString();
}

void frmNew::readList()
{
    File1->clear();
    File1->addItems(TemplateLibrary::list(m_ctx.TemplatesDir));
    Command1->setEnabled(File1->count() > 0);
}
