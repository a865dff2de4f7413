#include "app/qt/SettingsFileDialogs.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt/QtText.h"
#include "model/TextCodec.h"
#include "pages/qt/PageWidgetTools.h"

namespace {

// "Name (*.ext)|*.ext||" → the Qt filter "Name (*.ext)".
QString FilterOf(const char* kind) {
    QString text = QCoreApplication::translate("CQtSettingsFileDialogs", kind);
    return text.left(text.indexOf('|'));
}

}  // namespace

bool CQtSettingsFileDialogs::ChooseFileToOpen(bool oldVersion, const std::string& startDirectory, std::string& path) {
    const char* kind = oldVersion ? QT_TRANSLATE_NOOP("CQtSettingsFileDialogs", "FL-net設定ﾌｧｲﾙ (*.csv)|*.csv||")
                                  : QT_TRANSLATE_NOOP("CQtSettingsFileDialogs", "LinkSmith設定ﾌｧｲﾙ (*.lsm)|*.lsm||");
    QFileDialog dialog(m_parent, QString(), FromLocalPath(startDirectory), FilterOf(kind));
    dialog.setObjectName("openSettingsFileDialog");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(oldVersion ? "csv" : "lsm");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    path = ToLocalPath(dialog.selectedFiles().front());
    return true;
}

bool CQtSettingsFileDialogs::ChooseFileToSave(const std::string& startDirectory, std::string& path) {
    QFileDialog dialog(m_parent, QString(), FromLocalPath(startDirectory),
                       FilterOf(QT_TRANSLATE_NOOP("CQtSettingsFileDialogs", "LinkSmith設定ﾌｧｲﾙ (*.lsm)|*.lsm||")));
    dialog.setObjectName("saveSettingsFileDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("lsm");
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    path = ToLocalPath(dialog.selectedFiles().front());
    return true;
}

bool CQtSettingsFileDialogs::EditComment(std::string& comment) {
    QDialog dialog(m_parent);
    dialog.setObjectName("commentDialog");
    dialog.setWindowTitle(QCoreApplication::translate("CQtSettingsFileDialogs", "ｺﾒﾝﾄ入力"));
    auto* frame = new QGroupBox(QCoreApplication::translate("CQtSettingsFileDialogs", "ｺﾒﾝﾄ"), &dialog);
    auto* edit = new QPlainTextEdit(frame);
    edit->setObjectName("commentEdit");
    // Tab leaves the comment for the buttons: a keyboard alone must reach OK.
    edit->setTabChangesFocus(true);
    // The record keeps CR LF line breaks in Shift_JIS; the text box wants LF and Unicode.
    edit->setPlainText(FromCp932(comment).replace("\r\n", "\n"));
    (new QVBoxLayout(frame))->addWidget(edit);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QString::fromUtf8("OK"), QDialogButtonBox::AcceptRole)->setObjectName("commentOk");
    buttons->addButton(QCoreApplication::translate("CQtSettingsFileDialogs", "ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole)
        ->setObjectName("commentCancel");
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(frame);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return false;
    comment = Utf8ToCp932(edit->toPlainText().replace("\n", "\r\n").toStdString());
    return true;
}
