#include "images/tvFolder.h"

#include "core/StopRequest.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace {

std::atomic<tvFolder::MarksReader> gMarksReader{nullptr};

// An ending run stops every listing and search, whatever its own flag says.
bool Stopped(tvFolder::StopFlag stop) {
    return StopRequest::Poll() || (stop && !stop->load());
}

std::vector<std::string> SplitPatterns(const std::string& patterns) {
    std::vector<std::string> out;
    std::size_t begin = 0;
    while (begin <= patterns.size()) {
        std::size_t end = patterns.find(' ', begin);
        if (end == std::string::npos)
            end = patterns.size();
        if (end > begin)
            out.push_back(patterns.substr(begin, end - begin));
        begin = end + 1;
    }
    return out;
}

char Fold(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Wildcard match without regard to (ASCII) case: '*' any run of characters, '?' any one
// character, everything else itself. Backtracks only to the last '*', so it is linear in
// practice and never recursive.
bool Matches(const std::string& pattern, const char* name) {
    const std::size_t n = std::char_traits<char>::length(name);
    std::size_t p = 0, s = 0;
    std::size_t starP = std::string::npos, starS = 0;
    while (s < n) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starS = s;
        } else if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(name[s]))) {
            ++p;
            ++s;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            s = ++starS;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

tvFolder::tvFolder(std::string path) : m_Path(std::move(path)) {
    if (!m_Path.empty() && m_Path.back() == '/')
        m_Path.pop_back();
}

std::string tvFolder::Join(const std::string& name) const {
    return m_Path + "/" + name;
}

void tvFolder::ForEachEntry(StopFlag stop,
                            const std::function<bool(const char*, bool)>& take) const {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator it(Directory(), error);
    for (; !error && it != fs::directory_iterator() && !Stopped(stop); it.increment(error)) {
        // The entry's own type: a link to a folder is not a folder, so a search always ends.
        std::error_code typeError;
        // The type the listing gave: no stat call per entry (a 100,000-file folder is listed
        // five times, once a pattern).
        const bool isFolder = !it->is_symlink(typeError) && it->is_directory(typeError);
        const std::string name = it->path().filename().string();
        if (!take(name.c_str(), isFolder))
            return;
    }
}

int tvFolder::AddFiles(const std::string& patterns, StopFlag stop, bool lowercase) {
    const std::size_t before = m_FileNames.size();
    for (const std::string& pattern : SplitPatterns(patterns)) {
        if (Stopped(stop))
            break;
        ForEachEntry(stop, [&](const char* name, bool) {
            if (Matches(pattern, name)) {
                std::string found = name;
                if (lowercase)
                    std::transform(found.begin(), found.end(), found.begin(), [](unsigned char c) {
                        return static_cast<char>(std::tolower(c));
                    });
                m_FileNames.push_back(std::move(found));
            }
            return true;
        });
    }
    return static_cast<int>(m_FileNames.size() - before);
}

bool tvFolder::HasFiles(const std::string& patterns, StopFlag stop) const {
    bool found = false;
    for (const std::string& pattern : SplitPatterns(patterns)) {
        if (found || Stopped(stop))
            break;
        ForEachEntry(stop, [&](const char* name, bool) {
            found = Matches(pattern, name);
            return !found;
        });
    }
    return found;
}

void tvFolder::SetMarksReader(MarksReader reader) {
    gMarksReader.store(reader);
}

int tvFolder::AddSubfolders(bool includeSystem, bool includeHidden, StopFlag stop) {
    const std::size_t before = m_Subfolders.size();
    const MarksReader readMarks = includeSystem && includeHidden ? nullptr : gMarksReader.load();
    ForEachEntry(stop, [&](const char* name, bool isFolder) {
        if (!isFolder || name[0] == '.')
            return true;
        if (readMarks) {
            const Marks marks = readMarks(Join(name));
            if ((marks.system && !includeSystem) || (marks.hidden && !includeHidden))
                return true;
        }
        m_Subfolders.emplace_back(name);
        return true;
    });
    if (!m_Subfolders.empty())
        m_NextSubfolder = 0;
    return static_cast<int>(m_Subfolders.size() - before);
}

std::string tvFolder::NextSubfolder() {
    if (m_NextSubfolder >= m_Subfolders.size())
        return std::string();
    return Join(m_Subfolders[m_NextSubfolder++]);
}

void tvFolder::SearchTree(const std::string& patterns, std::vector<std::string>& results,
                          bool reserved, bool includeSystem, bool includeHidden,
                          const StatusCallback& status, StopFlag stop) {
    if (Stopped(stop))
        return;
    if (status)
        status(Directory());
    if (HasFiles(patterns, stop))
        results.push_back(Directory());
    AddSubfolders(includeSystem, includeHidden, stop);
    for (std::string s = NextSubfolder(); !s.empty() && !Stopped(stop); s = NextSubfolder()) {
        tvFolder(s).SearchTree(patterns, results, reserved, includeSystem, includeHidden, status,
                               stop);
    }
}

void tvFolder::AppendTo(std::vector<std::string>& paths) const {
    for (const std::string& name : m_FileNames)
        paths.push_back(Join(name));
}

int tvFolder::ListFiles(std::vector<std::string>& list, bool keepExtension,
                        bool allowDuplicates) const {
    for (const std::string& name : m_FileNames) {
        const std::string shown =
            !keepExtension && name.size() >= 4 ? name.substr(0, name.size() - 4) : name;
        if (allowDuplicates || std::find(list.begin(), list.end(), shown) == list.end())
            list.push_back(shown);
    }
    return static_cast<int>(m_FileNames.size());
}
