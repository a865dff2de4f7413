#pragma once
#include <cstdint>
#include <string>

#include "model/UnitSettings.h"

class CFileSystemOps;
class IPrompter;

// The file choices and the comment dialog of a load or save; the GUI shows real dialogs.
class ISettingsFileDialogs {
public:
    virtual ~ISettingsFileDialogs() = default;
    // False when the user cancels. oldVersion chooses the ".csv" file kind.
    virtual bool ChooseFileToOpen(bool oldVersion, const std::string& startDirectory, std::string& path) = 0;
    virtual bool ChooseFileToSave(const std::string& startDirectory, std::string& path) = 0;
    // The comment is CR LF separated text; false when the dialog is cancelled or closed.
    virtual bool EditComment(std::string& comment) = 0;
};

// Reads and writes the unit settings record as a ".lsm" settings file (and reads the
// Japanese-key and old ".csv" dialects). Texts from a file are kept as their bytes.
class CSettingsFile {
public:
    // sink receives the connection values the file names; dialogs may be null when no
    // choice is ever needed (paths always given, no comment dialog).
    CSettingsFile(CUnitSettings& record, IPrompter& prompter, IConnectionSink* sink = nullptr,
                  ISettingsFileDialogs* dialogs = nullptr);

    // True when a file was read (also with bad values); false when cancelled or unreadable.
    bool Load(const std::string& path, bool oldVersion);
    // Asks for the comment, then writes; true when the file was written.
    bool Save(const std::string& path);

    // Load and save without any dialog: the comment is the record's.
    bool ReadFile(const std::string& path, bool oldVersion);
    bool WriteFile(const std::string& path);

    // The file's bytes for the record as it stands, and applying a file's bytes to the record.
    // Apply returns false when a value was bad (the warning has then been shown).
    std::string Serialize() const;
    bool Apply(const std::string& bytes, bool oldVersion);

    std::string commentText;
    // Send area values of the unit area section, kept only to be written back.
    int32_t sendArea1Start = 0;
    int32_t sendArea1Size = 0;
    int32_t sendArea2Start = 0;
    int32_t sendArea2Size = 0;
    int saveState = 0;

    // Directory (with its trailing separator) and name of the last file read or written.
    std::string currentDirectory;
    std::string currentFileName;

    // The file-system calls a write goes through; null is the real system. Tests put in ones
    // that fail at a chosen step.
    CFileSystemOps* fileOps = nullptr;

private:
    void TakeOverPath(const std::string& path);

    CUnitSettings& m_record;
    IPrompter& m_prompter;
    IConnectionSink* m_sink;
    ISettingsFileDialogs* m_dialogs;
};
