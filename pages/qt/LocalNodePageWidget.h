#pragma once
#include <QWidget>

#include "pages/LocalNodePage.h"

class QComboBox;
class QLineEdit;

// The local node settings tab, bound to CLocalNodePage.
class CLocalNodePageWidget : public QWidget {
    Q_OBJECT
public:
    CLocalNodePageWidget(CLocalNodePage& page, QWidget* parent = nullptr);

    void Refresh();
    bool Validate(int radix, IPrompter& prompter);
    void ApplyFocus(const FocusRequest& focus);

private:
    CLocalNodePage& m_page;
    QComboBox* m_list[2] = {};
    QLineEdit* m_edit[CLocalNodePage::kEditCount] = {};
};
