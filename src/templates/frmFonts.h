#pragma once

#include "ui/DocumentTarget.h"

#include <QDialog>

class DocumentHost;
class QListWidget;

// Every font family of the system; a double click puts the name into the
// document whose slot is in Tag, Esc closes without inserting.
class frmFonts : public QDialog
{
    Q_OBJECT

public:
    frmFonts(DocumentHost &docs, const DocumentRef &document, QWidget *owner);

    QString Tag;
    DocumentRef Document; // the document that gets the text
    QListWidget *lstFonts = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
