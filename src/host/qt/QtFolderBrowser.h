#pragma once

#include "config/tvFolderBrowser.h"

#include <optional>
#include <string>

class QString;
class QWidget;

// The folder picker as a Qt folder dialog.
class QtFolderBrowser : public tvFolderBrowser {
public:
    explicit QtFolderBrowser(QWidget* owner) : m_pOwner(owner) {}

    // The bytes of the folder a dialog shows as `shown`. Qt decodes names that are not UTF-8
    // with replacement characters, so those parts are looked up again among the real names;
    // nothing when that is ambiguous or the folder is gone.
    static std::optional<std::string> FileSystemPath(const QString& shown);

protected:
    bool Pick(const std::string& title, std::string& path) override;

private:
    QWidget* m_pOwner;
};
