#pragma once

#include "platform/Printer.h"

class QPrinter;

// Prints with Qt's print engine: on the default printer, or into a PDF file
// when one is named (what the tests read back).
class QtPrinter : public Printer
{
public:
    explicit QtPrinter(const QString &pdfFile = QString());
    bool printText(const PrintedText &text, QString *error) override;
    void preview(const PrintedText &text, QWidget *parent) override;
    bool exportPdf(const PrintedText &text, const QString &path) override;

private:
    // How text is laid out on a printer's pages: what all three share.
    static void paintText(const PrintedText &text, QPrinter *printer);

    QString m_pdfFile;
};
