#include "app/qt/QtPrompter.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>

#include "model/Messages.h"

PromptAnswer CQtPrompter::Show(int messageId, const std::vector<std::string>& inserts, PromptButtons buttons,
                               PromptIcon icon) {
    // A completion callback reports from the middleware's thread; a message box may only live on
    // the user-interface thread, which is pumping while it waits for that very command.
    QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() != app->thread()) {
        PromptAnswer answer = PromptAnswer::Cancel;
        QMetaObject::invokeMethod(
            app, [&] { answer = Show(messageId, inserts, buttons, icon); }, Qt::BlockingQueuedConnection);
        return answer;
    }
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
