#pragma once

#include <QString>

// The one filter text of the open and save dialogs, and its conversion to
// the "Description (*.a *.b);;..." form that Qt's file dialogs take.
namespace FileFilter {

extern const QString kDocumentFilter;

// "desc|pattern|desc|pattern..." -> "desc (pattern pattern);;..."
QString toQtFilter(const QString &pipeSeparated);

} // namespace FileFilter
