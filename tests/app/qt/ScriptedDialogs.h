#pragma once
#include <string>
#include <vector>

#include "model/SettingsFile.h"

// File choices and the comment dialog from a script: paths are consumed front first, and an
// empty list answers as a cancelled file dialog. Every question is counted.
struct ScriptedDialogs : ISettingsFileDialogs {
    std::vector<std::string> openPaths, savePaths;
    std::vector<std::string> comments;  // typed into the comment dialog, front first; none: kept
    int openAsked = 0;
    int saveAsked = 0;
    int commentAsked = 0;
    bool ChooseFileToOpen(bool, const std::string&, std::string& path) override {
        ++openAsked;
        return Take(openPaths, path);
    }
    bool ChooseFileToSave(const std::string&, std::string& path) override {
        ++saveAsked;
        return Take(savePaths, path);
    }
    bool EditComment(std::string& comment) override {
        ++commentAsked;
        Take(comments, comment);
        return true;
    }
    static bool Take(std::vector<std::string>& list, std::string& path) {
        if (list.empty()) return false;
        path = list.front();
        list.erase(list.begin());
        return true;
    }
};
