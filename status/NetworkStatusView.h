#pragma once
#include <functional>

#include "status/CellGrid.h"
#include "status/StatusView.h"

// "ﾈｯﾄﾜｰｸｽﾃｰﾀｽ": four conditions for each node 1-254, one row per node.
class CNetworkStatusView : public CStatusView {
public:
    static constexpr int kRows = 254;
    CNetworkStatusView(CUnitSettings& settings, IPrompter& prompter, std::function<bool()> read);

    const CCellGrid& Grid() const { return m_grid; }
    std::string ToCsv() const override { return m_grid.ToCsv(); }

    // Fills the table from the record (also the benchmarked part of a read).
    void Show() override;

protected:
    void Layout() override;
    bool Read() override;

private:
    std::function<bool()> m_read;
    CCellGrid m_grid;
};
