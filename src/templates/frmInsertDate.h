#pragma once

#include <QDate>
#include "ui/DocumentTarget.h"

#include <QDialog>

class DocumentHost;
class QListWidget;
class QPushButton;

// Today's date in five formats; "&Add Date" puts the chosen one into the
// document whose slot is in Tag.
class frmInsertDate : public QDialog
{
    Q_OBJECT

public:
    frmInsertDate(DocumentHost &docs, const DocumentRef &document, QWidget *owner, const QDate &today = QDate::currentDate());

    QString Tag;
    DocumentRef Document; // the document that gets the text
    QListWidget *List1 = nullptr;
    QPushButton *Command1 = nullptr; // &Add Date
    QPushButton *Command2 = nullptr; // &Cancel
};
