#pragma once
#include <QDialog>

#include "app/CommSettings.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

// "通信設定": the connection kind, the entry edit and the unit number.
class CCommSettingDlg : public QDialog {
    Q_OBJECT
public:
    CCommSettingDlg(CCommSettings& settings, QWidget* parent = nullptr);
    // Opens modally; true when closed with "閉じる" (the record then holds the choice).
    bool Run();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ShowTexts();

    CCommSettings& m_settings;
    QLineEdit* m_interface;
    QLineEdit* m_gateway;
    QLineEdit* m_plc;
    QRadioButton* m_direct;
    QRadioButton* m_viaGateway;
    QComboBox* m_unit;
};
