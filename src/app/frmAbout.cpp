#include "app/frmAbout.h"

#include "ui/AppContext.h"
#include "ui/CenterForm.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

// The program's artwork, drawn rather than shipped.
QPixmap artwork(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, size, size);
    gradient.setColorAt(0, QColor(0x2b, 0x5d, 0x8a));
    gradient.setColorAt(1, QColor(0x1b, 0x8a, 0x7a));
    p.setBrush(gradient);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(4, 4, size - 8, size - 8), size / 6.0, size / 6.0);
    QPen ring(Qt::white, size / 10.0);
    p.setPen(ring);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(size * 0.25, size * 0.25, size * 0.5, size * 0.5));
    p.setPen(QPen(QColor(255, 255, 255, 170), size / 28.0));
    p.drawLine(QPointF(size * 0.62, size * 0.72), QPointF(size * 0.8, size * 0.3));
    return pixmap;
}

} // namespace

frmAbout::frmAbout()
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About ") + AppContext::appTitle());
    setFixedSize(500, 571);

    lblProgTitle = new QLabel(this);
    lblProgTitle->setObjectName(QStringLiteral("lblProgTitle"));
    QFont titleFont = lblProgTitle->font();
    titleFont.setPointSize(12);
    titleFont.setBold(true);
    lblProgTitle->setFont(titleFont);
    lblProgTitle->setText(AppContext::appTitle());
    lblProgTitle->adjustSize();
    lblProgTitle->move(0, 24);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(artwork(220));
    Image1->setGeometry((width() - 220) / 2, 70, 220, 220);

    lblCopyright = new QLabel(this);
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));
    lblCopyright->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblCopyright->setWordWrap(true);
    lblCopyright->setText(QStringLiteral("Designed and written by the Orvane developers at Tavrent.\n"
                                         "Version %1, released December 2026.\n\n"
                                         "All rights reserved.")
                              .arg(QStringLiteral(ORVANE_VERSION)));
    lblCopyright->setFixedWidth(400);
    lblCopyright->adjustSize();
    lblCopyright->move(0, 320);

    // Works as the window's OK button; a label shows no access key.
    Label1 = new QLabel(QStringLiteral("OK"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont okFont = Label1->font();
    okFont.setPointSize(18);
    okFont.setBold(true);
    Label1->setFont(okFont);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setGeometry((width() - 120) / 2, 480, 120, 50);
    Label1->setCursor(Qt::PointingHandCursor);
    Label1->installEventFilter(this);

    centreLabels();
}

void frmAbout::centreLabels()
{
    lblProgTitle->move(width() / 2 - lblProgTitle->width() / 2, lblProgTitle->y());
    lblCopyright->move(width() / 2 - lblCopyright->width() / 2, lblCopyright->y());
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label1) {
        if (event->type() == QEvent::MouseButtonPress) {
            Label1->setFrameStyle(QFrame::Box | QFrame::Plain);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            Label1->setFrameStyle(QFrame::NoFrame);
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (Label1->rect().contains(mouse->position().toPoint()))
                close();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmAbout::keyPressEvent(QKeyEvent *event)
{
    // The OK label is no button, but answers the keys a button would.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

frmAbout *frmAbout::showAbout(SingleWindows &windows)
{
    frmAbout *about = windows.get<frmAbout>(QStringLiteral("frmAbout"), [] { return new frmAbout; });
    CenterForm(about);
    about->show();
    about->raise();
    about->activateWindow();
    return about;
}
