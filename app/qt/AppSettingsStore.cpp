#include "app/qt/AppSettingsStore.h"

#include <QDir>
#include <QSettings>

#include "platform/Folders.h"

namespace {
const char kRecentGroup[] = "Recent File List";
const char* const kRecentKeys[CAppSettingsStore::kRecentKeyCount] = {"SAVE_FILENAME1", "SAVE_FILENAME2",
                                                                     "SAVE_FILENAME3"};
}  // namespace

CAppSettingsStore::CAppSettingsStore(const std::string& configDir) {
    // The same folder as the profile: ~/.config on Linux, %APPDATA% (roaming) on Windows, where
    // Qt's own config location would be the machine-local application data.
    QString dir = QString::fromStdString(configDir.empty() ? UserConfigFolder() : configDir);
    dir += "/QUORVEX";
    m_linkSmithFile = QDir(dir).filePath("LinkSmith.ini").toStdString();
    m_toolvaneFile = QDir(dir).filePath("Toolvane.ini").toStdString();
}

std::string CAppSettingsStore::ViewStatus() const {
    QSettings s(QString::fromStdString(m_linkSmithFile), QSettings::IniFormat);
    s.beginGroup(kRecentGroup);
    return s.value("VIEW_STATUS").toString().left(255).toStdString();
}

void CAppSettingsStore::SetViewStatus(const std::string& value) {
    QSettings s(QString::fromStdString(m_linkSmithFile), QSettings::IniFormat);
    s.beginGroup(kRecentGroup);
    s.setValue("VIEW_STATUS", QString::fromStdString(value));
}

std::vector<std::string> CAppSettingsStore::RecentFiles() const {
    QSettings s(QString::fromStdString(m_linkSmithFile), QSettings::IniFormat);
    s.beginGroup(kRecentGroup);
    std::vector<std::string> paths;
    for (size_t i = 0; i < kRecentKeyCount; ++i) {
        m_recentKeyRead[i] = s.contains(kRecentKeys[i]);
        if (m_recentKeyRead[i]) paths.push_back(s.value(kRecentKeys[i]).toString().left(255).toStdString());
    }
    return paths;
}

void CAppSettingsStore::SetRecentFiles(const std::vector<std::string>& paths) {
    QSettings s(QString::fromStdString(m_linkSmithFile), QSettings::IniFormat);
    s.beginGroup(kRecentGroup);
    for (size_t i = 0; i < kRecentKeyCount; ++i) {
        if (i < paths.size()) {
            s.setValue(kRecentKeys[i], QString::fromStdString(paths[i]));
        } else if (m_recentKeyRead[i]) {
            // Its path is in the list above or was dropped from it; a key written meanwhile by
            // another run was never offered and stays.
            s.remove(kRecentKeys[i]);
        }
    }
}

std::string CAppSettingsStore::FileSavePath() const {
    QSettings s(QString::fromStdString(m_toolvaneFile), QSettings::IniFormat);
    return s.value("FileSavePath").toString().left(255).toStdString();
}

std::string CAppSettingsStore::WindowPlacement() const {
    QSettings s(QString::fromStdString(m_linkSmithFile), QSettings::IniFormat);
    s.beginGroup(kRecentGroup);
    return s.value("WINDOW_PLACEMENT").toString().left(255).toStdString();
}

void CAppSettingsStore::SetWindowPlacement(const std::string& value) {
    QSettings s(QString::fromStdString(m_linkSmithFile), QSettings::IniFormat);
    s.beginGroup(kRecentGroup);
    s.setValue("WINDOW_PLACEMENT", QString::fromStdString(value));
}
