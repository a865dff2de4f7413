#include "cli/CliTransferHost.h"

#include "model/Prompter.h"
#include "model/ValueText.h"

CCliTransferHost::CCliTransferHost(CUnitSettings& record, IPrompter& prompter)
    : m_record(record),
      m_prompter(prompter),
      m_pages{m_panel, m_system, m_local, m_mapping, record.extensionCheck ? &m_extension : nullptr} {
    LoadPagesFromRecord();
}

CCliTransferHost::~CCliTransferHost() = default;

void CCliTransferHost::LoadPagesFromRecord() {
    ::LoadPagesFromRecord(m_pages, m_record, kDecimal);
}

bool CCliTransferHost::CheckAllPages(bool forSave) {
    m_scratch = std::make_unique<CUnitSettings>(m_record);
    m_refusingPage.clear();
    if (::CheckAllPages(m_pages, forSave, kDecimal, *m_scratch, m_prompter)) return true;
    m_scratch.reset();
    // Not every rule puts the focus into a field, so the page is found by asking each page in
    // the same order again, quietly: the first that refuses is the one that did.
    RecordingPrompter quiet;
    if (!m_panel.CheckUnitArea(forSave, quiet))
        m_refusingPage = "unitArea";
    else if (!m_system.Validate(kDecimal, quiet))
        m_refusingPage = "system";
    else if (!m_local.Validate(kDecimal, quiet))
        m_refusingPage = "localNode";
    else
        m_refusingPage = "mapping";
    return false;
}

bool CCliTransferHost::CheckLocalOtherOverlap() {
    return ::CheckLocalOtherOverlap(m_local.Values(), m_mapping.WorkingCopy(), m_prompter);
}

int CCliTransferHost::IpAddressMethodIndex() const {
    return m_system.ListSelection(CSystemSettingPage::kIpAddressMethod);
}

bool CCliTransferHost::AutomaticBaudRate() const {
    return m_system.BaudRate() != 0;
}

void CCliTransferHost::StorePagesIntoRecord() {
    if (!m_scratch) return;
    m_record.pc = m_scratch->pc;
    m_record.pc.faLinkNodeCount = static_cast<uint16_t>(m_record.pc.entryCount);
}
