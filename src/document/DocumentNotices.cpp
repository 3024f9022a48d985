#include "document/DocumentNotices.h"

#include "ui/NamedButton.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

struct NoticeButton {
    QPushButton **made;
    const char *name;
    QString caption;
};

// A notice with a text and buttons at its right, hidden until shown.
QFrame *noticeFrame(QWidget *parent, const char *name, QLabel **text, std::initializer_list<NoticeButton> buttons)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    frame->setAutoFillBackground(true);
    frame->setBackgroundRole(QPalette::ToolTipBase);
    *text = new QLabel(frame);
    (*text)->setWordWrap(true);
    auto *row = new QHBoxLayout(frame);
    row->setContentsMargins(6, 3, 6, 3);
    row->addWidget(*text, 1);
    for (const NoticeButton &b : buttons) {
        *b.made = namedButton(frame, b.name, b.caption);
        row->addWidget(*b.made);
    }
    frame->hide();
    return frame;
}

} // namespace

DocumentNotices::DocumentNotices(qsizetype longLineMb, qsizetype shownMb, QWidget *parent)
    : QWidget(parent)
{
    QPushButton *ignore = nullptr;
    m_disk = noticeFrame(this, "fraDiskNotice", &m_diskText, {{&m_reload, "cmdReload", QStringLiteral("&Reload")},
                                                              {&ignore, "cmdIgnore", QStringLiteral("I&gnore")}});
    m_diskText->setObjectName(QStringLiteral("lblDiskNotice"));
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
    QPushButton *hide = nullptr;
    m_offer = noticeFrame(this, "fraOffer", &m_offerText, {{&m_offerButton, "cmdOffer", QString()},
                                                           {&hide, "cmdHideOffer", QStringLiteral("&Hide")}});
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
