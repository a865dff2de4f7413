#include "platform/StopSignals.h"

#include <csignal>

struct CStopSignals::Saved {
    void (*interrupt)(int);
    void (*brk)(int);
    void (*terminate)(int);
};

// The C library turns Ctrl+C and Ctrl+Break of the console into SIGINT and SIGBREAK.
CStopSignals::CStopSignals(void (*handler)(int)) {
    m_saved.reset(
        new Saved{std::signal(SIGINT, handler), std::signal(SIGBREAK, handler), std::signal(SIGTERM, handler)});
}

CStopSignals::~CStopSignals() {
    std::signal(SIGINT, m_saved->interrupt);
    std::signal(SIGBREAK, m_saved->brk);
    std::signal(SIGTERM, m_saved->terminate);
}
