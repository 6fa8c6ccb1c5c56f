#pragma once

#include <string>
#include <vector>

class Random;
class RegSettings;

// The run's list of photographs: every picture file of the user's folders (ImagePatterns),
// sorted by full path, byte by byte, so each folder's files come together whatever the
// order of the folders in the settings. Built once, when the first scene of a run is made.
class ImageList {
public:
    void Build(const std::vector<std::string>& folders) { m_Images = List(folders); }
    bool HasImages() const { return !m_Images.empty(); }
    const std::vector<std::string>& Paths() const { return m_Images; }
    std::string NextImagePath(Random& rand, RegSettings& settings) const {
        return NextImagePath(rand, settings, m_Images);
    }

    // The sorted list of the image files of the folders; empty when a stop is requested
    // while it is made.
    static std::vector<std::string> List(const std::vector<std::string>& folders);

    // The next photograph to show, or "" when there are none. In random order (ImageOrder
    // 0) one draw of rand.below(n) picks it and ImageNext is left alone; in alphabetical
    // order the stored ImageNext picks it (clamped to the last) and is advanced, wrapped
    // and saved at once, so the next run goes on from there.
    static std::string NextImagePath(Random& rand, RegSettings& settings,
                                     const std::vector<std::string>& images);

private:
    std::vector<std::string> m_Images;
};
