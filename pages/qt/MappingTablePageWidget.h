#pragma once
#include <QWidget>
#include <functional>

#include "pages/MappingTablePage.h"

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QScrollBar;

// The FA Link mapping table tab, bound to CMappingTablePage: ten visible lines of cells,
// the scroll bar, the information line and the page's own Ctrl+A / Ctrl+C / Ctrl+D.
class CMappingTablePageWidget : public QWidget {
    Q_OBJECT
public:
    CMappingTablePageWidget(CMappingTablePage& page, IPrompter& prompter, QWidget* parent = nullptr);

    // Writes every control from the page (the page's Redisplay is the caller's).
    void Refresh();
    bool Validate(int radix, IPrompter& prompter);
    void ApplyFocus(const FocusRequest& focus);

    // The edit commands as the menu runs them; ClearAll asks first.
    void ClearAll();
    void CopyLine();
    void DeleteLine();

    // Called when something the user edited here changed another page (the node list).
    std::function<void()> onTableChanged;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Display column order: No, node, area-1 offset, start, size, area-2 offset, start, size.
    static constexpr int kGridColumns = 8;
    QLineEdit* Cell(int column, int line) const;
    bool FindCell(QObject* watched, int& column, int& line) const;
    void OnScrollAction(int action);
    // Arrows, Page Up/Down and Tab at the table's edges move through the 128 rows.
    bool MoveThroughTable(QObject* watched, QKeyEvent* key);

    CMappingTablePage& m_page;
    IPrompter& m_prompter;
    QComboBox* m_list[2] = {};
    QLineEdit* m_start[2] = {};
    QLineEdit* m_no[CMappingTablePage::kLines] = {};
    QLineEdit* m_cell[CMappingTablePage::kColumnCount][CMappingTablePage::kLines] = {};
    QScrollBar* m_scroll = nullptr;
    QLabel* m_information = nullptr;
};
