#pragma once

#include <QMap>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <functional>
#include <memory>

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
// Both are INI files under the configuration directory (see IniFile).
//
// Each file is read once into memory; reads are answered from there. A
// change is made in memory at once and written through shortly after
// (kWriteDelayMs), with the changes that came meanwhile: under the file's
// lock the file is read again, every pending change is applied to it in
// order, and the whole file is replaced atomically. So two running copies
// never lose each other's changes, and a full disk leaves the previous file
// as it was (the changes stay pending and are tried again with the next
// write). flush() writes at once and says whether it worked; the last copy
// of a store flushes when it goes.
class SettingsStore
{
public:
    static constexpr int kWriteDelayMs = 500;

    // Every value the program keeps, with its place, type and default.
    enum class Key {
        TemplatesDir, ViewerFile, ViewerTitle, RecentItem, CodeView, WordWrap, NewLineBreaks,
        CodeFontFamily, CodeFontSize, // Options > Font ("" and 0: the system's fixed-width font)
        FieldLabel, FieldAnswer, // the answers last given in Fill In Fields, latest first
        Tabs, ReopenDocuments, SessionDocument, // the documents open, a SessionEntry each
    };
    struct KeyInfo {
        Key key;
        bool registry;      // the registry-like file, else the application's
        const char *group;  // key path or section
        const char *name;   // "%1" stands for the index, from 0 or 1
        QMetaType::Type type;
        const char *fallback;
        int count;          // how many indexed values (1: not indexed)
    };
    static const KeyInfo &info(Key key);
    QVariant value(Key key, int index = 0) const;
    void setValue(Key key, const QVariant &value, int index = 0);

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

    // Writes return true: the change is made (in memory at once, in the file
    // soon); flush() says whether it reached the file.
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

    // Writes every pending change now; false when a file could not be
    // written (its changes stay pending).
    bool flush();

    // Always ends with "/".
    QString ProgramDirectory() const;
    // Creates ProgramDirectory()+name as a directory when nothing of that
    // name exists there; returns false only when creating it failed.
    bool EnsureProgramSubdirectory(const QString &name) const;

private:
    struct State;
    using Change = std::function<void(QMap<QString, QString> &)>;
    // Makes a change in memory and has it written soon.
    bool update(const QString &file, const Change &change);
    const QMap<QString, QString> &values(const QString &file) const;

    QString m_configDir;
    QString m_programDir;
    std::shared_ptr<State> m_state;
};
