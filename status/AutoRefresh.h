#pragma once

// Our addition to the views: repeat the read at an interval while the view is open, and stop
// for good at the first failed read (its message has been shown once by then).
class CAutoRefresh {
public:
    static constexpr int kDefaultIntervalMs = 1000;
    static constexpr int kMinIntervalMs = 200;
    static constexpr int kMaxIntervalMs = 60000;

    bool IsOn() const { return m_on; }
    void SetOn(bool on) { m_on = on; }
    int IntervalMs() const { return m_intervalMs; }
    // Refuses (and keeps the old interval) outside kMinIntervalMs..kMaxIntervalMs.
    bool SetIntervalMs(int ms);
    // Called when a refresh read ended; a failure switches the refresh off.
    void ReadEnded(bool ok) {
        if (!ok) m_on = false;
    }

private:
    bool m_on = false;
    int m_intervalMs = kDefaultIntervalMs;
};
