#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The installed templates: the files of the templates directory whose names
// match *.ORV, *.TET or *.tep (any case), their previews, and installing
// more of them.
namespace TemplateLibrary {

extern const QString kPatterns; // "*.ORV;*.TET; *.tep"

// The patterns of a ";"-separated list, blanks around each removed.
QStringList patterns(const QString &list);

// The template file names in dir, sorted as a file list shows them.
QStringList list(const QString &dir);

// The template's text as a document gets it (the document codec: UTF-8,
// else Windows-1252), up to its first 70 characters (code points: a
// character is never cut). "" when the file cannot be read.
QString preview(const QString &path);

// An entry's file name (after its last "/"), blanks turned into "_".
QString installedName(const QString &entry);

// Copies each entry into dir under its installed name. A copy goes through
// a temporary file, so a failure leaves an installed file as it was; an
// entry that already is the installed file is left alone, and an installed
// file with other content (two names such as "My Letter.tet" and
// "My_Letter.tet" install to one file) is replaced only when mayReplace
// (entry, installed file) says so. Returns one line per entry that failed
// ("entry: reason"); the others are still copied.
QStringList install(const QStringList &entries, const QString &dir,
                    const std::function<bool(const QString &entry, const QString &installed)> &mayReplace);

// Where `cmake --install` puts the templates, beside the installed program
// (share/orvane/templates); it need not exist.
QString installedFolder();

// Makes dir (one level) when it is missing and fills it with the files of
// the installed folder when there is one, else with the templates built
// into the program. Returns why dir could not be made, or "".
QString prepareDirectory(const QString &dir, const QString &installed = installedFolder());

} // namespace TemplateLibrary
