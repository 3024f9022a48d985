#include "platform/QtPrinter.h"

#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>

void QtPrinter::paintText(const PrintedText &printed, QPrinter *printer)
{
    const QString &text = printed.text;
    QTextDocument doc;
    if (printed.font)
        doc.setDefaultFont(*printed.font);
    QTextCursor cursor(&doc);
    // A piece's CR LF breaks become the document's LF; a CR whose LF starts
    // the next piece goes with it.
    qsizetype at = 0;
    const auto insert = [&](qsizetype length, const QTextCharFormat &format) {
        QString piece = text.mid(at, length);
        at += length;
        if (piece.endsWith(QLatin1Char('\r')) && at < text.size() && text.at(at) == QLatin1Char('\n'))
            piece.chop(1);
        cursor.insertText(piece.replace(QStringLiteral("\r\n"), QStringLiteral("\n")), format);
    };
    if (printer->colorMode() == QPrinter::Color) {
        for (const PrintedText::Run &run : printed.colours) {
            QTextCharFormat format;
            format.setForeground(run.color);
            insert(qMin<qsizetype>(run.length, text.size() - at), format);
        }
    }
    insert(text.size() - at, QTextCharFormat());
    cursor.insertText(QStringLiteral("\n"));
    doc.print(printer);
}

QtPrinter::QtPrinter(const QString &pdfFile)
    : m_pdfFile(pdfFile)
{
}

bool QtPrinter::printText(const PrintedText &text, QString *error)
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

void QtPrinter::preview(const PrintedText &text, QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&text](QPrinter *p) { paintText(text, p); });
    dialog.exec();
}

bool QtPrinter::exportPdf(const PrintedText &text, const QString &path)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    paintText(text, &printer);
    return printer.printerState() != QPrinter::Error && QFileInfo(path).isFile();
}
