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

// One node's settings file as the transfer workflow sees it: the pages loaded from the record
// and never edited, so what a check accepts is what the file holds. Each node of a network
// operation has its own, on its own thread; nothing here is shared between nodes.
class CNodeTransferHost : public ITransferHost {
public:
    CNodeTransferHost(CUnitSettings& record, IPrompter& prompter);
    ~CNodeTransferHost() override;

    void PullControls() override {}
    bool CheckAllPages(bool forSave) override;
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
};
