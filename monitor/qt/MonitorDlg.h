#pragma once
#include <QDialog>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "monitor/MonitorLog.h"
#include "monitor/MonitorTarget.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;
class QTableWidget;
class CColorListCtrl;
class CDataLinkStatusView;
class CLampEdit;
class CMonitorScheduler;
class CUnitPool;
class IDatagramPeer;
class RecordingPrompter;
class CUnitSettings;

// "ﾗｲﾌﾞﾓﾆﾀ": keeps reading the unit (or every unit of a network) at the interval the user picks,
// shows the data link, the network status of the nodes that take part, the error status lamps,
// the cycle times and when the last read succeeded, and logs every change as an event. It is not
// modal: the editor stays usable, and the reads run on threads of their own.
class CMonitorDlg : public QDialog {
    Q_OBJECT
public:
    // simulated: the in-process simulated unit the program talks to (null: the device strings').
    CMonitorDlg(std::vector<MonitorTarget> targets, IDatagramPeer* simulated, QWidget* parent = nullptr);
    ~CMonitorDlg() override;

    // The program uses the PLC of target (a transfer or a modal status view) or has ended that
    // use: units at that PLC are not read meanwhile. Returns once a read of them under way has
    // ended, so the caller's exchange never meets one of the monitor's.
    void SetHostBusy(bool busy, const MonitorTarget& used);
    // Watches these units from now on, when they are not the ones watched: the window starts
    // afresh for them (a new log), reading on at once if it was reading. A unit the program is
    // using stays unread.
    void Watch(std::vector<MonitorTarget> targets);
    // Where "CSV保存(&S)" saves (tests); by default a file dialog asks. Empty: not saved.
    void SetCsvPathChooser(std::function<QString()> chooser) { m_chooseCsv = std::move(chooser); }

    const CMonitorLog& Log() const { return m_log; }
    int Rounds() const { return m_rounds; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void OnRound(const std::vector<MonitorReading>& round);
    void ShowUnit();
    void RebuildEvents();
    void AppendEvent(const MonitorEvent& e);
    CMonitorLog::Filter CurrentFilter() const;
    void SaveCsv();
    void StartReading();
    void FillTargetChoice();
    void ClearUnit();

    IDatagramPeer* m_simulated;
    std::unique_ptr<CUnitPool> m_pool;
    std::unique_ptr<CMonitorScheduler> m_scheduler;
    CMonitorLog m_log;
    int m_rounds = 0;
    // Rounds handed over by the units watched before Watch changed them are dropped.
    int m_generation = 0;
    // The PLCs the program uses now (SetHostBusy), kept for the units Watch brings.
    std::vector<MonitorTarget> m_hostBusy;
    std::function<QString()> m_chooseCsv;

    // The data link grid is drawn by the data link status view from a record of the window's own.
    std::unique_ptr<CUnitSettings> m_shown;
    std::unique_ptr<RecordingPrompter> m_viewPrompter;
    std::unique_ptr<CDataLinkStatusView> m_dataLinkView;

    QComboBox* m_target = nullptr;
    QDoubleSpinBox* m_interval = nullptr;
    QLabel* m_lastRead = nullptr;
    QLabel* m_stale = nullptr;
    QLabel* m_paused = nullptr;
    CColorListCtrl* m_dataLink = nullptr;
    QTableWidget* m_nodes = nullptr;
    std::vector<CLampEdit*> m_lamps;
    std::array<QLabel*, 3> m_cycle{};
    QTableWidget* m_events = nullptr;
    QComboBox* m_kindFilter = nullptr;
    QSpinBox* m_nodeFilter = nullptr;
};
