#pragma once
#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>

#include "app/LinkSmithApp.h"
#include "app/TransferWorkflow.h"
#include "app/ViewState.h"
#include "model/SettingsFile.h"
#include "model/UnitSettings.h"
#include "pages/ExtensionPage.h"
#include "pages/LocalNodePage.h"
#include "pages/MappingTablePage.h"
#include "pages/SystemSettingPage.h"
#include "pages/UnitAreaPanel.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QTabWidget;
class QToolBar;
class CAppSettingsStore;
class CCommuProcess;
class CCommSettings;
class CCommSettingDlg;
class CExtensionPageWidget;
class CInputBlocker;
class CLocalNodePageWidget;
class CMappingTablePageWidget;
class CNetworkDlg;
class CSystemSettingPageWidget;
class CUnitAreaPanelWidget;
class IPrompter;
class CMonitorDlg;
class IDatagramPeer;

// The main window: menus, toolbar, the settings tabs with the unit area panel beside them,
// and the status bar. It owns the settings file object and routes every command.
class CLinkSmithDlg : public QMainWindow, public ITransferHost {
    Q_OBJECT
public:
    enum DocumentState { kNewDocument = 1, kSettingsFile = 2, kOldVersionFile = 3 };

    enum Tab { kSystemTab = 0, kLocalTab = 1, kMappingTab = 2, kExtensionTab = 3 };

    // dialogs null: the window shows Qt file and comment dialogs of its own.
    CLinkSmithDlg(CLinkSmithApp& app, CUnitSettings& record, CCommuProcess& commu, IPrompter& prompter,
                  ISettingsFileDialogs* dialogs, CAppSettingsStore& store, bool simulated, QWidget* parent = nullptr);
    ~CLinkSmithDlg() override;

    // Starts the middleware, opens its project and loads the document named at start.
    // False: the program ends (the reason has been shown).
    bool Start();
    CTransferWorkflow& Workflow() { return *m_workflow; }

    // Runs the command with the given menu or toolbar id, as the menu would.
    void RunCommand(int id);
    QAction* Action(int id) const;

    // Read by tests and the status views.
    int DisplayMode() const { return m_viewState.displayMode; }
    bool ExtensionOn() const override { return m_viewState.extensionOn != 0; }
    DocumentState Document() const { return m_documentState; }
    QString StatusText() const;
    const CRecentFiles& Recent() const { return m_recent; }
    CSettingsFile& SettingsFile() { return m_settingsFile; }
    QTabWidget* Tabs() const { return m_tabs; }
    int CurrentTab() const { return m_currentTab; }
    CUnitAreaPanel& Panel() { return m_panel; }
    CSystemSettingPage& SystemPage() { return m_system; }
    CLocalNodePage& LocalPage() { return m_local; }
    CMappingTablePage& MappingPage() { return m_mapping; }
    CExtensionPage& ExtensionPage() { return m_extension; }

    // The editor's checks and stores, as save, transfer and verify use them.
    bool CheckAllPages(bool forSave) override;
    bool CheckLocalOtherOverlap() override;
    void StorePagesIntoRecord(bool withDataOrders);
    void ReloadPagesFromRecord(bool oldVersion);
    void SetBusy(bool busy) override;
    bool Busy() const { return m_busy; }
    std::string ProgressText() const override;
    void SetProgressText(const std::string& text) override;
    void SetChunkProgress(int done, int total) override;

    void RefreshTitle();
    void RefreshStatusText();
    void SetModified() { m_app.modified = true; }

    QMenu* createPopupMenu() override;

    // The network window (settings menu "ﾈｯﾄﾜｰｸ(&W)...", linksmith --network NET), made on first
    // use. OpenNetwork shows it with path loaded, or without one asks for a network file unless it
    // holds one already.
    CNetworkDlg* NetworkWindow();
    CNetworkDlg* Network() const { return m_network; }
    void OpenNetwork(const std::string& path);
    // A settings file opened as from the recent-file list: the save prompt, then the file.
    bool OpenSettingsFile(const std::string& path);

