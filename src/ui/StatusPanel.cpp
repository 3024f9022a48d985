#include "ui/StatusPanel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

StatusPanel::StatusPanel(const QString &text, QWidget *parent)
    : QLabel(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setContentsMargins(4, 0, 4, 0);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setText(text);
}

void StatusPanel::setText(const QString &text)
{
    if (text == this->text())
        return;
    QLabel::setText(text);
    setToolTip(m_detail.isEmpty() ? text : text + u'\n' + m_detail);
}

void StatusPanel::setDetail(const QString &detail)
{
    m_detail = detail;
    setToolTip(detail.isEmpty() ? text() : text() + u'\n' + detail);
}

QString StatusPanel::shownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

QSize StatusPanel::minimumSizeHint() const
{
    // Room for a character and the ellipsis: the rest can be cut.
    const QSize full = QLabel::minimumSizeHint();
    const int narrow = fontMetrics().horizontalAdvance(QStringLiteral("W…")) + contentsMargins().left()
                       + contentsMargins().right() + 2 * frameWidth();
    return QSize(qMin(full.width(), narrow), full.height());
}

void StatusPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    drawFrame(&p);
    style()->drawItemText(&p, contentsRect(), int(alignment()), palette(), isEnabled(), shownText(), foregroundRole());
}

void StatusPanel::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(e);
}
