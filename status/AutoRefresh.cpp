#include "status/AutoRefresh.h"

bool CAutoRefresh::SetIntervalMs(int ms) {
    if (ms < kMinIntervalMs || ms > kMaxIntervalMs) return false;
    m_intervalMs = ms;
    return true;
}
