#pragma once

#include <QWidget>

struct AppContext;
class DocumentHost;
class QLabel;
class QListWidget;
class QPushButton;

// The New Document window: start a document from an installed template, a
// blank one, or install more templates. There is at most one.
class frmNew : public QWidget
{
    Q_OBJECT

public:
    // Loads the window when there is none (the no-templates message comes
    // up then), centres it and brings it forward; the list is not read again.
    static frmNew *ShowNewFromTemplate(AppContext &ctx, DocumentHost &docs);
    // A new "Untitled" document holding the template's text, which counts
    // as a change; false when the read was given up (Abort).
    static bool CreateFromTemplate(AppContext &ctx, DocumentHost &docs, const QString &path);

    QListWidget *File1 = nullptr;
    QLabel *lblPreview = nullptr;
    QPushButton *Command1 = nullptr; // &Create
    QPushButton *Command2 = nullptr; // &Import
    QPushButton *Command3 = nullptr; // C&ancel
    QPushButton *Command4 = nullptr; // &Blank

    QString templatePath() const;

private:
    frmNew(AppContext &ctx, DocumentHost &docs);
    // Reads the templates directory into the list; Create follows it.
    void readList();

    AppContext &m_ctx;
    DocumentHost &m_docs;
};
