#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;

// A text kept at hand: every change goes to the program's InsertedText,
// which F4 puts into the active document, also after this window has closed.
class frmInserts : public QWidget
{
    Q_OBJECT

public:
    explicit frmInserts(QString &insertedText);

    QPlainTextEdit *txtInserts = nullptr;
    QLabel *Label1 = nullptr;

private:
    // The box's text exactly as typed or pasted; line breaks as LF.
    QString boxText() const;
};
