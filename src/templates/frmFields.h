#pragma once

#include <QDialog>
#include <QList>

struct AppContext;
class DocumentTarget;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

// Tools > Fill In Fields: every distinct prompt-field label of a document
// once, each with a box holding the answer last given for it (else the
// label), a preview of the first lines as they will read, and OK, which
// fills every answered label's fields as one undo step and remembers the
// answers. An empty box leaves that label's fields in place. When the
// document also has titles, messages or links, a check box offers to run
// Tools > Execute for them afterwards.
class frmFields : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kPreviewLines = 12;

    frmFields(AppContext &ctx, DocumentTarget &doc, QWidget *parent);

    // Runs the form for doc; a document without fields is told so. True
    // when the fields were filled and Execute is to run next.
    static bool FillIn(AppContext &ctx, DocumentTarget &doc);

    QCheckBox *chkExecute = nullptr;

private:
    QHash<QString, QString> answers() const;
    void showPreview();
    void fill();

    AppContext &m_ctx;
    DocumentTarget &m_doc;
    QString m_text;
    QStringList m_labels;
    QList<QLineEdit *> m_boxes;
    QPlainTextEdit *txtPreview = nullptr;
};
