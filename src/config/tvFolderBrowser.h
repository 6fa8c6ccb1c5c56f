#pragma once

#include <string>

// The folder picker behind a seam: each host shows its own, tests answer it.
class tvFolderBrowser {
public:
    virtual ~tvFolderBrowser() = default;

    // Shows the picker with title, or with "Choose a folder containing your files:" when
    // title is empty. True when a folder was chosen; Path() then holds it.
    bool Browse(const std::string& title);
    // The chosen folder; empty before a successful Browse.
    const std::string& Path() const { return m_Path; }

protected:
    // Asks the user; true with path set to a file-system folder when one was chosen.
    virtual bool Pick(const std::string& title, std::string& path) = 0;

private:
    std::string m_Path;
};
