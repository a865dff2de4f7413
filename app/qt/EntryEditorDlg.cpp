#include "app/qt/EntryEditorDlg.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

bool EditPlcEntry(QWidget* parent, const std::string& name, std::string* deviceString, std::string* comment) {
    QDialog dialog(parent);
    dialog.setObjectName("plcEntryDialog");
    dialog.setWindowTitle(QString::fromStdString(name));
    auto* device = new QLineEdit(QString::fromStdString(*deviceString), &dialog);
    device->setObjectName("deviceStringEdit");
    device->setMinimumWidth(480);
    auto* note = new QLineEdit(QString::fromStdString(*comment), &dialog);
    note->setObjectName("commentEdit");
    auto* help =
        new QLabel(QCoreApplication::translate("EditPlcEntry",
                                               "[DEV]DEV:機種;CPU:CPU形式;[NET]LINK:UDP;HOST:ｱﾄﾞﾚｽ;PORT:ﾎﾟｰﾄ番号;"
                                               "FRAME:1004;TMO:5000;[ADDRESS]DNA:ﾈｯﾄ番号;DA1:ﾉｰﾄﾞ番号;"),
                   &dialog);
    help->setObjectName("deviceStringHelp");
    help->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* form = new QFormLayout(&dialog);
    form->addRow(QCoreApplication::translate("EditPlcEntry", "ﾃﾞﾊﾞｲｽ文字列"), device);
    form->addRow(QCoreApplication::translate("EditPlcEntry", "ｺﾒﾝﾄ"), note);
    form->addRow(help);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return false;
    *deviceString = device->text().toStdString();
    *comment = note->text().toStdString();
    return true;
}
