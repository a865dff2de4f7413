#pragma once
#include "model/Prompter.h"

class QWidget;

// Shows the core's messages as modal message boxes over the given parent.
class CQtPrompter : public IPrompter {
public:
    explicit CQtPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }
    PromptAnswer Show(int messageId, const std::vector<std::string>& inserts, PromptButtons buttons,
                      PromptIcon icon) override;

private:
    QWidget* m_parent;
};
