#include "tools/frmAppend.h"

#include "core/FileIO.h"
#include "platform/Dialogs.h"
#include "ui/AppContext.h"
#include "ui/DocumentHost.h"
#include "ui/DocumentTarget.h"
#include "ui/FileChooser.h"
#include "ui/FileQuestion.h"
#include "ui/NamedButton.h"
#include "ui/RichTextBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>

frmAppend::frmAppend(AppContext &ctx, DocumentHost &docs, const DocumentRef &document, QWidget *owner)
    : QDialog(owner), Tag(QString::number(document.slot)), Document(document), m_ctx(ctx), m_docs(docs)
{
    setObjectName(QStringLiteral("frmAppend"));
    setWindowTitle(QStringLiteral("Append to file"));
    chooser = new FileChooser({}, this);
    chooser->places->setObjectName(QStringLiteral("Drive1"));
    chooser->folders->setObjectName(QStringLiteral("Dir1"));
    chooser->files->setObjectName(QStringLiteral("File1"));
    Text1 = new RichTextBox(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    lblPosition = new QLabel(QStringLiteral("Position:"), this);
    lblPosition->setObjectName(QStringLiteral("lblPosition"));
    Command1 = namedButton(this, "Command1", QStringLiteral("&Append Document"));
    Command2 = namedButton(this, "Command2", QStringLiteral("&Cancel"));
    for (QPushButton *b : {Command1, Command2})
        b->setAutoDefault(false);
    auto *grid = new QGridLayout(this);
    grid->addWidget(chooser, 0, 0, 1, 3);
    grid->addWidget(Text1, 1, 0, 1, 3);
    grid->addWidget(lblPosition, 2, 0);
    grid->addWidget(Command1, 2, 1);
    grid->addWidget(Command2, 2, 2);
    resize(640, 520);

    connect(chooser, &FileChooser::fileClicked, this, &frmAppend::chooseFile);
    connect(Text1, &RichTextBox::MouseUp, this, [this] {
        lblPosition->setText(QStringLiteral("Position: ") + QString::number(Text1->SelStart()));
    });
    connect(Command1, &QPushButton::clicked, this, &frmAppend::append);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
}

void frmAppend::chooseFile(const QString &path)
{
    if (const FileIO::Failure failure = readTarget(path)) {
        m_ctx.dialogs.message(QStringLiteral("The file ") + path + QStringLiteral(" cannot be read:\r\n")
                                  + failure.description,
                              Dialogs::Buttons::Ok, Dialogs::Icon::Warning, AppContext::appTitle());
    }
}

FileIO::Failure frmAppend::readTarget(const QString &path)
{
    // The stamp before the read: a change made during it shows at the write.
    const FileIO::Stamp stamp = FileIO::stampOf(path);
    QByteArray bytes;
    if (const FileIO::Failure failure = FileIO::readWholeFile(path, &bytes))
        return failure;
    // The whole file, its last line break included: the text comes back as it went in.
    TextFileCodec::Decoded decoded = TextFileCodec::decode(std::move(bytes), false);
    m_target = path;
    m_stamp = stamp;
    m_format = decoded.format;
    Text1->setTextBytes(decoded.text);
    return {};
}

void frmAppend::append()
{
    const auto refuse = [this](const QString &why) {
        m_ctx.dialogs.message(why, Dialogs::Buttons::Ok, Dialogs::Icon::Warning, AppContext::appTitle());
    };
    if (m_target.isEmpty()) {
        refuse(QStringLiteral("Choose the file to append the document to first."));
        return;
    }
    DocumentTarget *doc = m_docs.document(Document);
    if (!doc) {
        refuse(QStringLiteral("The document to append has been closed."));
        return;
    }
    // Read, splice and write are one step: when another program changed the
    // file since it was read, nothing is written and the read question is
    // asked; Retry reads the file again and puts the text at the same place.
    const QString selected = doc->SelText();
    const QString text = selected.isEmpty() ? doc->Text() : selected;
    const int at = Text1->SelStart();
    const FileQuestion::Lines lines{QStringLiteral("There was an error in reading your file"), FileQuestion::kWhatNow,
                                    false, true};
    FileIO::Failure writeFailure;
    bool again = false;
    const bool done = FileQuestion::untilDone(m_ctx.dialogs, lines, [&] {
        if (again) {
            if (const FileIO::Failure failure = readTarget(m_target))
                return failure;
            Text1->SetSelStart(qMin(at, Text1->TextLength()));
        }
        again = true;
        const QByteArray before = Text1->textBytes();
        const int position = Text1->SelStart();
        Text1->SetSelText(text);
        // The file's own line break for what went in and for the end: LF in
        // an LF file, CR in a CR file, CR LF otherwise.
        TextFileCodec::FileFormat format = m_format;
        format.finalBreak = format.lineEnd;
        QByteArray bytes;
        QString error;
        FileIO::Failure failure;
        FileIO::WriteOptions options;
        options.unchangedSince = &m_stamp;
        if (!TextFileCodec::encode(Text1->textView(), format, true, &bytes, &error))
            failure = FileIO::Failure{FileIO::BadFileMode, error};
        else
            failure = FileIO::writeWholeFile(m_target, bytes, options);
        if (!failure)
            return failure;
        // As it was before, so that trying again does not put the text in twice.
        Text1->setTextBytes(before);
        Text1->SetSelStart(position);
        if (failure.code == FileIO::ChangedMeanwhile)
            return FileIO::Failure{failure.code, QStringLiteral("Another program changed ") + m_target
                                                     + QStringLiteral(" since it was read: nothing was written")};
        writeFailure = failure;
        return FileIO::Failure();
    });
    if (!done)
        return;
    if (writeFailure) {
        refuse(QStringLiteral("Nothing was written to ") + m_target + QStringLiteral(":\r\n") + writeFailure.description);
        return;
    }
    accept();
}
