#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

// Lists the files and subfolders of one folder with wildcard patterns ("*.jpg *.png":
// several patterns separated by spaces, matched without regard to case), and searches a
// folder tree for folders that hold matching files. A folder that does not exist or cannot
// be read contributes nothing.
//
// A stop flag, when given, ends listing and searching as soon as it reads false; another
// thread clears it to abandon a search. A stop requested for the run (StopRequest) ends
// them too, with or without a flag, within one directory entry. Symbolic links to folders
// are not followed, so a search always ends.
class tvFolder {
public:
    using StopFlag = const std::atomic<bool>*;
    // Told the path of each folder a search visits.
    using StatusCallback = std::function<void(const std::string&)>;

    // One trailing '/' is dropped ("/" itself stays the root).
    explicit tvFolder(std::string path);
    virtual ~tvFolder() = default;

    const std::string& Path() const { return m_Path; }
    const std::vector<std::string>& FileNames() const { return m_FileNames; }
    const std::vector<std::string>& SubfolderNames() const { return m_Subfolders; }

    // Appends every entry matching each pattern in turn (a name matching two patterns is
    // added twice); returns how many this call added.
    int AddFiles(const std::string& patterns, StopFlag stop = nullptr, bool lowercase = false);
    bool HasFiles(const std::string& patterns, StopFlag stop = nullptr) const;
    // Appends the subfolders whose names do not start with '.', leaving out those the file
    // system marks system (unless includeSystem) or hidden (unless includeHidden). Without
    // a marks reader (below) no folder carries such marks.
    int AddSubfolders(bool includeSystem, bool includeHidden, StopFlag stop = nullptr);

    // The marks a file system may set on a folder besides its name (Windows attributes).
    struct Marks {
        bool system = false;
        bool hidden = false;
    };
    using MarksReader = Marks (*)(const std::string& path);
    // Installed by a host whose file system has such marks, before any listing starts
    // (searches run on another thread); null removes it.
    static void SetMarksReader(MarksReader reader);
    // path + "/" + the next subfolder name, or "" past the end.
    std::string NextSubfolder();
    // Appends to results this folder and every folder below it that holds a matching
    // file, depth-first, parents before children.
    void SearchTree(const std::string& patterns, std::vector<std::string>& results, bool reserved,
                    bool includeSystem, bool includeHidden, const StatusCallback& status = nullptr,
                    StopFlag stop = nullptr);
    // Appends path + "/" + name for every file name, in order.
    void AppendTo(std::vector<std::string>& paths) const;
    // Adds the file names to a list (without their last 4 characters unless keepExtension;
    // skipping names the list already holds unless allowDuplicates); returns the number of
    // file names.
    int ListFiles(std::vector<std::string>& list, bool keepExtension, bool allowDuplicates) const;

private:
    std::string Join(const std::string& name) const;
    std::string Directory() const { return m_Path.empty() ? "/" : m_Path; }
    // Calls take(name, isFolder) for every entry, while the stop flag allows and take
    // returns true.
    void ForEachEntry(StopFlag stop, const std::function<bool(const char*, bool)>& take) const;

    std::string m_Path;
    std::vector<std::string> m_FileNames;
    std::vector<std::string> m_Subfolders;
    std::size_t m_NextSubfolder = 0;
};
