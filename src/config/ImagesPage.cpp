#include "config/ImagesPage.h"

#include "config/ConfigServices.h"
#include "config/tvFolderBrowser.h"
#include "core/RegSettings.h"
#include "core/tvLibrary.h"
#include "images/tvFolder.h"

#include <algorithm>

namespace {

bool Holds(const std::vector<std::string>& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

} // namespace

CImagesPage::CImagesPage(RegSettings& settings, ConfigServices& services)
    : m_Settings(settings), m_Services(services), m_pAlive(std::make_shared<CImagesPage*>(this)),
      m_LoadedFolders(settings.Folders()), m_LoadedProb(settings.ImageProb()),
      m_LoadedOrder(settings.ImageOrder()), m_List(settings.Folders()),
      m_Prob(settings.ImageProb()) {}

CImagesPage::~CImagesPage() {
    m_pAlive.reset(); // calls still queued now find no page
    m_Search.Stop();
    if (!m_bClosed)
        Restore();
}

void CImagesPage::Restore() {
    m_Settings.SetFolders(m_LoadedFolders);
    m_Settings.SetImageProb(m_LoadedProb);
    m_Settings.SetImageOrder(m_LoadedOrder);
}

void CImagesPage::Select(int index) {
    m_Selection = index >= 0 && index < static_cast<int>(m_List.size()) ? index : -1;
}

void CImagesPage::SetProb(int prob) {
    m_Prob = std::clamp(prob, ProbMin, ProbMax);
}

int CImagesPage::Order() const {
    return m_Settings.ImageOrder();
}

void CImagesPage::Changed() const {
    if (m_Changed)
        m_Changed();
}

void CImagesPage::AddToList(const std::string& folder) {
    m_List.push_back(folder);
    std::vector<std::string> folders = m_Settings.Folders();
    folders.push_back(folder);
    m_Settings.SetFolders(std::move(folders));
}

void CImagesPage::OnAdd() {
    tvFolderBrowser& browser = m_Services.FolderBrowser();
    if (!browser.Browse(AddTitle))
        return;
    // The folder is kept as chosen: there is no drive letter to capitalise here.
    const std::string folder = browser.Path();
    if (Holds(m_List, folder))
        return;
    if (!RegSettings::CanStoreFolder(folder)) {
        m_Services.Message("Error", StarFolderRefused(folder, false));
        return;
    }
    AddToList(folder);
    if (!tvFolder(folder).HasFiles(AddPatterns))
        tvLibrary::Note(NoImagesNote);
}

void CImagesPage::OnRemove() {
    if (m_Selection < 0)
        return;
    m_List.erase(m_List.begin() + m_Selection);
    Select(std::min(m_Selection, static_cast<int>(m_List.size()) - 1));
    // Only the row removed: copies of the same folder (and empty entries) stay as shown.
    m_Settings.SetFolders(m_List);
}

void CImagesPage::OnRemoveAll() {
    m_List.clear();
    m_Selection = -1;
    m_Settings.SetFolders({});
}

void CImagesPage::OnRandom() {
    m_Settings.SetImageOrder(0);
}

void CImagesPage::OnAlphabetical() {
    m_Settings.SetImageOrder(1);
}

void CImagesPage::OnStartAtFirst() {
    m_bStartAtFirst = true;
    m_Services.Message(StartAtFirstCaption, StartAtFirstMessage);
}

void CImagesPage::OnReset() {
    m_Prob = m_Settings.DefaultImageProb();
}

void CImagesPage::OnImages() {
    if (m_Selection < 0) {
        m_Status = SelectFolderHint;
        m_bStatusShown = true;
        return;
    }
    m_bStatusShown = false;
    m_Services.RunPreview(m_List[static_cast<std::size_t>(m_Selection)]);
}

std::function<void()> CImagesPage::Queued(void (CImagesPage::*member)(unsigned), unsigned serial) {
    ConfigServices& services = m_Services;
    std::weak_ptr<CImagesPage*> alive = m_pAlive;
    return [&services, alive, member, serial] {
        services.Post([alive, member, serial] {
            if (const std::shared_ptr<CImagesPage*> page = alive.lock())
                ((*page)->*member)(serial);
        });
    };
}

void CImagesPage::OnSearch() {
    if (IsSearching()) {
        StopSearch();
        EndSearchView();
        return;
    }
    tvFolderBrowser& browser = m_Services.FolderBrowser();
    if (!browser.Browse(SearchTitle) || IsSearching())
        return;
    if (!RegSettings::CanStoreFolder(browser.Path())) {
        m_Services.Message("Error", StarFolderRefused(browser.Path(), true));
        return;
    }
    m_SearchRoot = browser.Path();
    const unsigned serial = ++m_SearchSerial;
    if (!m_Search.Start(m_SearchRoot, SearchPatterns,
                        Queued(&CImagesPage::OnSearchProgress, serial),
                        Queued(&CImagesPage::OnSearchFinished, serial)))
        return;
    m_Status.clear();
    m_bStatusShown = true;
}

void CImagesPage::StopSearch() {
    if (!IsSearching())
        return;
    ++m_SearchSerial; // whatever the stopped worker queued is stale
    m_Services.SetBusy(true);
    m_Search.Stop();
    m_Services.SetBusy(false);
}

void CImagesPage::EndSearchView() {
    m_bStatusShown = false;
    m_Status.clear();
}

void CImagesPage::OnSearchProgress(unsigned serial) {
    if (serial != m_SearchSerial || !IsSearching())
        return;
    m_Status = m_Search.TakeStatus();
    Changed();
}

void CImagesPage::OnSearchFinished(unsigned serial) {
    if (serial != m_SearchSerial || !IsSearching())
        return;
    std::vector<std::string> skipped;
    for (const std::string& folder : m_Search.Finish()) {
        if (!RegSettings::CanStoreFolder(folder))
            skipped.push_back(folder);
        else if (!Holds(m_List, folder))
            AddToList(folder);
    }
    EndSearchView();
    Changed();
    if (!skipped.empty())
        m_Services.Message("Note", StarFoldersSkipped(skipped));
}

namespace {

const char* const kWhyNoStar =
    "a * in a folder's name cannot be kept in the folder list, where * separates the folders";

} // namespace

std::string CImagesPage::StarFolderRefused(const std::string& folder, bool search) {
    return "The folder " + folder + (search ? " cannot be searched: " : " cannot be added: ") +
           kWhyNoStar + ".";
}

std::string CImagesPage::StarFoldersSkipped(const std::vector<std::string>& skipped) {
    std::string text = std::string("Found but not added, because ") + kWhyNoStar + ":";
    // The first few are enough to find them; the box must not grow off the screen.
    constexpr std::size_t kShown = 5;
    for (std::size_t i = 0; i < skipped.size() && i < kShown; ++i)
        text += "\n" + skipped[i];
    if (skipped.size() > kShown)
        text += "\nand " + std::to_string(skipped.size() - kShown) + " more";
    return text;
}

std::string CImagesPage::OnOK() {
    StopSearch();
    m_Settings.SetImageProb(m_Prob);
    std::string problem;
    if (m_Prob != m_LoadedProb || m_Settings.ImageOrder() != m_LoadedOrder ||
        m_Settings.Folders() != m_LoadedFolders)
        problem = m_Settings.SaveImages();
    if (m_bStartAtFirst) {
        const int next = m_Settings.ImageNext();
        m_Settings.SetImageNext(0);
        std::string nextProblem = m_Settings.SaveImageNext();
        if (!nextProblem.empty())
            m_Settings.SetImageNext(next);
        if (problem.empty())
            problem = std::move(nextProblem);
    }
    m_bClosed = problem.empty();
    return problem;
}

void CImagesPage::OnCancel() {
    StopSearch();
    m_bClosed = true;
    Restore();
}
