#pragma once

#include "ui/DocumentTarget.h"

#include <QPointer>
#include <QWidget>

struct AppContext;
class DocumentHost;
class QLabel;
class QLineEdit;
class QNetworkAccessManager;
class QNetworkReply;
class QPushButton;
class RichTextBox;

// Shows the text behind a web address; "G&rab text" puts the selection into
// the document whose slot is in Tag. The load runs in the background: the
// window keeps repainting, and Esc or "&Cancel" stops a slow one.
class frmUrlSnip : public QWidget
{
    Q_OBJECT

public:
    frmUrlSnip(AppContext &ctx, DocumentHost &docs);

    QString Tag;
    DocumentRef Document; // the document the text goes into
    QLineEdit *txtAddress = nullptr;
    RichTextBox *txtUrl = nullptr;
    QLabel *Label3 = nullptr;  // "Working" or "Idle"
    QLabel *lblSize = nullptr; // "N Bytes"
    QPushButton *Command1 = nullptr; // &Load
    QPushButton *Command2 = nullptr; // G&rab text
    QPushButton *Command3 = nullptr; // &Cancel

    // The body as text: by the Content-Type's charset, else UTF-8 when it is
    // valid UTF-8, else Windows-1252.
    static QString decodeBody(const QByteArray &body, const QByteArray &contentType);

    // The most bytes an answer may have: a larger one announced is refused
    // before it is read, one that runs past it is stopped there.
    qint64 bodyLimit = 256 * 1024 * 1024;

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    void load();
    void finished();
    void stop();
    void loadFailed(const QString &why);
    // Stops the load for the reason given, which the failure then tells.
    void refuse(const QString &why);
    QString tooBig() const;

    AppContext &m_ctx;
    QNetworkAccessManager *m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    bool m_stoppedByUser = false;
    QString m_refusal;
};
