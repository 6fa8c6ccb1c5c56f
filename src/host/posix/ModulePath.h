#pragma once

#include <initializer_list>
#include <string>
#include <vector>

// Where a module of the program may be, in the order to try: beside the program first (a
// build tree's program never takes an installed module), then the installed folder.
std::vector<std::string> ModuleCandidates(const std::string& fileName);

// Opens the first candidate of fileName that exists (never unloaded: what a module starts
// may outlive its use) and looks up the named symbols, in order, into found. False with the
// reason in error when none exists, it cannot be loaded, or a symbol is missing ("PATH is
// not the WHAT of this program").
bool OpenModule(const std::string& fileName, std::initializer_list<const char*> symbols,
                const std::string& what, std::vector<void*>& found, std::string& error);
