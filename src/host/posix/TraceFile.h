#pragma once

#include "core/Trace.h"

#include <string>

// The trace file as only its owner's run may write it. The trace folder is often one every
// local user can write (TOVNTEMP=/tmp), so another user can leave a link or a file of their
// own at trace.txt: no link is followed (not even to create its target), and only a regular
// file of ours with one name is written, emptied only once it passed. A refusal is said once
// on standard error, and the trace goes unwritten.
TraceLog::File OpenOwnTraceFile(const std::string& path, bool fresh);
