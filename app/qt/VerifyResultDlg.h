#pragma once
#include <QDialog>
#include <array>

class CColorListCtrl;
class CVerifyResult;

// "照合": the items that differ between the PC's and the PLC's settings, at least 15 rows.
class CVerifyResultDlg : public QDialog {
    Q_OBJECT
public:
    CVerifyResultDlg(const CVerifyResult& result, QWidget* parent = nullptr);

    // Widths of "No." and the three text columns for a list of this client width: the text
    // columns share what is left after the scroll bar and 35 pixels, 7 : 5 : 5.
    static std::array<int, 4> ColumnWidths(int clientWidth, int scrollBarWidth);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int ScrollBarWidth() const;
    int ClientWidth() const;
    void FitColumns();
    // Makes the list at least wide enough for every text and tall enough for 15 rows.
    void SizeToContents();

    CColorListCtrl* m_list = nullptr;
};
