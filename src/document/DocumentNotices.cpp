#include "document/DocumentNotices.h"

#include "ui/NamedButton.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

DocumentNotices::DocumentNotices(qsizetype longLineMb, qsizetype shownMb, QWidget *parent)
    : QWidget(parent)
{
    m_disk = new QFrame(this);
    m_disk->setObjectName(QStringLiteral("fraDiskNotice"));
    m_disk->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    m_disk->setAutoFillBackground(true);
    m_disk->setBackgroundRole(QPalette::ToolTipBase);
    m_diskText = new QLabel(m_disk);
    m_diskText->setObjectName(QStringLiteral("lblDiskNotice"));
    m_diskText->setWordWrap(true);
    m_reload = namedButton(m_disk, "cmdReload", QStringLiteral("&Reload"));
    auto *ignore = namedButton(m_disk, "cmdIgnore", QStringLiteral("I&gnore"));
    auto *row = new QHBoxLayout(m_disk);
    row->setContentsMargins(6, 3, 6, 3);
    row->addWidget(m_diskText, 1);
    row->addWidget(m_reload);
    row->addWidget(ignore);
    m_disk->hide();
    m_cut = new QLabel(QStringLiteral("Lines longer than %1 MB are too long to show whole: they are cut to their first "
                                      "%2 MB, and the document is read-only. Save and Save As write every byte of the file.")
                           .arg(longLineMb)
                           .arg(shownMb),
                       this);
    m_cut->setObjectName(QStringLiteral("lblCutNotice"));
    m_backup = new QLabel(this);
    m_backup->setObjectName(QStringLiteral("lblBackupNotice"));
    for (QLabel *notice : {m_cut, m_backup}) {
        notice->setWordWrap(true);
        notice->setMargin(6);
        notice->setAutoFillBackground(true);
        notice->setBackgroundRole(QPalette::ToolTipBase);
        notice->setForegroundRole(QPalette::ToolTipText);
        notice->hide();
    }
    m_offer = new QFrame(this);
    m_offer->setObjectName(QStringLiteral("fraOffer"));
    m_offer->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    m_offer->setAutoFillBackground(true);
    m_offer->setBackgroundRole(QPalette::ToolTipBase);
    m_offerText = new QLabel(m_offer);
    m_offerText->setWordWrap(true);
    m_offerButton = namedButton(m_offer, "cmdOffer", QString());
    auto *hide = namedButton(m_offer, "cmdHideOffer", QStringLiteral("&Hide"));
    auto *offerRow = new QHBoxLayout(m_offer);
    offerRow->setContentsMargins(6, 3, 6, 3);
    offerRow->addWidget(m_offerText, 1);
    offerRow->addWidget(m_offerButton);
    offerRow->addWidget(hide);
    m_offer->hide();
    connect(hide, &QPushButton::clicked, m_offer, &QWidget::hide);
    connect(m_offerButton, &QPushButton::clicked, this, [this] {
        m_offer->hide();
        if (m_offerAction)
            m_offerAction();
    });
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_disk);
    layout->addWidget(m_cut);
    layout->addWidget(m_backup);
    layout->addWidget(m_offer);
    connect(m_reload, &QPushButton::clicked, this, &DocumentNotices::reloadClicked);
    connect(ignore, &QPushButton::clicked, this, &DocumentNotices::hideDisk);
}

void DocumentNotices::showDisk(Disk kind, bool unsaved)
{
    QString text;
    if (kind == Disk::Removed)
        text = QStringLiteral("Another program has removed this file. Save writes it again.");
    else if (unsaved)
        text = QStringLiteral("Another program has changed this file, and this document has unsaved changes too.");
    else
        text = QStringLiteral("Another program has changed this file.");
    m_diskText->setText(text);
    m_reload->setVisible(kind == Disk::Changed);
    m_disk->show();
}

void DocumentNotices::hideDisk()
{
    m_disk->hide();
}

void DocumentNotices::showCut(bool shown)
{
    m_cut->setVisible(shown);
}

void DocumentNotices::showBackupFailure(const QString &why)
{
    m_backup->setText(QStringLiteral("Unsaved changes are not being backed up: ") + why);
    m_backup->setVisible(!why.isEmpty());
}

void DocumentNotices::showOffer(const QString &text, const QString &button, std::function<void()> action)
{
    m_offerText->setText(text);
    m_offerButton->setText(button);
    m_offerAction = std::move(action);
    m_offer->show();
}
