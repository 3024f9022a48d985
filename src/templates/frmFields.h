#pragma once

#include <QDialog>
#include <QList>

struct AppContext;
class DocumentTarget;
class QLineEdit;
class QPlainTextEdit;

// Tools > Fill In Fields: every distinct prompt-field label of a document
// once, each with a box holding the answer last given for it (else the
// label), a preview of the first lines as they will read, and OK, which
// fills every answered label's fields as one undo step and remembers the
// answers. An empty box leaves that label's fields in place.
class frmFields : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kPreviewLines = 12;

    frmFields(AppContext &ctx, DocumentTarget &doc, QWidget *parent);

    // Runs the form for doc; a document without fields is told so.
    static void FillIn(AppContext &ctx, DocumentTarget &doc);

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
