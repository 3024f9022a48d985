#pragma once

#include "platform/Printer.h"

// Prints plain text with Qt's print engine: on the default printer, or into
// a PDF file when one is named (what the tests read back).
class QtPrinter : public Printer
{
public:
    explicit QtPrinter(const QString &pdfFile = QString());
    bool printText(const QString &text, QString *error) override;

private:
    QString m_pdfFile;
};
