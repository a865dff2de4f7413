#include "platform/StopSignals.h"

#include <csignal>

struct CStopSignals::Saved {
    struct sigaction interrupt {};
    struct sigaction terminate {};
};

CStopSignals::CStopSignals(void (*handler)(int)) : m_saved(std::make_unique<Saved>()) {
    struct sigaction sa {};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, &m_saved->interrupt);
    sigaction(SIGTERM, &sa, &m_saved->terminate);
}

CStopSignals::~CStopSignals() {
    sigaction(SIGINT, &m_saved->interrupt, nullptr);
    sigaction(SIGTERM, &m_saved->terminate, nullptr);
}
