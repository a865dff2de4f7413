#pragma once
#include "model/SettingsFile.h"

class QWidget;

// The file choices and the comment dialog of the settings file, as Qt dialogs.
class CQtSettingsFileDialogs : public ISettingsFileDialogs {
public:
    explicit CQtSettingsFileDialogs(QWidget* parent) : m_parent(parent) {}
    bool ChooseFileToOpen(bool oldVersion, const std::string& startDirectory, std::string& path) override;
    bool ChooseFileToSave(const std::string& startDirectory, std::string& path) override;
    bool EditComment(std::string& comment) override;

private:
    QWidget* m_parent;
};
