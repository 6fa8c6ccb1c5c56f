#pragma once

// Turns SIGTERM, SIGINT and SIGHUP into a flag and a readable pipe, so that a run ends
// through its normal exit path (the settings still write their record) and a blocking wait
// wakes at once. SIGCONT is counted for the suspend-aware clock. One per process.
class SignalPipe {
public:
    // Installs the handlers; they stay until the destructor restores the previous ones and
    // forgets the signal, so a later pipe in the same process starts clean.
    SignalPipe();
    ~SignalPipe();
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    // False when the pipe could not be made; the flag still works then, only waits do not
    // wake early.
    bool IsOk() const { return m_ReadFd >= 0; }

    // True once an ending signal arrived. Cheap: no system call.
    static bool Terminated();
    // The signal that ended the run (0 if none).
    static int TerminatingSignal();
    // "SIGTERM", "SIGINT" or "SIGHUP" for messages; "" if none arrived.
    static const char* TerminatingSignalName();
    // How many times the process was continued after a stop.
    static unsigned long Continues();

    // Becomes readable when an ending signal arrived; -1 when there is no pipe.
    int ReadFd() const { return m_ReadFd; }

private:
    int m_ReadFd = -1;
    int m_WriteFd = -1;
};
