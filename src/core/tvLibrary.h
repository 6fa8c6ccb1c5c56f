#pragma once

#include <functional>
#include <string>
#include <vector>

// Small host-neutral helpers: message boxes through a replaceable sink, a string
// splitter and a file test.
namespace tvLibrary {

enum class MessageKind { Error, Note };

// Shows one message. The default sink writes "<caption>: <text>" to standard error (and a
// trace line when tracing); the configuration sheet installs one that shows a box.
using MessageSink =
    std::function<void(MessageKind kind, const std::string& caption, const std::string& text)>;

// An empty sink restores the default. Returns the previous sink.
MessageSink SetMessageSink(MessageSink sink);

void Error(const std::string& text); // caption "Error"
void Note(const std::string& text);  // caption "Note"

// Appends the pieces of text between delimiters to out and returns how many were appended.
// A piece ending at a delimiter is kept even when empty; the piece after the last delimiter
// only when not empty ("a*b*" and "a*b" give a, b; "a**b" gives a, "", b; "" gives none).
int Split(const std::string& text, char delimiter, std::vector<std::string>& out);

bool FileExists(const std::string& path);

} // namespace tvLibrary
