#include "tools/frmSnip.h"

#include "core/FileFilter.h"
#include "core/TextFileCodec.h"
#include "platform/Dialogs.h"
#include "ui/AppContext.h"
#include "ui/DocumentHost.h"
#include "ui/DocumentTarget.h"
#include "ui/FileQuestion.h"
#include "ui/NamedButton.h"
#include "ui/RichTextBox.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

void grabInto(AppContext &ctx, DocumentHost &docs, const DocumentRef &target, RichTextBox *text, QWidget *tool)
{
    const QString selected = text->SelText();
    if (selected.isEmpty())
        return;
    DocumentTarget *doc = docs.document(target);
    if (!doc) {
        ctx.dialogs.message(QStringLiteral("The document this tool was opened from has been closed. "
                                           "Open the tool again from the document that should get the text."),
                            Dialogs::Buttons::Ok, Dialogs::Icon::Warning, AppContext::appTitle());
        return;
    }
    doc->InsertFragment(selected);
    tool->close();
}

frmSnip::frmSnip(AppContext &ctx, DocumentHost &docs)
    : m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmSnip"));
    setWindowTitle(QStringLiteral("Snip Tool"));
    setAttribute(Qt::WA_DeleteOnClose);
    txtSnip = new RichTextBox(this);
    txtSnip->setObjectName(QStringLiteral("txtSnip"));
    txtSnip->setReadOnly(true);
    Command1 = namedButton(this, "Command1", QStringLiteral("&Open"));
    Command2 = namedButton(this, "Command2", QStringLiteral("Grab text"));
    Command3 = namedButton(this, "Command3", QStringLiteral("&Cancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addStretch();
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(txtSnip);
    layout->addLayout(buttons);
    resize(560, 420);

    connect(Command1, &QPushButton::clicked, this, [this] {
        const QString name = m_ctx.dialogs.openFileName(FileFilter::toQtFilter(FileFilter::kDocumentFilter), QString());
        if (!name.trimmed().isEmpty())
            loadFile(name);
    });
    connect(Command2, &QPushButton::clicked, this, [this, &docs] { grabInto(m_ctx, docs, Document, txtSnip, this); });
    connect(Command3, &QPushButton::clicked, this, &QWidget::close);
    connect(txtSnip, &RichTextBox::OLEDragDrop, this, [this](const QStringList &files) {
        if (files.size() == 1)
            loadFile(files.first());
        else
            m_ctx.dialogs.message(QStringLiteral("You can only drop one file into the snip tool"), Dialogs::Buttons::Ok,
                                  Dialogs::Icon::None, AppContext::appTitle());
    });
    connect(txtSnip, &RichTextBox::DoubleClick, txtSnip, [this] { txtSnip->selectAll(); });
}

void frmSnip::loadFile(const QString &path)
{
    QByteArray bytes;
    const FileQuestion::Lines lines{QStringLiteral("There was an error in reading your file"),
                                    FileQuestion::kWhatNow, false, true};
    if (FileQuestion::untilDone(m_ctx.dialogs, lines, [&] { return FileIO::readWholeFile(path, &bytes); }))
        txtSnip->setTextBytes(TextFileCodec::decode(std::move(bytes), false).text);
}
