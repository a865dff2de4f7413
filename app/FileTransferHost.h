#pragma once
#include <memory>
#include <string>

#include "app/TransferWorkflow.h"
#include "pages/ExtensionPage.h"
#include "pages/LocalNodePage.h"
#include "pages/MappingTablePage.h"
#include "pages/PageChecks.h"
#include "pages/SystemSettingPage.h"
#include "pages/UnitAreaPanel.h"

class IPrompter;

// The editor pages loaded from a settings file, as the transfer workflow and the checks see
// them without an editor (the command line, each node of a network operation): nothing is
// edited, so what a check accepts is what the file holds. Nothing here is shared, so each node
// of a network operation has its own on its own thread.
class CFileTransferHost : public ITransferHost {
public:
    CFileTransferHost(CUnitSettings& record, IPrompter& prompter);
    ~CFileTransferHost() override;

    const CUnitAreaPanel& Panel() const { return m_panel; }
    const CSystemSettingPage& System() const { return m_system; }
    const CLocalNodePage& Local() const { return m_local; }
    const CMappingTablePage& Mapping() const { return m_mapping; }

    void PullControls() override {}
    bool CheckAllPages(bool forSave) override;
    // After CheckAllPages refused: the page whose rule refused ("unitArea", "system",
    // "localNode" or "mapping"); empty after an accepted check.
    const std::string& RefusingPage() const { return m_refusingPage; }
    bool CheckLocalOtherOverlap() override;
    int IpAddressMethodIndex() const override;
    bool AutomaticBaudRate() const override;
    bool ExtensionOn() const override { return m_record.extensionCheck != 0; }
    void CopyNodeCountToSystemSettings() override {}
    // Takes what the last accepted CheckAllPages stored, as the editor's store would.
    void StorePagesIntoRecord() override;
    void LoadPagesFromRecord() override;
    void SetBusy(bool) override {}
    std::string ProgressText() const override { return std::string(); }
    void SetProgressText(const std::string&) override {}
    void ShowVerifyResult() override {}

private:
    CUnitSettings& m_record;
    IPrompter& m_prompter;
    CUnitAreaPanel m_panel;
    CSystemSettingPage m_system;
    CLocalNodePage m_local;
    CExtensionPage m_extension;
    CMappingTablePage m_mapping{m_system, m_extension};
    PageSet m_pages;
    // Starts as a copy of the record, so fields no page owns keep the file's values.
    std::unique_ptr<CUnitSettings> m_scratch;
    std::string m_refusingPage;
};
