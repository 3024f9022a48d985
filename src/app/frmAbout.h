#pragma once

#include <QWidget>

class QLabel;
class SingleWindows;

// The about window: the program's title, its artwork and a credit line,
// closed by its OK label. There is at most one.
class frmAbout : public QWidget
{
    Q_OBJECT

public:
    // Creates the window or brings the existing one forward, centred.
    static frmAbout *showAbout(SingleWindows &windows);

    QLabel *lblProgTitle = nullptr;
    QLabel *lblCopyright = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    frmAbout();
    void centreLabels();
};
