#pragma once

#include "status/MessageSequenceView.h"
#include "status/qt/StatusDialog.h"

class CColorListCtrl;
class QLineEdit;

// Dialog "ﾒｯｾｰｼﾞ通番ｽﾃｰﾀｽ" over CMessageSequenceView; read runs ReadMessageSequence.
// Widgets: "versionField", "sendOneToNField", "sendTable" and "receiveTable". The wait cursor
// shows for as long as an update reads.
class CMessageSequenceDlg : public CStatusDialog {
    Q_OBJECT
public:
    CMessageSequenceDlg(CUnitSettings& settings, IPrompter& prompter, CMessageSequenceView::ReadFunction read,
                        QWidget* parent = nullptr);
    CMessageSequenceView& Model() { return m_model; }

protected:
    void Refresh() override;

private:
    CMessageSequenceView m_model;
    QLineEdit* m_version;
    QLineEdit* m_sendOneToN;
    CColorListCtrl* m_send;
    CColorListCtrl* m_receive;
};
