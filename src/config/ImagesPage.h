#pragma once

#include "config/FolderSearch.h"
#include "images/ImageFile.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class ConfigServices;
class RegSettings;

// The Images page's behaviour, without widgets: the folder list with Add, Remove, Remove All
// and the folder search, how often images are shown, their order, and the preview. Folder
// list and order take effect in the settings at once; OnOK writes them.
//
// All members are called on the page's own thread. The search worker reaches the page only
// through calls queued with ConfigServices::Post, which find the page gone once it has been
// destroyed, and it is stopped and joined by OnOK, OnCancel and the destructor. A page
// destroyed without OnOK or OnCancel puts the settings back as OnCancel does, so nothing it
// (or its search) changed outlives it unconfirmed; the settings must outlive the page.
class CImagesPage {
public:
    static constexpr const char* Caption = "Images";
    static constexpr const char* FoldersLabel =
        "&Image folders (JPEG, PNG, BMP, WebP" KINETORA_HEIF_NAMES "):";
    static constexpr const char* AddLabel = "&Add...";
    static constexpr const char* RemoveLabel = "&Remove";
    static constexpr const char* RemoveAllLabel = "Remove &All";
    static constexpr const char* SearchLabel = "S&earch...";
    static constexpr const char* StopLabel = "Stop";
    static constexpr const char* ImagesLabel = "&Images...";
    static constexpr const char* ProbLabel = "&How often to show images:";
    static constexpr const char* MoreLabel = "More";
    static constexpr const char* OrderGroup = "Display order";
    static constexpr const char* RandomLabel = "R&andom";
    static constexpr const char* AlphabeticalLabel = "A&lphabetically by folder";
    static constexpr const char* StartAtFirstLabel = "&Start at first image next run";
    static constexpr const char* ResetLabel = "&Reset to defaults";
    static constexpr const char* HelpLabel = "&Help";

    static constexpr const char* ProbTip = "How often to use an image on the background";
    static constexpr const char* FoldersTip =
        "List of folders that Kinetora will search for images";
    static constexpr const char* AddTip = "Add a new folder to the list";
    static constexpr const char* RemoveTip = "Remove the currently selected folder from the list";
    static constexpr const char* RemoveAllTip = "Remove the all folders from the list";
    static constexpr const char* SearchTip =
        "Search your disk, or under a selected folder, for images";
    static constexpr const char* ImagesTip = "View the images in the selected folder.";
    static constexpr const char* RandomTip = "Images will be selected for display in random order";
    static constexpr const char* AlphabeticalTip =
        "All images from the first folder will be displayed in alphabetical order, then the "
        "second alphabetical folder, and so on";
    static constexpr const char* StartAtFirstTip =
        "The next time Kinetora is run, the images will start from the first. This just "
        "applies to the very next run.";
    static constexpr const char* ResetTip =
        "Resets all the above controls to their default settings";

    static constexpr const char* AddTitle = "Choose a folder containing your images:";
    static constexpr const char* SearchTitle = "Choose a drive or folder to search under:";
    static constexpr const char* NoImagesNote =
        "No images (" KINETORA_IMAGE_EXTENSIONS ") were found in this folder.";
    static constexpr const char* SelectFolderHint = "Please select a folder from the above list";
    // A folder whose name holds the list's separator, refused at Add and as a search root;
    // the search leaves such folders out and says so.
    static std::string StarFolderRefused(const std::string& folder, bool search);
    static std::string StarFoldersSkipped(const std::vector<std::string>& skipped);
    static constexpr const char* StartAtFirstCaption = "Kinetora";
    static constexpr const char* StartAtFirstMessage =
        "Images will start from the first one on the next run.";
    // The search looks for these; files ending in .jpe are not searched for.
    static constexpr const char* SearchPatterns =
        "*.jpg *.jpeg *.bmp *.png *.webp" KINETORA_HEIF_PATTERNS;
    // Add checks a folder with these, one after the other.
    static constexpr const char* AddPatterns =
        "*.jpg *.jpeg *.jpe *.bmp *.png *.webp" KINETORA_HEIF_PATTERNS;

    static constexpr int ProbMin = 0;
    static constexpr int ProbMax = 100;
    static constexpr int TickEvery = 10;

    CImagesPage(RegSettings& settings, ConfigServices& services);
    ~CImagesPage();
    CImagesPage(const CImagesPage&) = delete;
    CImagesPage& operator=(const CImagesPage&) = delete;

    // Called after a queued search call changed what the page shows (the host redraws).
    void SetChangeListener(std::function<void()> listener) { m_Changed = std::move(listener); }

    // The folder list as shown (settings order) and its selection, -1 for none.
    const std::vector<std::string>& List() const { return m_List; }
    int Selection() const { return m_Selection; }
    void Select(int index); // anything outside the list clears the selection
    int Prob() const { return m_Prob; }
    void SetProb(int prob); // held to 0..100
    int Order() const;      // 0 random, 1 alphabetical
    bool StartAtFirstEnabled() const { return Order() != 0; }
    bool StartAtFirst() const { return m_bStartAtFirst; }
    // The status line under the buttons: search progress and hints.
    bool StatusShown() const { return m_bStatusShown; }
    const std::string& StatusText() const { return m_Status; }

    bool IsSearching() const { return m_Search.IsActive(); }
    const char* SearchText() const { return IsSearching() ? StopLabel : SearchLabel; }
    // Add, Remove, Remove All and Images... are off while a search runs.
    bool ListButtonsEnabled() const { return !IsSearching(); }

    void OnAdd();
    void OnRemove();
    void OnRemoveAll();
    void OnSearch(); // starts a search, or stops the one running
    void OnRandom();
    void OnAlphabetical();
    void OnStartAtFirst();
    void OnReset();
    void OnImages();
    // Stops any search; stores ImageProb and writes the Images group when the list, the
    // order or the frequency differ from what was loaded; writes ImageNext 0 when asked to
    // start at the first image. Returns why something was not written ("" when all was):
    // the page is then still open, and a later OnOK or OnCancel decides.
    std::string OnOK();
    // Stops any search and puts the settings back as they were loaded.
    void OnCancel();

private:
    void StopSearch();
    void Restore(); // the settings as loaded
    void EndSearchView();
    void OnSearchProgress(unsigned serial);
    void OnSearchFinished(unsigned serial);
    void AddToList(const std::string& folder);
    // Queues call for the page's thread; dropped when the page has gone.
    std::function<void()> Queued(void (CImagesPage::*member)(unsigned), unsigned serial);
    void Changed() const;

    RegSettings& m_Settings;
    ConfigServices& m_Services;
    std::function<void()> m_Changed;
    std::shared_ptr<CImagesPage*> m_pAlive;

    // What was loaded, for OnOK's comparison and OnCancel.
    std::vector<std::string> m_LoadedFolders;
    int m_LoadedProb;
    int m_LoadedOrder;

    std::vector<std::string> m_List;
    int m_Selection = -1;
    int m_Prob;
    bool m_bStartAtFirst = false;
    bool m_bClosed = false; // OnOK or OnCancel ran: the settings hold what they should
    bool m_bStatusShown = false;
    std::string m_Status;
    std::string m_SearchRoot;
    unsigned m_SearchSerial = 0; // which search the queued calls belong to
    FolderSearch m_Search;       // last: destroyed (stopped, joined) first
};
