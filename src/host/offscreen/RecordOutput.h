#pragma once

#include "host/posix/ReplacingFile.h"

#include <cstddef>
#include <string>

// Where a recording goes: standard output (a pipe to an encoder or player, as "-" names it)
// or a file, written in full or not at all (ReplacingFile). Writes to a descriptor wait in
// poll() together with the signal pipe, so an ending signal frees a run whose reader has
// stopped reading; a reader that went away fails the write with EPIPE (SIGPIPE must be
// ignored by then).
class RecordOutput {
public:
    // fd: the descriptor "-" stands for (standard output in the program).
    RecordOutput(std::string path, int fd, int signalFd);

    // Opens the file, or checks that the descriptor is no terminal. False with the reason.
    bool Open(std::string& error);
    // False with the reason, or when an ending signal arrived (error then stays empty).
    bool Write(const void* data, std::size_t size, std::string& error);
    // Puts the file in place; nothing to do for a descriptor.
    bool Finish(std::string& error);

    bool IsStream() const { return m_Path == "-"; }
    // "standard output" or the file's name, for messages.
    std::string Name() const { return IsStream() ? "standard output" : m_Path; }

private:
    bool WriteFd(const unsigned char* data, std::size_t size, std::string& error) const;

    std::string m_Path;
    int m_Fd;
    int m_SignalFd;
    ReplacingFile m_File;
};
