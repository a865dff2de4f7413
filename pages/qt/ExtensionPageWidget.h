#pragma once
#include <QWidget>

#include "pages/ExtensionPage.h"

class QComboBox;
class QLineEdit;
class QScrollBar;

// The extension settings tab, bound to CExtensionPage.
class CExtensionPageWidget : public QWidget {
    Q_OBJECT
public:
    CExtensionPageWidget(CExtensionPage& page, QWidget* parent = nullptr);

    void Refresh();

protected:
    void wheelEvent(QWheelEvent* event) override;
    // Arrows on the No cells, Page Up/Down and Tab past the last line move the ten-line window.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnScrollAction(int action);

    CExtensionPage& m_page;
    QComboBox* m_sendOrder = nullptr;
    QLineEdit* m_no[CExtensionPage::kLines] = {};
    QLineEdit* m_node[CExtensionPage::kLines] = {};
    QComboBox* m_order[CExtensionPage::kLines] = {};
    QScrollBar* m_scroll = nullptr;
};
