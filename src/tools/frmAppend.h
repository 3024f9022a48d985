#pragma once

#include "core/FileIO.h"
#include "core/TextFileCodec.h"
#include "ui/DocumentTarget.h"

#include <QDialog>

struct AppContext;
class DocumentHost;
class FileChooser;
class QLabel;
class QPushButton;
class RichTextBox;

// Puts the document (or its selection) into another file at the place the
// user clicks, and writes that file back: atomically, in its own encoding,
// every line break of its own kept.
class frmAppend : public QDialog
{
    Q_OBJECT

public:
    frmAppend(AppContext &ctx, DocumentHost &docs, const DocumentRef &document, QWidget *owner);

    QString Tag;
    DocumentRef Document; // the document that is appended
    FileChooser *chooser = nullptr; // Drive1, Dir1, File1
    RichTextBox *Text1 = nullptr;
    QLabel *lblPosition = nullptr;
    QPushButton *Command1 = nullptr; // &Append Document
    QPushButton *Command2 = nullptr; // &Cancel

    // Shows the target's text (what clicking it in File1 does).
    void chooseFile(const QString &path);

private:
    void append();
    // Shows the file's text and remembers how it was read.
    FileIO::Failure readTarget(const QString &path);

    AppContext &m_ctx;
    DocumentHost &m_docs;
    QString m_target;
    TextFileCodec::FileFormat m_format;
    FileIO::Stamp m_stamp; // the file as it was read
};
