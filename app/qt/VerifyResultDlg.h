#pragma once
#include <QDialog>

class CVerifyResult;

// "照合": the items that differ between the PC's and the PLC's settings, at least 15 rows.
class CVerifyResultDlg : public QDialog {
    Q_OBJECT
public:
    CVerifyResultDlg(const CVerifyResult& result, QWidget* parent = nullptr);
};
