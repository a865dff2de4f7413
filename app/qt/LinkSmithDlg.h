#pragma once
#include <QMainWindow>
#include <map>
#include <memory>

#include "app/LinkSmithApp.h"
#include "app/ViewState.h"
#include "model/SettingsFile.h"
#include "model/UnitSettings.h"

class QAction;
class QLabel;
class QMenu;
class QTabWidget;
class QToolBar;
class CAppSettingsStore;
class IPrompter;

// The main window: menus, toolbar, the settings tabs with the unit area panel beside them,
// and the status bar. It owns the settings file object and routes every command.
class CLinkSmithDlg : public QMainWindow {
    Q_OBJECT
public:
    enum DocumentState { kNewDocument = 1, kSettingsFile = 2, kOldVersionFile = 3 };

    CLinkSmithDlg(CLinkSmithApp& app, CUnitSettings& record, IPrompter& prompter, ISettingsFileDialogs* dialogs,
                  CAppSettingsStore& store, bool simulated, QWidget* parent = nullptr);
    ~CLinkSmithDlg() override;

    // Runs the command with the given menu or toolbar id, as the menu would.
    void RunCommand(int id);
    QAction* Action(int id) const;

    // Read by tests and the status views.
    int DisplayMode() const { return m_viewState.displayMode; }
    bool ExtensionOn() const { return m_viewState.extensionOn != 0; }
    DocumentState Document() const { return m_documentState; }
    QString StatusText() const;
    const CRecentFiles& Recent() const { return m_recent; }
    CSettingsFile& SettingsFile() { return m_settingsFile; }
    QTabWidget* Tabs() const { return m_tabs; }

    void RefreshTitle();
    void RefreshStatusText();
    void SetModified() { m_app.modified = true; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

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
    void ToggleExtension();
    void SetDisplayMode(int mode);
    void ToggleToolbar();
    void ToggleStatusBar();
    void OnHelp();
    void OnAbout();
    void ChooseDefaultDirectoryForNew();

    CLinkSmithApp& m_app;
    CUnitSettings& m_record;
    IPrompter& m_prompter;
    CAppSettingsStore& m_store;
    CSettingsFile m_settingsFile;
    ViewState m_viewState;
    CRecentFiles m_recent;
    DocumentState m_documentState = kNewDocument;

    std::map<int, QAction*> m_actions;
    QMenu* m_fileMenu = nullptr;
    QToolBar* m_toolBar = nullptr;
    QTabWidget* m_tabs = nullptr;
    QLabel* m_statusPane = nullptr;
    QWidget* m_extensionTab = nullptr;
};
