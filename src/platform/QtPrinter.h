#pragma once

#include "platform/Printer.h"

class QPrinter;

// Prints plain text with Qt's print engine: on the default printer, or into
// a PDF file when one is named (what the tests read back).
class QtPrinter : public Printer
{
public:
    explicit QtPrinter(const QString &pdfFile = QString());
    bool printText(const QString &text, QString *error) override;

    // How text is laid out on a printer's pages: what Print, the print
    // preview and the PDF export share.
    static void paintText(const QString &text, QPrinter *printer);

private:
    QString m_pdfFile;
};
