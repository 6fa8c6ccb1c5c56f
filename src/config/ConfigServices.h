#pragma once

#include <functional>
#include <string>

class tvFolderBrowser;

// What the configuration pages need from the window system that shows them. The pages keep
// all their rules; a host (Qt widgets, a Win32 property sheet, a test) supplies these.
class ConfigServices {
public:
    virtual ~ConfigServices() = default;

    // The folder picker of this host.
    virtual tvFolderBrowser& FolderBrowser() = 0;
    // Opens the help page (the application's ShowHelp).
    virtual void ShowHelp() = 0;
    // A box with one OK button; returns when it is closed.
    virtual void Message(const std::string& caption, const std::string& text) = 0;
    // Shows the image preview of folder modally; returns when it is closed.
    virtual void RunPreview(const std::string& folder) = 0;
    // The wait cursor, on while a search is being stopped.
    virtual void SetBusy(bool busy) = 0;
    // Queues call to run on the pages' own thread, after the current event. Safe to call
    // from any thread; a call queued once the host has gone is dropped.
    virtual void Post(std::function<void()> call) = 0;
};
