#include "host/qt/QtFolderBrowser.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

#include <filesystem>
#include <system_error>

namespace {

// The one entry of `folder` whose name reads as `shown`, or nothing.
std::optional<std::string> MatchName(const std::string& folder, const QString& shown) {
    std::optional<std::string> found;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().native();
        if (QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())) != shown)
            continue;
        if (found)
            return std::nullopt; // two names read the same: no way to tell which was picked
        found = name;
    }
    return found;
}

} // namespace

std::optional<std::string> QtFolderBrowser::FileSystemPath(const QString& shown) {
    if (!shown.contains(QChar::ReplacementCharacter))
        return shown.toStdString();
    std::string path;
    for (const QString& part : shown.split(u'/')) {
        if (part.isEmpty())
            continue;
        std::optional<std::string> name = part.contains(QChar::ReplacementCharacter)
                                              ? MatchName(path.empty() ? "/" : path, part)
                                              : part.toStdString();
        if (!name)
            return std::nullopt;
        path += "/" + *name;
    }
    return path.empty() ? "/" : path;
}

bool QtFolderBrowser::Pick(const std::string& title, std::string& path) {
    const QString chosen = QFileDialog::getExistingDirectory(
        m_pOwner, QString::fromStdString(title), QDir::homePath(), QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return false;
    const std::optional<std::string> bytes = FileSystemPath(QDir::toNativeSeparators(chosen));
    if (!bytes)
        return false;
    path = *bytes;
    return true;
}
