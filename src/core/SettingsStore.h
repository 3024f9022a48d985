#pragma once

#include <QString>
#include <QMap>
#include <QStringList>
#include <array>
#include <functional>

struct ExternalViewer {
    QString File;   // the program
    QString Title;  // its menu caption
};
using ExternalViewerTable = std::array<ExternalViewer, 3>;

// Everything the program keeps between runs, in two per-user stores:
//  - a registry-like key/value file (the templates directory and the
//    external viewer table), addressed by key paths such as
//    "Software\Tavrent\Orvane\External Viewers";
//  - the application settings store (the recent list), addressed by
//    application, section and key, one file per application.
// Both are INI files under the configuration directory (see IniFile). Every
// write replaces the whole file atomically and at once, so that a crash or a
// full disk loses nothing: a write that fails returns false and leaves the
// previous file as it was. Callers that must stay silent ignore the result.
class SettingsStore
{
public:
    static const QString kOrvaneKey;        // "Software\Tavrent\Orvane"
    static const QString kViewersKey;       // ... followed by "\External Viewers"
    static constexpr const char *kDefaultViewerTitle = "UnNamed Program";

    // configDir holds both stores; programDir is where the program may keep
    // its own files ("tempfile", the default "Templates").
    SettingsStore(const QString &configDir, const QString &programDir);

    // The stores of the user running the program (XDG config and data homes).
    static SettingsStore forCurrentUser();

    QString registryFile() const;
    QString userSettingsFile(const QString &application) const;

    // Stores data as a string value; an empty string is stored as one blank.
    bool RegWriteString(const QString &subkey, const QString &name, const QString &data);
    // Several values of one subkey in one write.
    bool RegWriteStrings(const QString &subkey, const QStringList &names, const QStringList &data);
    // The stored value as text ("" when the key or value is missing); a
    // number reads as its decimal text.
    QString RegReadString(const QString &subkey, const QString &name) const;

    QString ReadUserSetting(const QString &application, const QString &section, const QString &key,
                            const QString &defaultValue) const;
    bool WriteUserSetting(const QString &application, const QString &section, const QString &key,
                          const QString &value);
    // Reads keys of a section and writes them back changed, under a lock
    // file, so that two running copies never lose each other's changes.
    bool UpdateUserSettings(const QString &application, const QString &section, const QStringList &keys,
                            const std::function<void(QStringList &values)> &change);
    // The same for several keys of one section, reading or writing the file once.
    QStringList ReadUserSettings(const QString &application, const QString &section, const QStringList &keys) const;
    bool WriteUserSettings(const QString &application, const QString &section, const QStringList &keys,
                           const QStringList &values);

    // The templates directory: the stored "TempDir", trimmed, or the
    // program directory followed by "Templates/".
    QString LoadSettings() const;
    void LoadExternalViewers(ExternalViewerTable &table) const;
    bool SaveExternalViewers(const ExternalViewerTable &table);

    // Always ends with "/".
    QString ProgramDirectory() const;
    // Creates ProgramDirectory()+name as a directory when nothing of that
    // name exists there; returns false only when creating it failed.
    bool EnsureProgramSubdirectory(const QString &name) const;

private:
    // Reads the file, changes its values and writes it back, all under the
    // file's lock.
    static bool update(const QString &file, const std::function<void(QMap<QString, QString> &)> &change);

    QString m_configDir;
    QString m_programDir;
};
