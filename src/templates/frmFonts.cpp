#include "templates/frmFonts.h"

#include "ui/DocumentHost.h"
#include "ui/DocumentTarget.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QListWidget>
#include <QVBoxLayout>

frmFonts::frmFonts(DocumentHost &docs, const DocumentRef &document, QWidget *owner)
    : QDialog(owner), Tag(QString::number(document.slot)), Document(document)
{
    setObjectName(QStringLiteral("frmFonts"));
    setWindowTitle(QString());
    lstFonts = new QListWidget(this);
    lstFonts->setObjectName(QStringLiteral("lstFonts"));
    lstFonts->addItems(QFontDatabase::families());
    lstFonts->installEventFilter(this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lstFonts);
    resize(300, 360);
    connect(lstFonts, &QListWidget::itemDoubleClicked, this, [this, &docs](QListWidgetItem *item) {
        if (DocumentTarget *doc = docs.document(Document))
            doc->InsertFragment(item->text());
        accept();
    });
}

bool frmFonts::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lstFonts && event->type() == QEvent::KeyRelease
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
