#pragma once
#include <QDialog>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "monitor/MonitorTarget.h"
#include "network/NetworkCheck.h"
#include "network/NetworkOperations.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableWidget;
class CCommonMemoryMapWidget;
class CMonitorDlg;
class CNetworkPlan;
class IPrompter;

// The network window: the nodes of a network file with their sending areas and check state, the
// picture of common memory, and check, sync, read all, write all and verify all with a result
// row per node. Not modal; the main window keeps one.
class CNetworkDlg : public QDialog {
    Q_OBJECT
public:
    enum Column { kNumberColumn, kNameColumn, kFileColumn, kArea1Column, kArea2Column, kCheckColumn, kResultColumn };

    explicit CNetworkDlg(IPrompter& prompter, QWidget* parent = nullptr);
    ~CNetworkDlg() override;

    // Reads the network file and every node's settings file and checks them. False when the
    // network file cannot be used (the message has been shown; the window then shows no nodes).
    bool Load(const std::string& path);
    // The file chosen through chooseNetworkFile, loaded; false when none was chosen or it failed.
    bool OpenChosen();
    // Reads the files again and checks them (the check button).
    void Check();
    // Makes every node's mapping table agree with the network, after one question (the sync button).
    void Sync();
    // Read, write or verify every unit in the background; false when it did not start. The
    // result rows fill in as the nodes end; Running() is false again once all have.
    bool Start(NetworkOperation operation);
    void Cancel();
    bool Running() const { return m_running; }
    // Shows the monitor over every unit of the network (the monitor button), made on first use;
    // it follows the network as the window loads it again. Null until then.
    void OpenMonitor();
    CMonitorDlg* Monitor() const { return m_monitor; }

    bool Loaded() const { return m_loaded; }
    const std::string& NetworkPath() const { return m_path; }
    const CNetworkPlan* Plan() const { return m_plan.get(); }
    const std::vector<NetworkFinding>& Findings() const { return m_findings; }
    const NetworkRunResult& LastRun() const { return m_lastRun; }
    CCommonMemoryMapWidget* MapWidget() const { return m_map; }

    // Opens a node's settings file in the editor (the main window, with its save prompt).
    std::function<bool(const std::string& path)> openInEditor;
    // Before a sync reads the node files (their paths): the editor's unsaved changes to one of
    // them are saved or dropped (its save prompt); false (Cancel) stops the sync.
    std::function<bool(const std::vector<std::string>& paths)> beforeFilesRewritten;
    // After a sync wrote these files: the editor shows what one of them holds now.
    std::function<void(const std::vector<std::string>& paths)> filesRewritten;
    // The network file to open; empty: cancelled. Unset: a file dialog.
    std::function<std::string()> chooseNetworkFile;
    // The folder read all writes the settings files into; empty: cancelled. Unset: a folder dialog.
    std::function<std::string()> chooseReadFolder;
    // How the operations reach the units (a simulated peer in tests and with --simulate).
    NetworkOperationOptions operationOptions;
    // Read all, write all and verify all start (busy) and end using these units: another
    // monitor leaves them alone meanwhile, as this window's own monitor does.
    std::function<void(bool busy, const std::vector<MonitorTarget>& units)> onUnitsBusy;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Loads again from m_path; false as Load.
    bool Reload();
    void ShowNetwork();
    void FillNodeRow(int row);
    void ShowResult(const NetworkNodeResult& result);
    void Finished();
    void UpdateButtons();
    void OnNodeActivated(int row);
    void SelectNode(int node);
    // Every unit of the loaded network, reached as the operations reach it.
    std::vector<MonitorTarget> Units() const;
    void SetUnitsBusy(bool busy);

    IPrompter& m_prompter;
    std::string m_path;
    bool m_loaded = false;
    std::unique_ptr<CNetworkPlan> m_plan;
    std::vector<NetworkFinding> m_findings;

    std::unique_ptr<CNetworkOperations> m_operations;
    NetworkOperation m_operation = NetworkOperation::Verify;
    NetworkRunResult m_lastRun;
    std::vector<NodeOutcome> m_outcomes;  // per row, for the progress bar
    std::thread m_worker;
    bool m_running = false;
    // Set while the window is destroyed: questions from the worker are answered Cancel.
    std::atomic<bool> m_closing{false};
    std::atomic<bool> m_workerDone{true};
    // The units the run under way uses, left alone by the monitors until it has ended.
    std::vector<MonitorTarget> m_busyUnits;
    CMonitorDlg* m_monitor = nullptr;

    QLabel* m_title = nullptr;
    QPushButton* m_open = nullptr;
    QPushButton* m_check = nullptr;
    QPushButton* m_sync = nullptr;
    QPushButton* m_readAll = nullptr;
    QPushButton* m_writeAll = nullptr;
    QPushButton* m_verifyAll = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_monitorButton = nullptr;
    QTableWidget* m_nodes = nullptr;
    CCommonMemoryMapWidget* m_map = nullptr;
    QListWidget* m_findingList = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
};
