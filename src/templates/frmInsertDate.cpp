#include "templates/frmInsertDate.h"

#include "core/DateFormats.h"
#include "ui/DocumentHost.h"
#include "ui/DocumentTarget.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

frmInsertDate::frmInsertDate(DocumentHost &docs, const QString &tag, QWidget *owner, const QDate &today)
    : QDialog(owner), Tag(tag)
{
    setObjectName(QStringLiteral("frmInsertDate"));
    setWindowTitle(QStringLiteral("Insert Date"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->addItems(DateFormats::entries(today, QLocale()));
    Command1 = new QPushButton(QStringLiteral("&Add Date"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("&Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(List1);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, [this, &docs] {
        const QListWidgetItem *item = List1->currentItem();
        if (!item || !item->isSelected())
            return;
        if (DocumentTarget *doc = docs.document(Tag.toShort()))
            doc->InsertFragment(item->text());
        accept();
    });
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
}
