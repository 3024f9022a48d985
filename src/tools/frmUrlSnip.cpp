#include "tools/frmUrlSnip.h"

#include "core/FileIO.h"
#include "core/TextFileCodec.h"
#include "platform/Dialogs.h"
#include "tools/frmSnip.h"
#include "ui/AppContext.h"
#include "ui/NamedButton.h"
#include "ui/RichTextBox.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStringDecoder>

namespace {
constexpr int kTimeoutMs = 30000;
}

frmUrlSnip::frmUrlSnip(AppContext &ctx, DocumentHost &docs)
    : m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmUrlSnip"));
    setWindowTitle(QStringLiteral("URL SNIP TOOL"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_network = new QNetworkAccessManager(this);
    txtAddress = new QLineEdit(this);
    txtAddress->setObjectName(QStringLiteral("txtAddress"));
    txtUrl = new RichTextBox(this);
    txtUrl->setObjectName(QStringLiteral("txtUrl"));
    txtUrl->setReadOnly(true);
    Label3 = new QLabel(QStringLiteral("Idle"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    lblSize = new QLabel(this);
    lblSize->setObjectName(QStringLiteral("lblSize"));
    Command1 = namedButton(this, "Command1", QStringLiteral("&Load"));
    Command2 = namedButton(this, "Command2", QStringLiteral("G&rab text"));
    Command3 = namedButton(this, "Command3", QStringLiteral("&Cancel"));
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Please Enter URL "), this), 0, 0);
    grid->addWidget(txtAddress, 0, 1, 1, 3);
    grid->addWidget(Command1, 0, 4);
    grid->addWidget(new QLabel(QStringLiteral("Please Enter the url address then press load."), this), 1, 0, 1, 5);
    grid->addWidget(txtUrl, 2, 0, 1, 5);
    grid->addWidget(Label3, 3, 0);
    grid->addWidget(lblSize, 3, 1);
    grid->addWidget(Command2, 3, 3);
    grid->addWidget(Command3, 3, 4);
    resize(620, 460);

    connect(Command1, &QPushButton::clicked, this, &frmUrlSnip::load);
    connect(txtAddress, &QLineEdit::returnPressed, this, &frmUrlSnip::load);
    connect(Command2, &QPushButton::clicked, this, [this, &docs] { grabInto(m_ctx, docs, Document, txtUrl, this); });
    // While loading, Cancel stops the load; otherwise it closes the tool.
    connect(Command3, &QPushButton::clicked, this, [this] {
        if (m_reply)
            stop();
        else
            close();
    });
    connect(txtUrl, &RichTextBox::DoubleClick, txtUrl, [this] { txtUrl->selectAll(); });
}

void frmUrlSnip::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape && m_reply)
        stop();
    else
        QWidget::keyPressEvent(e);
}

void frmUrlSnip::load()
{
    const QString address = txtAddress->text();
    if (address.isEmpty() || m_reply)
        return;
    txtUrl->SetText(QString());
    lblSize->clear(); // a size belongs to the text shown
    const QUrl url(address);
    // A local file is read as every file is: a named pipe would block the
    // window until a writer came, a device would never end.
    if (url.isLocalFile()) {
        QByteArray bytes;
        if (const FileIO::Failure failure = FileIO::readWholeFile(url.toLocalFile(), &bytes)) {
            loadFailed(failure.description);
            return;
        }
        txtUrl->setTextBytes(TextFileCodec::decode(std::move(bytes), false).text);
        lblSize->setText(QString::number(txtUrl->TextLength()) + QStringLiteral(" Bytes"));
        return;
    }
    Label3->setText(QStringLiteral("Working"));
    QNetworkRequest request{url};
    request.setTransferTimeout(kTimeoutMs);
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::finished, this, &frmUrlSnip::finished);
    // An answer larger than the tool holds would take the memory of every
    // open document with it.
    const auto sizeText = [](qint64 n) { return QLocale::c().formattedDataSize(n, 1, QLocale::DataSizeTraditionalFormat); };
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this, sizeText] {
        const qint64 announced = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (announced > bodyLimit)
            refuse(QStringLiteral("the server announces %1, more than the snip tool takes (%2)")
                       .arg(sizeText(announced), sizeText(bodyLimit)));
    });
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received > bodyLimit)
            refuse(tooBig());
    });
}

void frmUrlSnip::finished()
{
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    const QByteArray body = reply->error() == QNetworkReply::NoError ? reply->read(bodyLimit + 1) : QByteArray();
    if (body.size() > bodyLimit) {
        loadFailed(tooBig()); // arrived whole before it could be stopped
    } else if (reply->error() == QNetworkReply::NoError) {
        txtUrl->SetText(decodeBody(body, reply->header(QNetworkRequest::ContentTypeHeader).toByteArray()));
        lblSize->setText(QString::number(txtUrl->TextLength()) + QStringLiteral(" Bytes"));
    } else if (!m_refusal.isEmpty()) {
        loadFailed(m_refusal);
    } else if (!m_stoppedByUser) {
        // A time-out ends the transfer as "canceled" too: say what it was.
        // An address without a scheme is passed on as typed; Qt's answer,
        // 'Protocol "" is unknown', would not tell the user what to do.
        const bool noScheme = reply->error() == QNetworkReply::ProtocolUnknownError && reply->url().scheme().isEmpty();
        QString why = reply->error() == QNetworkReply::OperationCanceledError
                          ? QStringLiteral("no answer within %1 seconds").arg(kTimeoutMs / 1000)
                      : noScheme ? QStringLiteral("Add http:// or https:// in front of the address")
                                 : reply->errorString().trimmed();
        // Some of the network library's messages end where their detail
        // would be ("Decompression failed: ").
        if (why.endsWith(u':'))
            why = why.chopped(1) + QStringLiteral(": the server's answer could not be read as sent");
        loadFailed(why);
    }
    m_stoppedByUser = false;
    m_refusal.clear();
    Label3->setText(QStringLiteral("Idle"));
}

void frmUrlSnip::loadFailed(const QString &why)
{
    m_ctx.dialogs.message(QStringLiteral("The address ") + txtAddress->text() + QStringLiteral(" could not be loaded:\r\n") + why,
                          Dialogs::Buttons::Ok, Dialogs::Icon::Warning, AppContext::appTitle());
}

QString frmUrlSnip::tooBig() const
{
    return QStringLiteral("the answer is larger than the snip tool takes (%1); the load was stopped")
        .arg(QLocale::c().formattedDataSize(bodyLimit, 1, QLocale::DataSizeTraditionalFormat));
}

void frmUrlSnip::refuse(const QString &why)
{
    if (!m_reply || !m_refusal.isEmpty())
        return;
    m_refusal = why;
    m_reply->abort();
}

void frmUrlSnip::stop()
{
    m_stoppedByUser = true;
    m_reply->abort();
}

QString frmUrlSnip::decodeBody(const QByteArray &body, const QByteArray &contentType)
{
    QByteArray charset;
    for (const QByteArray &part : contentType.split(';')) {
        const QByteArray p = part.trimmed();
        if (p.toLower().startsWith("charset="))
            charset = p.mid(8).trimmed().replace('"', "").toLower();
    }
    const bool western = charset == "windows-1252" || charset == "cp1252" || charset == "iso-8859-1"
                         || charset == "latin1" || charset == "us-ascii";
    if (!western && !charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid())
            return decoder.decode(body);
    }
    // Windows-1252 holds every byte and is what browsers read Latin-1 as;
    // without a charset the body is UTF-8 when it is valid UTF-8.
    return western ? TextFileCodec::fromWindows1252(body) : TextFileCodec::decodeText(body);
}
