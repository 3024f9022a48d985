#include "templates/frmInsertDate.h"

#include "core/DateFormats.h"
#include "ui/DocumentHost.h"
#include "ui/DocumentTarget.h"
#include "ui/NamedButton.h"

#include <QListWidget>
#include <QVBoxLayout>

frmInsertDate::frmInsertDate(DocumentHost &docs, const DocumentRef &document, QWidget *owner, const QDate &today)
    : QDialog(owner), Tag(QString::number(document.slot)), Document(document)
{
    setObjectName(QStringLiteral("frmInsertDate"));
    setWindowTitle(QStringLiteral("Insert Date"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->addItems(DateFormats::entries(today, QLocale()));
    Command1 = namedButton(this, "Command1", QStringLiteral("&Add Date"));
    Command2 = namedButton(this, "Command2", QStringLiteral("&Cancel"));
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
        if (DocumentTarget *doc = docs.document(Document))
            doc->InsertFragment(item->text());
        accept();
    });
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
}
