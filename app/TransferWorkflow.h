#pragma once
#include <cstddef>
#include <functional>
#include <string>

class CCommuProcess;
class CUnitSettings;
class IPrompter;

// What the transfer and verify sequences need from the main window: its pages and working
// copies, its busy state and its first status bar pane.
class ITransferHost {
public:
    virtual ~ITransferHost() = default;
    // Reads the unit area panel's controls into its working copy.
    virtual void PullControls() = 0;
    virtual bool CheckAllPages(bool forSave) = 0;
    virtual bool CheckLocalOtherOverlap() = 0;
    // The system settings page's IP address method list index and baud rate (1 = automatic).
    virtual int IpAddressMethodIndex() const = 0;
    virtual bool AutomaticBaudRate() const = 0;
    virtual bool ExtensionOn() const = 0;
    // Copies the mapping table's record count into the system settings' node count.
    virtual void CopyNodeCountToSystemSettings() = 0;
    // Stores the panel and every page into the shared record (unit area, system settings,
    // local node, mapping table, data orders); the caller then takes the storage method.
    virtual void StorePagesIntoRecord() = 0;
    // After a read from the unit: the working copies and pages show the record (not the panel).
    virtual void LoadPagesFromRecord() = 0;
    virtual void SetBusy(bool busy) = 0;
    virtual std::string ProgressText() const = 0;
    virtual void SetProgressText(const std::string& text) = 0;
    // The verify result dialog over the rows of the last verify.
    virtual void ShowVerifyResult() = 0;
    // Chunks of the mapping table done out of total while it moves in chunks; total 0: none
    // (the sequence is past them, or ended).
    virtual void SetChunkProgress(int /*done*/, int /*total*/) {}
};

// Transfer PC to PLC, PLC to PC and verify, start to finish, with every check and question.
class CTransferWorkflow {
public:
    // verifyRowCount: the number of rows the last verify produced.
    CTransferWorkflow(CCommuProcess& commu, CUnitSettings& record, IPrompter& prompter, ITransferHost& host,
                      std::function<size_t()> verifyRowCount);

    // The command handlers: busy state and progress text around the sequence.
    void OnTransferToPlc();
    void OnTransferFromPlc();
    void OnVerify();

    // The sequences; every outcome has been shown when they return. True on success, for tests
    // and the command line.
    bool TransferToPlc();
    bool TransferFromPlc();
    bool VerifyWithPlc();
    bool CheckUnitModel();

    // Before the verify: clears the result of the last one.
    std::function<void()> clearVerifyResult;

private:
    void RunBusy(int progressId, bool (CTransferWorkflow::*sequence)());

    CCommuProcess& m_commu;
    CUnitSettings& m_record;
    IPrompter& m_prompter;
    ITransferHost& m_host;
    std::function<size_t()> m_verifyRowCount;
};
