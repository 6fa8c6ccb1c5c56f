#pragma once

#include "config/ConfigServices.h"
#include "core/tvLibrary.h"
#include "host/qt/QtSheetHooks.h"

#include <QDialog>

#include <memory>

class CConfigProp;
class CSaverApp;
class ProfileStore;
class QObject;
class QTabWidget;
class QtImagesPage;
class QtSettingsPage;
class RegSettings;

// The configuration sheet as a Qt dialog: the tabs General, Images and Information, OK and
// Cancel (Escape). OK writes what the pages changed; Cancel and closing the window write
// nothing. While it exists, the program's error and note boxes are shown as its messages.
class QtConfigSheet : public QDialog {
public:
    // settings and store outlive the sheet. clicks: the frame-rate click counter (default:
    // the process-wide one).
    QtConfigSheet(RegSettings& settings, const ProfileStore& store, QtSheetHooks hooks,
                  QWidget* parent = nullptr, int* clicks = nullptr);
    ~QtConfigSheet() override;

    CConfigProp& Model() const { return *m_pModel; }
    QTabWidget* Tabs() const { return m_pTabs; }
    QtSettingsPage* GeneralPage() const { return m_pGeneral; }
    QtImagesPage* ImagesPage() const { return m_pImages; }

    void accept() override; // OK: validate, confirm every page, close once all is saved
    void reject() override; // Cancel: discard, close

private:
    // The host services the pages use: this sheet's boxes, picker, preview and event queue.
    class Services : public ConfigServices {
    public:
        Services(QtConfigSheet& sheet, QtSheetHooks hooks);
        ~Services() override;
        tvFolderBrowser& FolderBrowser() override { return *m_Hooks.browser; }
        void ShowHelp() override;
        void Message(const std::string& caption, const std::string& text) override;
        void RunPreview(const std::string& folder) override;
        void SetBusy(bool busy) override;
        void Post(std::function<void()> call) override;

    private:
        QtConfigSheet& m_Sheet;
        QtSheetHooks m_Hooks;
        std::unique_ptr<QObject> m_pQueue; // queued calls die with it
        tvLibrary::MessageSink m_PreviousSink;
    };

    Services m_Services;
    std::unique_ptr<CConfigProp> m_pModel;
    QTabWidget* m_pTabs = nullptr;
    QtSettingsPage* m_pGeneral = nullptr;
    QtImagesPage* m_pImages = nullptr;
};

// True when a window can be shown: a display is named, or a Qt platform is chosen.
bool CanShowConfigSheet();

// The application's configuration sheet (CSaverApp::DoConfig): makes the Qt application
// when there is none yet, runs the sheet modally on app's settings and store.
void RunConfigSheet(CSaverApp& app);
