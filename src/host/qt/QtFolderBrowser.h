#pragma once

#include "config/tvFolderBrowser.h"

class QWidget;

// The folder picker as a Qt folder dialog.
class QtFolderBrowser : public tvFolderBrowser {
public:
    explicit QtFolderBrowser(QWidget* owner) : m_pOwner(owner) {}

protected:
    bool Pick(const std::string& title, std::string& path) override;

private:
    QWidget* m_pOwner;
};
