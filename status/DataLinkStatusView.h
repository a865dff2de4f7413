#pragma once
#include <functional>

#include "status/CellGrid.h"
#include "status/StatusView.h"

// "ﾃﾞｰﾀﾘﾝｸｽﾃｰﾀｽ": node numbers 1-254 in a 16 x 16 grid, participating nodes white on blue.
class CDataLinkStatusView : public CStatusView {
public:
    CDataLinkStatusView(CUnitSettings& settings, IPrompter& prompter, std::function<bool()> read);

    const CCellGrid& Grid() const { return m_grid; }
    // Whether the grid shows node n as taking part (0-255).
    bool ShownParticipating(int node) const;
    // "node,participating" for nodes 1-254 as shown.
    std::string ToCsv() const override;

protected:
    void Layout() override;
    bool Read() override;
    void Show() override;
    void BeforeUpdateRead() override;

private:
    void ResetColours();

    std::function<bool()> m_read;
    CCellGrid m_grid;
};
