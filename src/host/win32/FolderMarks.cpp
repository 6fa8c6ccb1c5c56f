#include "host/win32/FolderMarks.h"

#include <windows.h>

tvFolder::Marks ReadFolderMarks(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return {};
    return {(attributes & FILE_ATTRIBUTE_SYSTEM) != 0, (attributes & FILE_ATTRIBUTE_HIDDEN) != 0};
}
