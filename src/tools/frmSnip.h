#pragma once

#include "ui/DocumentTarget.h"

#include <QWidget>

struct AppContext;
class DocumentHost;
class QPushButton;
class RichTextBox;

// Shows another file's text; "Grab text" puts the selection into the
// document whose slot is in Tag.
class frmSnip : public QWidget
{
    Q_OBJECT

public:
    frmSnip(AppContext &ctx, DocumentHost &docs);

    QString Tag;
    DocumentRef Document; // the document the text goes into
    RichTextBox *txtSnip = nullptr;
    QPushButton *Command1 = nullptr; // &Open
    QPushButton *Command2 = nullptr; // Grab text
    QPushButton *Command3 = nullptr; // &Cancel

    // Reads the file into txtSnip, asking what to do when reading fails.
    void loadFile(const QString &path);

private:
    AppContext &m_ctx;
};

// Puts the selection of a tool's text into the remembered document and
// closes the tool; with nothing selected nothing happens. When that document
// has been closed, the tool stays open and says so.
void grabInto(AppContext &ctx, DocumentHost &docs, const DocumentRef &target, RichTextBox *text, QWidget *tool);
