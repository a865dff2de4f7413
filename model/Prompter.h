#pragma once
#include <string>
#include <vector>

// Every message box, question and file choice goes through this, so workflows run headless.
enum class PromptIcon { None, Stop, Exclamation, Warning, Information };
enum class PromptButtons { Ok, YesNo, OkCancel, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

class IPrompter {
public:
    virtual ~IPrompter() = default;
    virtual PromptAnswer Show(int messageId, const std::vector<std::string>& inserts, PromptButtons buttons,
                              PromptIcon icon) = 0;
    void Message(int id, const std::vector<std::string>& inserts = {}, PromptIcon icon = PromptIcon::None) {
        Show(id, inserts, PromptButtons::Ok, icon);
    }
};

// Records every prompt and answers from a script (Ok/Yes by default); used by tests and the CLI.
class RecordingPrompter : public IPrompter {
public:
    struct Entry {
        int id;
        std::vector<std::string> inserts;
        PromptButtons buttons;
        PromptIcon icon;
    };
    std::vector<Entry> shown;
    std::vector<PromptAnswer> answers;  // consumed front first

    PromptAnswer Show(int id, const std::vector<std::string>& inserts, PromptButtons buttons,
                      PromptIcon icon) override {
        shown.push_back({id, inserts, buttons, icon});
        if (!answers.empty()) {
            PromptAnswer a = answers.front();
            answers.erase(answers.begin());
            return a;
        }
        return buttons == PromptButtons::Ok || buttons == PromptButtons::OkCancel ? PromptAnswer::Ok
                                                                                   : PromptAnswer::Yes;
    }
};
