#pragma once

#include <QStringList>

namespace CommandLine {

// Splits a command line into a program and its arguments the way a POSIX
// shell splits words, without running a shell: blanks separate words;
// single quotes keep everything up to the next single quote; double quotes
// keep everything but a backslash before ", \, $ or `; a backslash outside
// quotes keeps the next character. An unclosed quote runs to the end.
QStringList split(const QString &command);

} // namespace CommandLine
