#pragma once

#include "images/tvFolder.h"

#include <string>

// The system and hidden attributes of a folder, for tvFolder::SetMarksReader. A path
// whose attributes cannot be read carries no marks.
tvFolder::Marks ReadFolderMarks(const std::string& path);