    // The monitor window (status menu "ﾗｲﾌﾞﾓﾆﾀ(&L)", linksmith --monitor): shown, made on first use
    // for the connected unit. Null until then.
    void OpenMonitor();
    CMonitorDlg* Monitor() const { return m_monitor; }
    // The in-process simulated unit (--simulate), which the monitor reads too.
    void SetSimulatedPeer(IDatagramPeer* peer) { m_simulatedPeer = peer; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // A settings file (.lsm, or .csv as an older-version file) dropped anywhere on the window
    // opens as Open does; the fields would otherwise take the path as text.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildToolbar();
    void BuildStatusBar(bool simulated);
    void ApplyViewState();
    void RebuildRecentMenu();
    void AddRecentFile(const std::string& path);

    // The save prompt before new, open and close; false: the user cancelled.
    bool SavePrompt();
    void OnNew();
    void OnOpen(bool oldVersion);
    void OnOpenRecent(int index);
    void OnSave(bool saveAs);
    void AfterLoad(DocumentState state);
    // Reads the file named, an older-version one when its extension says so, and reloads the pages.
    bool LoadNamedFile(const std::string& path);
    // Whether the settings file open here is one of these files.
    bool OpenDocumentIsOneOf(const std::vector<std::string>& paths) const;
    void ToggleExtension();
    void SetDisplayMode(int mode);
    void ToggleToolbar();
    void ToggleStatusBar();
    void OnHelp();
    void OnAbout();
    void ChooseDefaultDirectoryForNew();
    void BuildPages();
    // The window's size and place of the last run, kept on a screen that is there now.
    void RestorePlacement();
    void SavePlacement();
    void AcceptDroppedFiles();
    void OnTabChanged(int index);
    void ShowTab(int index);
    void RefreshPages();
    void UpdateEditMenu();
    void ApplyPageFocus();
    void OnCommSettings();
    // Opens the PLC, checks the unit, shows one status view modally, closes the PLC.
    void RunStatusView(const std::function<void(QWidget* parent)>& show);

    // The rest of what the transfer and verify sequences need.
    void PullControls() override;
    int IpAddressMethodIndex() const override;
    bool AutomaticBaudRate() const override;
    void CopyNodeCountToSystemSettings() override;
    void StorePagesIntoRecord() override { StorePagesIntoRecord(true); }
    void LoadPagesFromRecord() override;
    void ShowVerifyResult() override;

    CLinkSmithApp& m_app;
    CUnitSettings& m_record;
    CCommuProcess& m_commu;
    IPrompter& m_prompter;
    CAppSettingsStore& m_store;
    std::unique_ptr<ISettingsFileDialogs> m_ownDialogs;
    CSettingsFile m_settingsFile;
    CUnitSettings m_scratch;
    bool m_busy = false;
    bool m_projectOpen = false;  // the connection entries were read from the profile
    std::unique_ptr<CInputBlocker> m_inputBlocker;  // while busy
    int m_currentTab = kSystemTab;

    CUnitAreaPanel m_panel;
    CSystemSettingPage m_system;
    CLocalNodePage m_local;
    CExtensionPage m_extension;
    CMappingTablePage m_mapping{m_system, m_extension};
    CUnitAreaPanelWidget* m_panelWidget = nullptr;
    CSystemSettingPageWidget* m_systemWidget = nullptr;
    CLocalNodePageWidget* m_localWidget = nullptr;
    CMappingTablePageWidget* m_mappingWidget = nullptr;
    CExtensionPageWidget* m_extensionWidget = nullptr;
    std::unique_ptr<CCommSettings> m_commSettings;
    CCommSettingDlg* m_commSettingDlg = nullptr;
    std::unique_ptr<CTransferWorkflow> m_workflow;
    ViewState m_viewState;
    CRecentFiles m_recent;
    DocumentState m_documentState = kNewDocument;

    std::map<int, QAction*> m_actions;
    QMenu* m_fileMenu = nullptr;
    QToolBar* m_toolBar = nullptr;
    QTabWidget* m_tabs = nullptr;
    QLabel* m_statusPane = nullptr;
    QProgressBar* m_chunkBar = nullptr;
    CNetworkDlg* m_network = nullptr;
    CMonitorDlg* m_monitor = nullptr;
    IDatagramPeer* m_simulatedPeer = nullptr;
};
