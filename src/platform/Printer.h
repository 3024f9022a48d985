#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QVector>
#include <optional>

class QWidget;

// Text to put on paper and how it looks: in the printer's own font and
// ink, or in a given font with runs of colour (how the code view shows it).
struct PrintedText {
    PrintedText(const QString &plain = QString()) : text(plain) {}

    QString text; // line breaks as CR LF
    std::optional<QFont> font;
    struct Run {
        int length; // in UTF-16 units of text
        QColor color;
    };
    // From the start of text on; what they leave is in the default ink. Used
    // where the printer prints in colour.
    QVector<Run> colours;
};

// Puts text on paper: one job on the default printer, a preview of the
// pages, or the pages in a PDF file.
class Printer
{
public:
    virtual ~Printer() = default;
    // Prints text followed by a line end. Returns false with the platform's
    // description of the failure in *error.
    virtual bool printText(const PrintedText &text, QString *error) = 0;
    // Shows the pages printText would print, in a modal window over parent.
    virtual void preview(const PrintedText &text, QWidget *parent) = 0;
    // Writes the pages into the PDF file path; false when it could not.
    virtual bool exportPdf(const PrintedText &text, const QString &path) = 0;
};
