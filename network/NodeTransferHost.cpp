#include "network/NodeTransferHost.h"

#include "model/Prompter.h"
#include "model/ValueText.h"

CNodeTransferHost::CNodeTransferHost(CUnitSettings& record, IPrompter& prompter)
    : m_record(record),
      m_prompter(prompter),
      m_pages{m_panel, m_system, m_local, m_mapping, record.extensionCheck ? &m_extension : nullptr} {
    LoadPagesFromRecord();
}

CNodeTransferHost::~CNodeTransferHost() = default;

void CNodeTransferHost::LoadPagesFromRecord() {
    ::LoadPagesFromRecord(m_pages, m_record, kDecimal);
}

bool CNodeTransferHost::CheckAllPages(bool forSave) {
    m_scratch = std::make_unique<CUnitSettings>(m_record);
    if (::CheckAllPages(m_pages, forSave, kDecimal, *m_scratch, m_prompter)) return true;
    m_scratch.reset();
    return false;
}

bool CNodeTransferHost::CheckLocalOtherOverlap() {
    return ::CheckLocalOtherOverlap(m_local.Values(), m_mapping.WorkingCopy(), m_prompter);
}

int CNodeTransferHost::IpAddressMethodIndex() const {
    return m_system.ListSelection(CSystemSettingPage::kIpAddressMethod);
}

bool CNodeTransferHost::AutomaticBaudRate() const {
    return m_system.BaudRate() != 0;
}

void CNodeTransferHost::StorePagesIntoRecord() {
    if (!m_scratch) return;
    m_record.pc = m_scratch->pc;
    m_record.pc.faLinkNodeCount = static_cast<uint16_t>(m_record.pc.entryCount);
}
