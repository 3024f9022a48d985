#pragma once

#include <QMap>
#include <QString>

// The settings files: INI text in the layout QSettings' IniFormat reads and
// writes ("[Group]" sections, %-escaped keys, quoted and \-escaped values,
// top-level keys under [General]), so files written by either side read
// back on the other.
//
// QSettings cannot be used to write them: it saves through QSaveFile, whose
// commit in Qt 6.4 does not report a failed final flush, so on a full disk a
// settings file was replaced by a cut one without a word. Here a file is read
// whole, changed in memory and written back through FileIO's checked,
// atomic write: a failed write leaves the previous file byte for byte.
class IniFile
{
public:
    // Keys are "Group/Key" paths, as QSettings names them.
    using Values = QMap<QString, QString>;

    // The values of the file at path; empty when it is missing or unreadable.
    static Values read(const QString &path);
    // Replaces the file with values; false (the old file untouched) on failure.
    static bool write(const QString &path, const Values &values);

    static Values parse(const QByteArray &text);
    static QByteArray serialize(const Values &values);
};
