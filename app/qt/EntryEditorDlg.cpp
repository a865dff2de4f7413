#include "app/qt/EntryEditorDlg.h"

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
    auto* help = new QLabel(
        "[DEV]DEV:type;CPU:cpu;[NET]LINK:UDP;HOST:address;PORT:port;FRAME:1004;TMO:5000;[ADDRESS]DNA:n;DA1:n;",
        &dialog);
    help->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* form = new QFormLayout(&dialog);
    form->addRow("Device string", device);
    form->addRow("Comment", note);
    form->addRow(help);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return false;
    *deviceString = device->text().toStdString();
    *comment = note->text().toStdString();
    return true;
}
