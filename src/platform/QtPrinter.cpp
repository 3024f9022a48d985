#include "platform/QtPrinter.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>
#include <memory>

void QtPrinter::paintText(const QString &text, QPrinter *printer)
{
    QString body = text;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextDocument doc;
    doc.setPlainText(body + QLatin1Char('\n'));
    doc.print(printer);
}

QtPrinter::QtPrinter(const QString &pdfFile)
    : m_pdfFile(pdfFile)
{
}

bool QtPrinter::printText(const QString &text, QString *error)
{
    std::unique_ptr<QPrinter> printer;
    if (m_pdfFile.isEmpty()) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull()) {
            *error = QStringLiteral("No default printer is installed.");
            return false;
        }
        printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    } else {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(m_pdfFile);
    }
    if (!printer->isValid()) {
        *error = QStringLiteral("The printer is not available.");
        return false;
    }
    paintText(text, printer.get());
    if (printer->printerState() == QPrinter::Error || printer->printerState() == QPrinter::Aborted) {
        *error = QStringLiteral("The printer refused the job.");
        return false;
    }
    return true;
}
