#include "core/tvLibrary.h"

#include "core/Trace.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

void StandardErrorSink(tvLibrary::MessageKind, const std::string& caption,
                       const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    if (TraceLog::Enabled())
        Trace("%s: %s", caption.c_str(), text.c_str());
}

tvLibrary::MessageSink& Sink() {
    static tvLibrary::MessageSink sink = StandardErrorSink;
    return sink;
}

} // namespace

tvLibrary::MessageSink tvLibrary::SetMessageSink(MessageSink sink) {
    MessageSink previous = std::move(Sink());
    Sink() = sink ? std::move(sink) : MessageSink(StandardErrorSink);
    return previous;
}

void tvLibrary::Error(const std::string& text) {
    Sink()(MessageKind::Error, "Error", text);
}

void tvLibrary::Note(const std::string& text) {
    Sink()(MessageKind::Note, "Note", text);
}

int tvLibrary::Split(const std::string& text, char delimiter, std::vector<std::string>& out) {
    int count = 0;
    std::string::size_type start = 0;
    for (auto end = text.find(delimiter); end != std::string::npos;
         end = text.find(delimiter, start)) {
        out.push_back(text.substr(start, end - start));
        ++count;
        start = end + 1;
    }
    if (start < text.size()) {
        out.push_back(text.substr(start));
        ++count;
    }
    return count;
}

bool tvLibrary::FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}
