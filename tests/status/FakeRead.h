#pragma once
#include <functional>
#include <vector>

// A read that answers from a script (true by default), counts its calls, and can write the
// record or look at the view while it "waits", as the real one does when it pumps messages.
struct FakeRead {
    int calls = 0;
    std::vector<bool> results;  // consumed front first
    std::function<void()> during;

    bool operator()() {
        ++calls;
        if (during) during();
        if (results.empty()) return true;
        bool r = results.front();
        results.erase(results.begin());
        return r;
    }
    std::function<bool()> Fn() {
        return [this] { return (*this)(); };
    }
};
