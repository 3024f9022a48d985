#pragma once

#include <QDialog>

struct AppContext;
class FileChooser;
class QLineEdit;
class QListWidget;
class QPushButton;

// The Install Template window: browse to template files, collect their
// paths, and copy them all into the templates directory at once.
class frmTemplates : public QDialog
{
    Q_OBJECT

public:
    frmTemplates(AppContext &ctx, QWidget *parent);

    FileChooser *chooser = nullptr; // drvTemplates, DirTemplates, fleTemplates
    QLineEdit *txtTemplates = nullptr;
    QListWidget *lstTemplates = nullptr;
    QPushButton *Command1 = nullptr; // &add
    QPushButton *Command2 = nullptr; // Delete
    QPushButton *Command3 = nullptr; // &Import
    QPushButton *Command4 = nullptr; // &Clear

private:
    void import();

    AppContext &m_ctx;
};
