#include "network/FileSetWriter.h"

#include <cerrno>
#include <cstring>

#include "model/FileIo.h"
#include "model/FileSystemOps.h"

const char* const CFileSetWriter::kTempSuffix = ".syncing";

CFileSetWriter::CFileSetWriter(CFileSystemOps& ops) : m_ops(ops) {}

void CFileSetWriter::Add(const std::string& path, const std::string& newBytes, const std::string& oldBytes) {
    m_items.push_back({path, newBytes, oldBytes, false});
}

bool CFileSetWriter::WriteTemp(Item& item) {
    const std::string temp = item.path + kTempSuffix;
    const int fd = m_ops.Open(temp.c_str(), CFileSystemOps::kNewFileFlags, 0666);
    if (fd < 0) {
        m_error = "cannot create " + temp + ": " + std::strerror(errno);
        return false;
    }
    item.tempWritten = true;
    // The new file takes the old one's place, so it keeps its permissions.
    CFileSystemOps::KeepPermissions(item.path, fd);
    size_t done = 0;
    bool ok = true;
    while (ok && done < item.newBytes.size()) {
        const ssize_t n = m_ops.Write(fd, item.newBytes.data() + done, item.newBytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ok = false;
        else done += static_cast<size_t>(n);
    }
    // On the disk before any rename: after a power loss each name holds its old or new bytes.
    ok = ok && m_ops.Sync(fd) == 0;
    const int savedErrno = errno;
    ok = m_ops.Close(fd) == 0 && ok;
    if (!ok) m_error = "cannot write " + temp + ": " + std::strerror(savedErrno ? savedErrno : errno);
    return ok;
}

void CFileSetWriter::RemoveTemps() {
    for (auto& item : m_items) {
        if (!item.tempWritten) continue;
        m_ops.Remove((item.path + kTempSuffix).c_str());
        item.tempWritten = false;
    }
}

bool CFileSetWriter::Commit() {
    m_changed.clear();
    m_error.clear();
    for (auto& item : m_items) {
        if (!WriteTemp(item)) {
            RemoveTemps();
            return false;
        }
    }
    for (size_t i = 0; i < m_items.size(); ++i) {
        Item& item = m_items[i];
        if (m_ops.Rename((item.path + kTempSuffix).c_str(), item.path.c_str()) == 0) {
            item.tempWritten = false;
            m_changed.push_back(item.path);
            continue;
        }
        m_error = "cannot replace " + item.path + ": " + std::strerror(errno);
        RemoveTemps();
        // Put back what was already replaced; a file whose restore fails stays in Changed().
        std::vector<std::string> stillChanged;
        for (size_t j = 0; j < i; ++j) {
            if (!WriteFileAtomically(m_items[j].path, m_items[j].oldBytes, m_ops))
                stillChanged.push_back(m_items[j].path);
        }
        m_changed = stillChanged;
        return false;
    }
    return true;
}
