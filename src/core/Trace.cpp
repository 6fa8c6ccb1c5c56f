#include "core/Trace.h"

#include "core/tvTimer.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

namespace {

constexpr std::size_t kBufferSize = 1024;

struct TraceState {
    std::optional<std::string> folder; // looked up on the first line
    bool recreate = true;
    std::unique_ptr<tvTimer> timer; // time between two lines
};

TraceState& State() {
    static TraceState state;
    return state;
}

const char* NonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

using File = TraceLog::File;

// Without the host's opener: no link is followed, as far as the C library allows.
File OpenPlainFile(const std::string& path, bool fresh) {
    // A FIFO would block the run in the open until a reader came; a device is no log either.
    std::error_code error;
    const auto type = std::filesystem::symlink_status(path, error).type();
    if (type != std::filesystem::file_type::regular &&
        type != std::filesystem::file_type::not_found)
        return nullptr;
    return File(std::fopen(path.c_str(), fresh ? "wb" : "ab"));
}

TraceLog::FileOpener& Opener() {
    static TraceLog::FileOpener opener = &OpenPlainFile;
    return opener;
}

File OpenTraceFile() {
    TraceState& state = State();
    const bool fresh = state.recreate;
    state.recreate = false;
    return Opener()(TraceLog::FilePath(), fresh);
}

void WriteLine(const char* text) {
    TraceState& state = State();
    // A file that cannot be opened loses the line; the program carries on.
    File file = OpenTraceFile();
    if (!state.timer)
        state.timer = std::make_unique<tvTimer>();
    const int ms = state.timer->Elapsed();
    if (file)
        std::fprintf(file.get(), "%10d: %s\r\n", ms, text);
}

} // namespace

bool TraceLog::Enabled() {
    return std::getenv("TOVNTEMP") != nullptr;
}

std::string TraceLog::Folder() {
    TraceState& state = State();
    if (!state.folder) {
        const char* folder = NonEmptyEnv("TOVNTEMP");
        if (!folder)
            folder = NonEmptyEnv("TEMP");
        state.folder = folder ? folder : "";
    }
    return *state.folder;
}

std::string TraceLog::FilePath() {
    std::string folder = Folder();
    if (!folder.empty() && folder.back() == '/')
        folder.pop_back();
    return folder + "/trace.txt";
}

void TraceLog::SetFileOpener(FileOpener opener) {
    Opener() = opener ? opener : &OpenPlainFile;
}

void TraceLog::ResetForTest() {
    State() = TraceState{};
}

void Trace(const char* format, ...) {
    if (!TraceLog::Enabled())
        return;
    char text[kBufferSize];
    if (std::strlen(format) > kBufferSize - 1) {
        std::snprintf(text, sizeof text, "%s", "Trace string too long");
    } else {
        va_list args;
        va_start(args, format);
        // Longer expansions are cut at the buffer's end.
        std::vsnprintf(text, sizeof text, format, args);
        va_end(args);
    }
    WriteLine(text);
}

namespace {

void TraceText(const char* source, int line, const char* expression, const std::string& value) {
    const std::string text =
        std::string(source) + " line " + std::to_string(line) + " : " + expression + " = " + value;
    if (text.size() > kBufferSize - 1)
        Trace("%s", "Trace string too long");
    else
        Trace("%s", text.c_str());
}

} // namespace

void TraceLine(const char* source, int line, const char* expression, long long value) {
    TraceText(source, line, expression, std::to_string(value));
}

void TraceLine(const char* source, int line, const char* expression, const std::string& value) {
    TraceText(source, line, expression, value);
}
