#pragma once

#include <QLabel>

// A status bar panel that never draws over its neighbours: it asks for the
// width of its whole text, can be squeezed to a few characters, and then
// shows its text cut with "…"; the full text is always in the tooltip.
class StatusPanel : public QLabel
{
    Q_OBJECT

public:
    explicit StatusPanel(const QString &text, QWidget *parent = nullptr);

    void setText(const QString &text);
    // A second line for the tooltip, below the whole text.
    void setDetail(const QString &detail);
    // What the panel draws: the text, cut to fit when it must be.
    QString shownText() const;

    QSize minimumSizeHint() const override;

signals:
    // A left click on the panel.
    void clicked();

private:
    QString m_detail;

protected:
    void paintEvent(QPaintEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
};
