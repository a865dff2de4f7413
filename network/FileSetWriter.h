#pragma once
#include <string>
#include <vector>

class CFileSystemOps;

// Replaces several files so that each ends either as it was or as it is meant to be, never
// half-written: every new content goes to a temporary file beside its target first, and only
// when all of them are on the disk are they renamed over the targets. A rename that fails puts
// the files already replaced back to their old bytes.
class CFileSetWriter {
public:
    explicit CFileSetWriter(CFileSystemOps& ops);

    // oldBytes are what the file holds now, kept to put it back.
    void Add(const std::string& path, const std::string& newBytes, const std::string& oldBytes);
    // True when every file holds its new bytes. Otherwise Error() says what failed and
    // Changed() lists the files that hold their new bytes all the same (none when the
    // restore worked).
    bool Commit();

    const std::string& Error() const { return m_error; }
    const std::vector<std::string>& Changed() const { return m_changed; }

    // The suffix of the temporary files.
    static const char* const kTempSuffix;

private:
    struct Item {
        std::string path;
        std::string newBytes;
        std::string oldBytes;
        bool tempWritten = false;
    };
    bool WriteTemp(Item& item);
    void RemoveTemps();

    CFileSystemOps& m_ops;
    std::vector<Item> m_items;
    std::vector<std::string> m_changed;
    std::string m_error;
};
