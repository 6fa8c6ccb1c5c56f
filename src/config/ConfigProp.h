#pragma once

#include "config/ImagesPage.h"
#include "config/InfoPage.h"
#include "config/SettingsPage.h"

class ConfigServices;
class ProfileStore;
class RegSettings;

// The configuration sheet's behaviour: its pages, in tab order General, Images,
// Information, and what OK and Cancel do. Each page writes its own settings group on OK
// when it changed something; Cancel writes nothing.
class CConfigProp {
public:
    static constexpr const char* Caption = "Kinetora Screensaver";
    // The caption of the box that shows what OnOK returns.
    static constexpr const char* NotSavedCaption = "Error";
    enum Page { GeneralPage = 0, ImagesPage = 1, InfoPage = 2, PageCount = 3 };

    // settings and store outlive the sheet; store is read for the last run's record.
    CConfigProp(RegSettings& settings, const ProfileStore& store, ConfigServices& services,
                int* frameRateClicks = nullptr);

    CSettingsPage& General() { return m_General; }
    CImagesPage& Images() { return m_Images; }

    // The page selected when the sheet opens.
    static constexpr Page FirstPage() { return GeneralPage; }

    // Empty when every page accepts its values, else the message to show; page is then
    // the page to bring forward. Nothing is written.
    std::string Validate(Page& page) const;
    // Call after Validate passed: every page confirms (and writes what it changed). Returns
    // "" when everything was written, else the error to show; the sheet then stays open
    // and the pages keep the user's values for another OK.
    std::string OnOK();
    // Every page discards its changes; nothing is written.
    void OnCancel();

private:
    CSettingsPage m_General;
    CImagesPage m_Images;
};
