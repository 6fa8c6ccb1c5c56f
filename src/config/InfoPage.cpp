#include "config/InfoPage.h"

std::string CInfoPage::Title(const std::string& version) {
    return "Kinetora Screensaver v" + version;
}

std::string CInfoPage::Text() {
    return "Kinetora fills the screen with animated, lit 3D shapes: one shape per scene, "
           "cloned as often as your machine can draw smoothly, moving, spinning and changing "
           "colour in a room of coloured, patterned or photographed walls.\n\n"
           "The General page sets the speed and screen blanking; the Images page names the "
           "folders whose photographs appear on shapes and walls.\n\n"
           "Kinetora measures its frame rate as it runs and adapts the number of shapes to "
           "stay near 25 frames per second.";
}
