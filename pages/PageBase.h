#pragma once
#include <functional>

#include "pages/FocusRequest.h"

// What every page and the panel share: the hook that sets the document's modified flag,
// and the focus that the last refused check asks for.
class CPageBase {
public:
    // Set by the main window; called on every user change that counts as an edit.
    std::function<void()> onModified;

    const FocusRequest& Focus() const { return m_focus; }
    void ClearFocus() { m_focus.Clear(); }

protected:
    void NotifyModified() {
        if (onModified) onModified();
    }
    void RequestFocus(int field, int row = -1) { m_focus = FocusRequest{field, row, true}; }

    FocusRequest m_focus;
};
