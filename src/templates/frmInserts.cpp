#include "templates/frmInserts.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QVBoxLayout>

frmInserts::frmInserts(QString &insertedText)
{
    setObjectName(QStringLiteral("frmInserts"));
    setWindowTitle(QStringLiteral("Insert Text"));
    setAttribute(Qt::WA_DeleteOnClose);
    txtInserts = new QPlainTextEdit(this);
    txtInserts->setObjectName(QStringLiteral("txtInserts"));
    Label1 = new QLabel(QStringLiteral("PRESS \"F4\" TO INSERT THE TEXT INTO YOUR DOCUMENT."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(txtInserts);
    layout->addWidget(Label1);
    resize(420, 260);
    connect(txtInserts, &QPlainTextEdit::textChanged, this, [this, &insertedText] { insertedText = boxText(); });
}

QString frmInserts::boxText() const
{
    // toPlainText() turns non-breaking spaces into plain ones; the raw text
    // keeps every character and marks line breaks as separators.
    QString text = txtInserts->document()->toRawText();
    for (QChar &c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u'\n';
    }
    return text;
}
