#pragma once

#include <string>
#include <vector>

// Where a module of the program may be, in the order to try: beside the program first (a
// build tree's program never takes an installed module), then the installed folder.
std::vector<std::string> ModuleCandidates(const std::string& fileName);
