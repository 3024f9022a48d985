#pragma once

#include <QWidget>

struct AppContext;
class QLineEdit;
class QPushButton;

// The settings window: the three external viewers (program and menu title)
// and the templates directory.
class frmViewSettings : public QWidget
{
    Q_OBJECT

public:
    explicit frmViewSettings(AppContext &ctx);

    QLineEdit *txtProgram[3] = {};
    QLineEdit *txtTitle[3] = {};
    QPushButton *cmdBrowse[3] = {};
    QLineEdit *txtTempDir = nullptr;
    QPushButton *cmdApply = nullptr;
    QPushButton *cmdCancel = nullptr;

    // Copies the fields into the viewer table and the templates directory.
    void ValidateAll();

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    AppContext &m_ctx;
};
