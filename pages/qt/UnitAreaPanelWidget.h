#pragma once
#include <QWidget>

#include "pages/UnitAreaPanel.h"

class QCheckBox;
class QLineEdit;

// The unit information and unit area panel beside the tabs, bound to CUnitAreaPanel.
class CUnitAreaPanelWidget : public QWidget {
    Q_OBJECT
public:
    CUnitAreaPanelWidget(CUnitAreaPanel& panel, QWidget* parent = nullptr);

    // Shows the panel's texts and check boxes, and the unit information of the image.
    void Refresh();
    void ShowUnitInfo(const SettingsImage& image);
    // Runs the check; a refusal puts the focus into the named edit with its text selected.
    bool CheckUnitArea(bool forSave, IPrompter& prompter);
    void ApplyFocus(const FocusRequest& focus);

private:
    CUnitAreaPanel& m_panel;
    QLineEdit* m_info[5] = {};
    QCheckBox* m_check[CUnitAreaPanel::kItemCount] = {};
    QLineEdit* m_edit[CUnitAreaPanel::kItemCount] = {};
};
