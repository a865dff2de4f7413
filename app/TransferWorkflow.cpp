#include "app/TransferWorkflow.h"

#include "comm/CommuProcess.h"
#include "model/Messages.h"
#include "model/Prompter.h"

namespace {
constexpr int kSending = 32935, kReceiving = 32936, kVerifying = 33070;
constexpr int kAskWrite = 32941, kAskRead = 32909;
constexpr int kIpMethodInvalid = 32939, kBaudRateInvalid = 32940, kExtensionInvalid = 32942;
constexpr int kTransferDone = 33030, kNoSuchUnit = 33007, kVerifyAborted = 33009;
constexpr int kVerifyMatch = 32891, kVerifyMismatch = 32892;
}  // namespace

CTransferWorkflow::CTransferWorkflow(CCommuProcess& commu, CUnitSettings& record, IPrompter& prompter,
                                     ITransferHost& host, std::function<size_t()> verifyRowCount)
    : m_commu(commu), m_record(record), m_prompter(prompter), m_host(host), m_verifyRowCount(std::move(verifyRowCount)) {}

void CTransferWorkflow::RunBusy(int progressId, bool (CTransferWorkflow::*sequence)()) {
    m_host.SetBusy(true);
    const std::string remembered = m_host.ProgressText();
    m_host.SetProgressText(MessageText(progressId));
    m_commu.SetChunkProgress([this](int done, int total) { m_host.SetChunkProgress(done, total); });
    (this->*sequence)();
    m_commu.SetChunkProgress({});
    m_host.SetChunkProgress(0, 0);
    m_host.SetProgressText(remembered);
    m_host.SetBusy(false);
}

void CTransferWorkflow::OnTransferToPlc() {
    RunBusy(kSending, &CTransferWorkflow::TransferToPlc);
}

void CTransferWorkflow::OnTransferFromPlc() {
    RunBusy(kReceiving, &CTransferWorkflow::TransferFromPlc);
}

void CTransferWorkflow::OnVerify() {
    RunBusy(kVerifying, &CTransferWorkflow::VerifyWithPlc);
}

bool CTransferWorkflow::CheckUnitModel() {
    if (!m_commu.ReadControllerData() || m_commu.m_error) return false;
    const std::string& model = m_commu.m_unitModel;
    if (model.size() >= 10 && (model.compare(0, 7, "VR4K-LU") == 0 || model.compare(0, 7, "VR3K-LU") == 0))
        return true;
    m_prompter.Message(kNoSuchUnit);
    return false;
}

bool CTransferWorkflow::TransferToPlc() {
    m_host.PullControls();
    if (!m_host.CheckAllPages(false)) return false;
    if (!m_host.CheckLocalOtherOverlap()) return false;
    if (m_prompter.Show(kAskWrite, {}, PromptButtons::YesNo, PromptIcon::Exclamation) == PromptAnswer::No)
        return false;
    if (!m_commu.OpenPlc()) return false;
    if (!CheckUnitModel()) {
        m_commu.ClosePlc();
        return false;
    }
    const std::string& model = m_commu.m_unitModel;
    const std::string ending = model.size() >= 2 ? model.substr(model.size() - 2) : model;
    if (ending == "22") {
        const int method = m_host.IpAddressMethodIndex();
        if (method == 0 || method == 1) {
            m_prompter.Message(kIpMethodInvalid, {}, PromptIcon::Exclamation);
            m_commu.ClosePlc();
            return false;
        }
    } else if (ending == "01" || ending == "02" || ending == "12") {
        auto stop = [this](int question) {
            return m_prompter.Show(question, {}, PromptButtons::OkCancel, PromptIcon::Exclamation) ==
                   PromptAnswer::Cancel;
        };
        if ((m_host.AutomaticBaudRate() && stop(kBaudRateInvalid)) || (m_host.ExtensionOn() && stop(kExtensionInvalid))) {
            m_commu.ClosePlc();
            return false;
        }
    }
    m_host.StorePagesIntoRecord();
    m_commu.m_mapMethod = m_record.pc.mappingTableMethod;
    m_commu.WriteUnitToPlc();
    const bool ok = m_commu.m_error == 0;
    if (ok) m_prompter.Message(kTransferDone);
    m_commu.ClosePlc();
    return ok;
}

bool CTransferWorkflow::TransferFromPlc() {
    m_host.PullControls();
    if (m_prompter.Show(kAskRead, {}, PromptButtons::YesNo, PromptIcon::Exclamation) == PromptAnswer::No) return false;
    if (!m_commu.OpenPlc()) return false;
    if (!CheckUnitModel()) {
        m_commu.ClosePlc();
        return false;
    }
    m_commu.ReadUnitFromPlc();
    if (m_commu.m_error) {
        m_commu.ClosePlc();
        return false;
    }
    m_host.LoadPagesFromRecord();
    m_commu.ClosePlc();
    m_prompter.Message(kTransferDone);
    return true;
}

bool CTransferWorkflow::VerifyWithPlc() {
    if (clearVerifyResult) clearVerifyResult();
    m_host.PullControls();
    if (!m_host.CheckAllPages(false)) return false;
    if (!m_commu.OpenPlc()) return false;
    if (!CheckUnitModel()) {
        m_commu.ClosePlc();
        return false;
    }
    m_host.CopyNodeCountToSystemSettings();
    m_host.StorePagesIntoRecord();
    m_commu.m_mapMethod = m_record.pc.mappingTableMethod;
    bool ok = m_commu.VerifyUnitWithPlc() && m_commu.m_error == 0;
    if (!ok) {
        m_prompter.Message(kVerifyAborted);
    } else if (m_verifyRowCount() > 0) {
        m_prompter.Message(kVerifyMismatch);
        m_host.ShowVerifyResult();
    } else {
        m_prompter.Message(kVerifyMatch);
    }
    m_commu.ClosePlc();
    return ok;
}
