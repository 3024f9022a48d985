#include "document/frmRecover.h"

#include "document/DocumentManager.h"
#include "ui/NamedButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QTreeWidget>
#include <QVBoxLayout>

frmRecover::frmRecover(DocumentManager &docs, QList<Journal::Orphan> orphans, QWidget *owner)
    : QDialog(owner), m_orphans(std::move(orphans))
{
    setObjectName(QStringLiteral("frmRecover"));
    setWindowTitle(QStringLiteral("Recover Documents"));
    lstRecover = new QTreeWidget(this);
    lstRecover->setObjectName(QStringLiteral("lstRecover"));
    lstRecover->setRootIsDecorated(false);
    lstRecover->setHeaderLabels({QStringLiteral("Title"), QStringLiteral("Path"), QStringLiteral("Time"), QStringLiteral("Size")});
    for (const Journal::Orphan &orphan : std::as_const(m_orphans)) {
        for (const Journal::Entry &e : orphan.entries) {
            lstRecover->addTopLevelItem(new QTreeWidgetItem(
                {e.title, e.path, QLocale().toString(e.time, QLocale::ShortFormat),
                 QLocale().formattedDataSize(e.textSize, 1, QLocale::DataSizeTraditionalFormat)}));
        }
    }
    for (int c = 0; c < lstRecover->columnCount(); ++c)
        lstRecover->resizeColumnToContents(c);
    cmdRecover = namedButton(this, "cmdRecover", QStringLiteral("&Recover"));
    cmdDiscard = namedButton(this, "cmdDiscard", QStringLiteral("&Discard"));
    cmdLater = namedButton(this, "cmdLater", QStringLiteral("&Later"));
    cmdRecover->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : {cmdRecover, cmdDiscard, cmdLater})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Orvane ended without closing these documents. Their unsaved changes can be recovered."),
                                 this));
    layout->addWidget(lstRecover);
    // Journals that could not be read are kept (a newer version may read
    // them) and said once.
    QStringList unreadable;
    for (const Journal::Orphan &orphan : std::as_const(m_orphans)) {
        for (const Journal::Unreadable &u : orphan.unreadable)
            unreadable << u.file + QStringLiteral(" (") + u.why + QLatin1Char(')');
    }
    lblUnreadable = new QLabel(this);
    lblUnreadable->setObjectName(QStringLiteral("lblUnreadable"));
    lblUnreadable->setWordWrap(true);
    lblUnreadable->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblUnreadable->setText(unreadable.size() == 1
                               ? QStringLiteral("1 journal could not be read and was kept: ") + unreadable.first()
                               : QStringLiteral("%1 journals could not be read and were kept: ").arg(unreadable.size())
                                     + unreadable.join(QStringLiteral("; ")));
    lblUnreadable->setVisible(!unreadable.isEmpty());
    layout->addWidget(lblUnreadable);
    layout->addLayout(buttons);
    resize(640, 300);

    // A journal goes only once its document is safely in a window; one that
    // could not be recovered stays for the next start.
    connect(cmdRecover, &QPushButton::clicked, this, [this, &docs] {
        for (const Journal::Orphan &orphan : std::as_const(m_orphans)) {
            for (const Journal::Entry &e : orphan.entries) {
                if (docs.recover(e))
                    Journal::removeEntry(e);
            }
        }
        accept();
    });
    connect(cmdDiscard, &QPushButton::clicked, this, [this] {
        for (const Journal::Orphan &orphan : std::as_const(m_orphans)) {
            for (const Journal::Entry &e : orphan.entries)
                Journal::removeEntry(e);
        }
        accept();
    });
    // Later, or the window closed: the journals stay for the next start.
    connect(cmdLater, &QPushButton::clicked, this, &QDialog::reject);
}

void frmRecover::offer(DocumentManager &docs, const QString &root, QWidget *owner)
{
    QList<Journal::Orphan> orphans = Journal::orphans(root);
    if (orphans.isEmpty())
        return;
    frmRecover window(docs, orphans, owner);
    window.exec();
    for (const Journal::Orphan &orphan : std::as_const(orphans)) {
        Journal::told(orphan);
        Journal::release(orphan);
    }
}
