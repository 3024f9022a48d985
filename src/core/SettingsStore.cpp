#include "core/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include "core/IniFile.h"

#include <QStandardPaths>

const QString SettingsStore::kOrvaneKey = QStringLiteral("Software\\Tavrent\\Orvane");
const QString SettingsStore::kViewersKey = SettingsStore::kOrvaneKey + QStringLiteral("\\External Viewers");

namespace {

// "Software\Tavrent\Orvane\External Viewers" + "File0" -> "External Viewers/File0".
// Keys outside the program's own key keep their whole path.
QString settingsKey(const QString &subkey, const QString &name)
{
    QString path = subkey;
    if (path.compare(SettingsStore::kOrvaneKey, Qt::CaseInsensitive) == 0)
        path.clear();
    else if (path.startsWith(SettingsStore::kOrvaneKey + QLatin1Char('\\'), Qt::CaseInsensitive))
        path = path.mid(SettingsStore::kOrvaneKey.size() + 1);
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path.isEmpty() ? name : path + QLatin1Char('/') + name;
}

QString withSlash(QString dir)
{
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

} // namespace

SettingsStore::SettingsStore(const QString &configDir, const QString &programDir)
    : m_configDir(withSlash(configDir)), m_programDir(withSlash(programDir))
{
}

SettingsStore SettingsStore::forCurrentUser()
{
    return SettingsStore(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
                         QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Orvane"));
}

QString SettingsStore::registryFile() const
{
    return m_configDir + QStringLiteral("Tavrent/Orvane.conf");
}

QString SettingsStore::userSettingsFile(const QString &application) const
{
    return m_configDir + application + QLatin1Char('/') + application + QStringLiteral(".conf");
}

bool SettingsStore::update(const QString &file, const std::function<void(QMap<QString, QString> &)> &change)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    QLockFile lock(file + QStringLiteral(".lock"));
    if (!lock.tryLock(10000))
        return false;
    IniFile::Values values = IniFile::read(file);
    change(values);
    return IniFile::write(file, values);
}

bool SettingsStore::RegWriteStrings(const QString &subkey, const QStringList &names, const QStringList &data)
{
    return update(registryFile(), [&](IniFile::Values &values) {
        for (qsizetype i = 0; i < names.size(); ++i) {
            const QString v = data.value(i);
            values.insert(settingsKey(subkey, names[i]), v.isEmpty() ? QStringLiteral(" ") : v);
        }
    });
}

bool SettingsStore::RegWriteString(const QString &subkey, const QString &name, const QString &data)
{
    return RegWriteStrings(subkey, {name}, {data});
}

QString SettingsStore::RegReadString(const QString &subkey, const QString &name) const
{
    return IniFile::read(registryFile()).value(settingsKey(subkey, name));
}

QString SettingsStore::ReadUserSetting(const QString &application, const QString &section, const QString &key,
                                       const QString &defaultValue) const
{
    const QString value = ReadUserSettings(application, section, {key}).first();
    return value.isNull() ? defaultValue : value;
}

bool SettingsStore::WriteUserSetting(const QString &application, const QString &section, const QString &key,
                                     const QString &value)
{
    return WriteUserSettings(application, section, {key}, {value});
}

QStringList SettingsStore::ReadUserSettings(const QString &application, const QString &section,
                                            const QStringList &keys) const
{
    const IniFile::Values stored = IniFile::read(userSettingsFile(application));
    QStringList values;
    for (const QString &key : keys) {
        const auto it = stored.constFind(section + QLatin1Char('/') + key);
        // A missing key reads as a null string, a stored empty one as "".
        values << (it == stored.constEnd() ? QString() : it->isNull() ? QStringLiteral("") : *it);
    }
    return values;
}

bool SettingsStore::WriteUserSettings(const QString &application, const QString &section, const QStringList &keys,
                                      const QStringList &values)
{
    return UpdateUserSettings(application, section, keys, [&](QStringList &stored) { stored = values; });
}

bool SettingsStore::UpdateUserSettings(const QString &application, const QString &section, const QStringList &keys,
                                       const std::function<void(QStringList &values)> &change)
{
    return update(userSettingsFile(application), [&](IniFile::Values &stored) {
        QStringList values;
        for (const QString &key : keys)
            values << stored.value(section + QLatin1Char('/') + key);
        change(values);
        for (qsizetype i = 0; i < keys.size(); ++i)
            stored.insert(section + QLatin1Char('/') + keys[i], values.value(i));
    });
}

QString SettingsStore::LoadSettings() const
{
    QString dir = RegReadString(kOrvaneKey, QStringLiteral("TempDir")).trimmed();
    if (dir.isEmpty())
        dir = ProgramDirectory() + QStringLiteral("Templates/");
    return dir;
}

void SettingsStore::LoadExternalViewers(ExternalViewerTable &table) const
{
    for (int i = 0; i < 3; ++i) {
        const QString file = RegReadString(kViewersKey, QStringLiteral("File") + QString::number(i));
        const QString title = RegReadString(kViewersKey, QStringLiteral("Title") + QString::number(i));
        if (file.trimmed().isEmpty())
            continue;
        table[size_t(i)].File = file;
        table[size_t(i)].Title = title.trimmed().isEmpty() ? QString::fromLatin1(kDefaultViewerTitle) : title;
    }
}

bool SettingsStore::SaveExternalViewers(const ExternalViewerTable &table)
{
    QStringList names;
    QStringList data;
    for (int i = 0; i < 3; ++i) {
        names << QStringLiteral("File") + QString::number(i) << QStringLiteral("Title") + QString::number(i);
        data << table[size_t(i)].File << table[size_t(i)].Title;
    }
    // One write for the whole table: a failure leaves the old table whole.
    return RegWriteStrings(kViewersKey, names, data);
}

QString SettingsStore::ProgramDirectory() const
{
    return m_programDir;
}

bool SettingsStore::EnsureProgramSubdirectory(const QString &name) const
{
    const QString path = ProgramDirectory() + name;
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        return true;
    return QDir().mkpath(path);
}
