#include "host/qt/QtProfileStore.h"

#include "core/MemoryProfileStore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStringList>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace {

const char* const kConfigFile = "Kinetora.conf";
const char* const kConfigGroup = "Config";
const char* const kIniFile = "Kinetora.ini";
const char* const kIniGroup = "Kinetora";
const char* const kFoldersKey = "Folders";

constexpr auto kLockTimeout = std::chrono::seconds(5);

// An exclusive advisory lock on "<file>.flock", held for the life of the object. The lock
// file stays in place: removing it would let two writers lock two different files.
class FileLock {
public:
    explicit FileLock(const std::string& file) {
        const std::string path = file + ".flock";
        m_Fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (m_Fd < 0)
            return;
        const auto deadline = std::chrono::steady_clock::now() + kLockTimeout;
        while (::flock(m_Fd, LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) ||
                std::chrono::steady_clock::now() > deadline) {
                Release();
                return;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        m_bLocked = true;
    }
    ~FileLock() { Release(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool IsLocked() const { return m_bLocked; }

private:
    void Release() {
        if (m_Fd >= 0)
            ::close(m_Fd); // closing drops the lock
        m_Fd = -1;
        m_bLocked = false;
    }

    int m_Fd = -1;
    bool m_bLocked = false;
};

// A scratch copy of a settings file, removed when it goes out of scope. Each one has a name
// never used before by any process: QSettings caches what it read per file name and, for a
// file replaced by another process with the same size and time stamp, would not read it again.
class ScratchFile {
public:
    // The scratch name is made from base, a file name with its folder.
    explicit ScratchFile(const QString& base) {
        static std::atomic<unsigned> counter{0};
        m_Path = base + QStringLiteral(".%1.%2.tmp").arg(::getpid()).arg(counter++);
        QFile::remove(m_Path);
    }
    ~ScratchFile() {
        if (!m_Path.isEmpty())
            QFile::remove(m_Path);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const QString& Path() const { return m_Path; }
    // After a successful rename the scratch file is gone.
    void Forget() { m_Path.clear(); }

private:
    QString m_Path;
};

std::string ToText(const QVariant& value) {
    // Unquoted commas make QSettings read a list; the text is what was in the file.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(',')).toStdString();
    return value.toString().toStdString();
}

std::map<std::string, std::string> ReadGroup(QSettings& settings, const char* group) {
    std::map<std::string, std::string> values;
    settings.beginGroup(QString::fromLatin1(group));
    for (const QString& key : settings.childKeys())
        values[key.toStdString()] = ToText(settings.value(key));
    settings.endGroup();
    return values;
}

// Copies the file (when there is one) to a fresh scratch name. False when a file exists but
// cannot be copied.
bool CopyToScratch(const std::string& file, const ScratchFile& scratch) {
    const QString path = QString::fromStdString(file);
    if (!QFile::exists(path))
        return true;
    return QFile::copy(path, scratch.Path());
}

std::map<std::string, std::string> ReadFile(const std::string& file, const char* group) {
    // Read through the temporary folder, so that a read-only settings folder still reads.
    ScratchFile scratch(QDir::tempPath() + QStringLiteral("/kinetora-") +
                        QString::fromStdString(file).section(QLatin1Char('/'), -1));
    if (CopyToScratch(file, scratch)) {
        QSettings settings(scratch.Path(), QSettings::IniFormat);
        return ReadGroup(settings, group);
    }
    // No room for a copy: read the file itself (only a file read before by this process
    // could come from QSettings' cache).
    QSettings settings(QString::fromStdString(file), QSettings::IniFormat);
    return ReadGroup(settings, group);
}

// Re-reads the file, sets the given values in the group and replaces the file, all under the
// lock. On success values holds the whole group as now stored.
bool UpdateFile(const std::string& file, const char* group,
                const std::vector<ProfileValue>& changes,
                std::map<std::string, std::string>& values) {
    const FileLock lock(file);
    if (!lock.IsLocked())
        return false;
    // The scratch copy sits beside the file, so that the rename replaces it atomically.
    ScratchFile scratch(QString::fromStdString(file));
    if (!CopyToScratch(file, scratch))
        return false;
    std::map<std::string, std::string> stored;
    {
        QSettings settings(scratch.Path(), QSettings::IniFormat);
        settings.beginGroup(QString::fromLatin1(group));
        for (const ProfileValue& change : changes) {
            const QString key = QString::fromStdString(change.name);
            if (const int* number = std::get_if<int>(&change.value))
                settings.setValue(key, *number);
            else
                settings.setValue(key, QString::fromStdString(std::get<std::string>(change.value)));
        }
        settings.endGroup();
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return false;
        stored = ReadGroup(settings, group);
    }
    if (std::rename(QFile::encodeName(scratch.Path()).constData(), file.c_str()) != 0)
        return false;
    scratch.Forget();
    values = std::move(stored);
    return true;
}

} // namespace

QtProfileStore::QtProfileStore(std::string folder) : m_Folder(std::move(folder)) {
    m_bUsable = !m_Folder.empty() && QDir().mkpath(QString::fromStdString(m_Folder));
    if (!m_bUsable)
        return;
    m_Config = ReadFile(ConfigPath(), kConfigGroup);
    m_Ini = ReadFile(FoldersPath(), kIniGroup);
}

std::string QtProfileStore::DefaultFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid and is ignored.
    const std::string base =
        xdg && xdg[0] == '/' ? std::string(xdg) : QDir::homePath().toStdString() + "/.config";
    return base + "/Tovenhall";
}

std::unique_ptr<ProfileStore> QtProfileStore::OpenDefault() {
    auto store = std::make_unique<QtProfileStore>();
    if (store->IsUsable())
        return store;
    return std::make_unique<MemoryProfileStore>();
}

std::string QtProfileStore::ConfigPath() const {
    return m_Folder + "/" + kConfigFile;
}

std::string QtProfileStore::FoldersPath() const {
    return m_Folder + "/" + kIniFile;
}

int QtProfileStore::ReadInt(const std::string& name, int def) const {
    const auto it = m_Config.find(name);
    int value = 0;
    return it != m_Config.end() && ParseInt(it->second, value) ? value : def;
}

std::string QtProfileStore::ReadString(const std::string& name, const std::string& def) const {
    const auto it = m_Config.find(name);
    return it == m_Config.end() ? def : it->second;
}

void QtProfileStore::WriteGroup(const std::vector<ProfileValue>& values) {
    if (m_bUsable)
        UpdateFile(ConfigPath(), kConfigGroup, values, m_Config);
}

std::string QtProfileStore::ReadFolders() const {
    const auto it = m_Ini.find(kFoldersKey);
    return it == m_Ini.end() ? std::string() : it->second;
}

void QtProfileStore::WriteFolders(const std::string& text) {
    if (m_bUsable)
        UpdateFile(FoldersPath(), kIniGroup, {{kFoldersKey, text}}, m_Ini);
}
