#pragma once

#include <QString>

// Sends text to a printer as one job.
class Printer
{
public:
    virtual ~Printer() = default;
    // Prints text followed by a line end. Returns false with the platform's
    // description of the failure in *error.
    virtual bool printText(const QString &text, QString *error) = 0;
};
