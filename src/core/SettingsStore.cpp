#include "core/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
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

void SettingsStore::RegWriteString(const QString &subkey, const QString &name, const QString &data)
{
    QSettings s(registryFile(), QSettings::IniFormat);
    s.setValue(settingsKey(subkey, name), data.isEmpty() ? QStringLiteral(" ") : data);
    s.sync();
}

QString SettingsStore::RegReadString(const QString &subkey, const QString &name) const
{
    const QSettings s(registryFile(), QSettings::IniFormat);
    if (s.status() != QSettings::NoError)
        return QString();
    return s.value(settingsKey(subkey, name)).toString();
}

QString SettingsStore::ReadUserSetting(const QString &application, const QString &section, const QString &key,
                                       const QString &defaultValue) const
{
    const QString value = ReadUserSettings(application, section, {key}).first();
    return value.isNull() ? defaultValue : value;
}

void SettingsStore::WriteUserSetting(const QString &application, const QString &section, const QString &key,
                                     const QString &value)
{
    WriteUserSettings(application, section, {key}, {value});
}

QStringList SettingsStore::ReadUserSettings(const QString &application, const QString &section,
                                            const QStringList &keys) const
{
    const QSettings s(userSettingsFile(application), QSettings::IniFormat);
    QStringList values;
    for (const QString &key : keys) {
        const QVariant v = s.value(section + QLatin1Char('/') + key);
        // A missing key reads as a null string, a stored empty one as "".
        values << (v.isValid() ? v.toString() : QString());
    }
    return values;
}

void SettingsStore::WriteUserSettings(const QString &application, const QString &section, const QStringList &keys,
                                      const QStringList &values)
{
    QSettings s(userSettingsFile(application), QSettings::IniFormat);
    for (qsizetype i = 0; i < keys.size(); ++i)
        s.setValue(section + QLatin1Char('/') + keys[i], values.value(i));
    s.sync();
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

void SettingsStore::SaveExternalViewers(const ExternalViewerTable &table)
{
    for (int i = 0; i < 3; ++i) {
        RegWriteString(kViewersKey, QStringLiteral("File") + QString::number(i), table[size_t(i)].File);
        RegWriteString(kViewersKey, QStringLiteral("Title") + QString::number(i), table[size_t(i)].Title);
    }
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
