#pragma once
#include <memory>

// While it lives, an interrupt (Ctrl+C) or a request to terminate calls handler, which may only
// set a flag; the previous handlers come back when it goes. Linux: SIGINT and SIGTERM. Windows:
// Ctrl+C, Ctrl+Break and SIGTERM of the C library.
class CStopSignals {
public:
    explicit CStopSignals(void (*handler)(int));
    ~CStopSignals();
    CStopSignals(const CStopSignals&) = delete;
    CStopSignals& operator=(const CStopSignals&) = delete;

private:
    struct Saved;  // the previous dispositions, as the system keeps them
    std::unique_ptr<Saved> m_saved;
};
