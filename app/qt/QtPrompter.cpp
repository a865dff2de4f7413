#include "app/qt/QtPrompter.h"

#include <QMessageBox>

#include "model/Messages.h"

PromptAnswer CQtPrompter::Show(int messageId, const std::vector<std::string>& inserts, PromptButtons buttons,
                               PromptIcon icon) {
    QMessageBox box(m_parent);
    box.setWindowTitle(QString::fromUtf8(MessageText(Msg::kProductName)));
    box.setText(QString::fromUtf8(FormatMessage(messageId, inserts)));
    switch (icon) {
    case PromptIcon::Stop: box.setIcon(QMessageBox::Critical); break;
    case PromptIcon::Exclamation:
    case PromptIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case PromptIcon::Information: box.setIcon(QMessageBox::Information); break;
    case PromptIcon::None: break;
    }
    switch (buttons) {
    case PromptButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case PromptButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case PromptButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case PromptButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    case QMessageBox::Ok: return PromptAnswer::Ok;
    default: return PromptAnswer::Cancel;
    }
}
