#include "core/SettingsStore.h"

#include "core/IniFile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

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

const SettingsStore::KeyInfo kKeys[] = {
    {SettingsStore::Key::TemplatesDir, true, "Software\\Tavrent\\Orvane", "TempDir", QMetaType::QString, "", 1},
    {SettingsStore::Key::ViewerFile, true, "Software\\Tavrent\\Orvane\\External Viewers", "File%1", QMetaType::QString, "", 3},
    {SettingsStore::Key::ViewerTitle, true, "Software\\Tavrent\\Orvane\\External Viewers", "Title%1", QMetaType::QString, "", 3},
    {SettingsStore::Key::RecentItem, false, "Settings", "RecentItem%1", QMetaType::QString, "", 15},
    {SettingsStore::Key::CodeView, false, "Options", "CodeView", QMetaType::Bool, "0", 1},
    {SettingsStore::Key::WordWrap, false, "Options", "WordWrap", QMetaType::Bool, "0", 1},
    {SettingsStore::Key::NewLineBreaks, false, "Options", "NewLineBreaks", QMetaType::QString, "CrLf", 1},
    {SettingsStore::Key::CodeFontFamily, false, "Options", "CodeFontFamily", QMetaType::QString, "", 1},
    {SettingsStore::Key::CodeFontSize, false, "Options", "CodeFontSize", QMetaType::Int, "0", 1},
    {SettingsStore::Key::Tabs, false, "Options", "Tabs", QMetaType::Bool, "0", 1},
    {SettingsStore::Key::ReopenDocuments, false, "Options", "ReopenDocuments", QMetaType::Bool, "0", 1},
    {SettingsStore::Key::SessionDocument, false, "Session", "Document%1", QMetaType::QString, "", 100},
    {SettingsStore::Key::FieldLabel, false, "Fields", "Label%1", QMetaType::QString, "", 50},
    {SettingsStore::Key::FieldAnswer, false, "Fields", "Answer%1", QMetaType::QString, "", 50},
};

} // namespace

// What every copy of one store shares: the files' values as read and
// changed, the changes not yet written, and the timer that writes them.
struct SettingsStore::State {
    QHash<QString, QMap<QString, QString>> values;
    QHash<QString, QList<Change>> pending;
    std::unique_ptr<QTimer> timer;
    std::function<bool()> flush;
    ~State()
    {
        if (flush)
            flush();
    }
};

SettingsStore::SettingsStore(const QString &configDir, const QString &programDir)
    : m_configDir(withSlash(configDir)), m_programDir(withSlash(programDir)), m_state(std::make_shared<State>())
{
    // The state flushes itself when the last copy goes: it must not hold
    // this copy, which may be gone by then.
    State *state = m_state.get();
    m_state->flush = [state] {
        bool ok = true;
        for (auto it = state->pending.begin(); it != state->pending.end();) {
            const QString file = it.key();
            QDir().mkpath(QFileInfo(file).absolutePath());
            QLockFile lock(file + QStringLiteral(".lock"));
            bool written = false;
            if (lock.tryLock(10000)) {
                QMap<QString, QString> fresh = IniFile::read(file);
                for (const Change &change : std::as_const(it.value()))
                    change(fresh);
                written = IniFile::write(file, fresh);
                if (written)
                    state->values[file] = std::move(fresh); // another copy's changes too
            }
            if (written) {
                it = state->pending.erase(it);
            } else {
                ok = false;
                ++it;
            }
        }
        return ok;
    };
}

const SettingsStore::KeyInfo &SettingsStore::info(Key key)
{
    for (const KeyInfo &k : kKeys) {
        if (k.key == key)
            return k;
    }
    Q_UNREACHABLE();
}

QVariant SettingsStore::value(Key key, int index) const
{
    const KeyInfo &k = info(key);
    const QString name = k.count > 1 ? QString::fromLatin1(k.name).arg(index) : QString::fromLatin1(k.name);
    QString text = k.registry ? RegReadString(QString::fromLatin1(k.group), name)
                              : ReadUserSetting(QStringLiteral("Orvane"), QString::fromLatin1(k.group), name, QString());
    if (text.isNull() || (k.registry && text.isEmpty()))
        text = QString::fromLatin1(k.fallback);
    if (k.type == QMetaType::Bool)
        return text == QLatin1String("1");
    return text;
}

void SettingsStore::setValue(Key key, const QVariant &value, int index)
{
    const KeyInfo &k = info(key);
    const QString name = k.count > 1 ? QString::fromLatin1(k.name).arg(index) : QString::fromLatin1(k.name);
    const QString text = k.type == QMetaType::Bool ? QString::fromLatin1(value.toBool() ? "1" : "0") : value.toString();
    if (k.registry)
        RegWriteString(QString::fromLatin1(k.group), name, text);
    else
        WriteUserSetting(QStringLiteral("Orvane"), QString::fromLatin1(k.group), name, text);
}

const QMap<QString, QString> &SettingsStore::values(const QString &file) const
{
    auto it = m_state->values.find(file);
    if (it == m_state->values.end())
        it = m_state->values.insert(file, IniFile::read(file));
    return *it;
}

bool SettingsStore::flush()
{
    if (m_state->timer)
        m_state->timer->stop();
    return m_state->flush();
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

bool SettingsStore::update(const QString &file, const Change &change)
{
    values(file);
    change(m_state->values[file]);
    m_state->pending[file].append(change);
    if (!m_state->timer) {
        m_state->timer = std::make_unique<QTimer>();
        m_state->timer->setSingleShot(true);
        m_state->timer->setInterval(kWriteDelayMs);
        State *state = m_state.get();
        m_state->timer->callOnTimeout([state] { state->flush(); });
    }
    m_state->timer->start();
    return true;
}

bool SettingsStore::RegWriteStrings(const QString &subkey, const QStringList &names, const QStringList &data)
{
    // Kept until written: the change holds copies of what it needs.
    return update(registryFile(), [subkey, names, data](IniFile::Values &values) {
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
    return values(registryFile()).value(settingsKey(subkey, name));
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
    const IniFile::Values &stored = values(userSettingsFile(application));
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
    return UpdateUserSettings(application, section, keys, [values](QStringList &stored) { stored = values; });
}

bool SettingsStore::UpdateUserSettings(const QString &application, const QString &section, const QStringList &keys,
                                       const std::function<void(QStringList &values)> &change)
{
    return update(userSettingsFile(application), [section, keys, change](IniFile::Values &stored) {
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
    QString dir = value(Key::TemplatesDir).toString().trimmed();
    if (dir.isEmpty())
        dir = ProgramDirectory() + QStringLiteral("Templates/");
    return dir;
}

void SettingsStore::LoadExternalViewers(ExternalViewerTable &table) const
{
    for (int i = 0; i < 3; ++i) {
        const QString file = value(Key::ViewerFile, i).toString();
        const QString title = value(Key::ViewerTitle, i).toString();
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
