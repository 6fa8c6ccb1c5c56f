#include "host/qt/QtFolderBrowser.h"

#include <QDir>
#include <QFileDialog>

bool QtFolderBrowser::Pick(const std::string& title, std::string& path) {
    const QString chosen = QFileDialog::getExistingDirectory(
        m_pOwner, QString::fromStdString(title), QDir::homePath(), QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return false;
    path = QDir::toNativeSeparators(chosen).toStdString();
    return true;
}
