#pragma once
#include <QWidget>

#include "pages/SystemSettingPage.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

// The CPU bus unit system settings tab, bound to CSystemSettingPage.
class CSystemSettingPageWidget : public QWidget {
    Q_OBJECT
public:
    CSystemSettingPageWidget(CSystemSettingPage& page, QWidget* parent = nullptr);

    void Refresh();
    bool Validate(int radix, IPrompter& prompter);
    void ApplyFocus(const FocusRequest& focus);
    // The first field, which gets the focus after a load while this tab is current.
    QWidget* FirstField() const;

private:
    CSystemSettingPage& m_page;
    QComboBox* m_list[CSystemSettingPage::kListCount] = {};
    QLineEdit* m_octet[8] = {};
    QLineEdit* m_nodeCount = nullptr;
    QRadioButton* m_baud[2] = {};
};
