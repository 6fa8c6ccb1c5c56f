#pragma once

#include <cstdio>
#include <memory>
#include <string>

// Developer trace: lines appended to "<folder>/trace.txt", each prefixed with the
// milliseconds since the previous line ("%10d: ") and ended with CR LF. The folder is
// TOVNTEMP, else TEMP. Nothing is written, and no file touched, when TOVNTEMP is not set.
// The first line of a run recreates the file; every line opens and closes it, so the trace
// survives a killed process. Callers check gApp.IsTracing() first; the rare events traced
// here never happen per frame.

void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "<source> line <line> : <expression> = <value>", written verbatim (a '%' in it is text).
void TraceLine(const char* source, int line, const char* expression, long long value);
void TraceLine(const char* source, int line, const char* expression, const std::string& value);

namespace TraceLog {
// True when TOVNTEMP is set (the trace switch).
bool Enabled();
// The trace folder and file as the next line would use them.
std::string Folder();
std::string FilePath();
// Forgets the folder, the line timer and the recreate flag, as a new run would.
void ResetForTest();

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;
// Opens the trace file to append a line: created when missing, emptied first when `fresh`
// (the run's first line). Null when it cannot or must not be written; the line is lost.
using FileOpener = File (*)(const std::string& path, bool fresh);
// The host's opener, which can refuse what the C library cannot tell apart (a link put in
// a shared folder, a file of another user). Null restores the plain one.
void SetFileOpener(FileOpener opener);
} // namespace TraceLog
