#include "app/FileTransferHost.h"

#include "model/Prompter.h"
#include "model/ValueText.h"

CFileTransferHost::CFileTransferHost(CUnitSettings& record, IPrompter& prompter)
    : m_record(record),
      m_prompter(prompter),
      m_pages{m_panel, m_system, m_local, m_mapping, record.extensionCheck ? &m_extension : nullptr} {
    LoadPagesFromRecord();
}

CFileTransferHost::~CFileTransferHost() = default;

void CFileTransferHost::LoadPagesFromRecord() {
    ::LoadPagesFromRecord(m_pages, m_record, kDecimal);
}

bool CFileTransferHost::CheckAllPages(bool forSave) {
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

bool CFileTransferHost::CheckLocalOtherOverlap() {
    return ::CheckLocalOtherOverlap(m_local.Values(), m_mapping.WorkingCopy(), m_prompter);
}

int CFileTransferHost::IpAddressMethodIndex() const {
    return m_system.ListSelection(CSystemSettingPage::kIpAddressMethod);
}

bool CFileTransferHost::AutomaticBaudRate() const {
    return m_system.BaudRate() != 0;
}

void CFileTransferHost::StorePagesIntoRecord() {
    if (!m_scratch) return;
    m_record.pc = m_scratch->pc;
    m_record.pc.faLinkNodeCount = static_cast<uint16_t>(m_record.pc.entryCount);
}
