#pragma once
#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/qt/LinkSmithStartup.h"
#include "model/Prompter.h"
#include "tests/app/qt/ScriptedDialogs.h"

// Failures show window texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// LinkSmith started as the program starts it, with every outside part scripted: messages
// recorded, file dialogs and the entry editor from a script, settings in a folder of the test.
class StartupFixture : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RecordingPrompter prompter;
    ScriptedDialogs dialogs;
    // Entry editor: each call takes the next device string; none left (or empty) = cancelled.
    std::vector<std::string> editorAnswers;
    std::vector<std::string> editorCalls;
    std::unique_ptr<CLinkSmithStartup> startup;

    StartupOptions Options() {
        StartupOptions options;
        options.prompter = &prompter;
        options.dialogs = &dialogs;
        options.configDir = dir.path().toStdString();
        options.profileFile = Path("profile.ini");
        options.splashMilliseconds = 0;
        options.entryEditor = [this](const std::string& name, std::string* deviceString, std::string* comment) {
            editorCalls.push_back(name);
            if (editorAnswers.empty()) return false;
            const std::string answer = editorAnswers.front();
            editorAnswers.erase(editorAnswers.begin());
            if (answer.empty()) return false;
            *deviceString = answer;
            *comment = "scripted";
            return true;
        };
        return options;
    }
    bool Start(const std::vector<std::string>& args) {
        startup = std::make_unique<CLinkSmithStartup>(Options());
        return startup->Start(args);
    }
    std::string Path(const std::string& name) const { return dir.filePath(QString::fromStdString(name)).toStdString(); }
    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::string path = Path(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::vector<int> ShownIds() const {
        std::vector<int> ids;
        for (const auto& e : prompter.shown) ids.push_back(e.id);
        return ids;
    }
};
