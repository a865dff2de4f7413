#include "status/qt/MessageSequenceDlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "status/qt/ColorListCtrl.h"

namespace {
QLineEdit* NumberField(const char* name, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    field->setMaximumWidth(110);
    return field;
}

CColorListCtrl* Table(const char* name, QWidget* parent) {
    auto* table = new CColorListCtrl(parent);
    table->setObjectName(name);
    table->SetFirstColumnWidth(60);
    return table;
}
}  // namespace

CMessageSequenceDlg::CMessageSequenceDlg(CUnitSettings& settings, IPrompter& prompter,
                                         CMessageSequenceView::ReadFunction read, QWidget* parent)
    : CStatusDialog(parent), m_model(settings, prompter, std::move(read)) {
    setObjectName("messageSequenceDlg");
    setWindowTitle(tr("ﾒｯｾｰｼﾞ通番ｽﾃｰﾀｽ"));
    m_waitCursorWhileBusy = true;

    m_version = NumberField("versionField", this);
    m_sendOneToN = NumberField("sendOneToNField", this);
    auto* header = new QGridLayout;
    header->addWidget(new QLabel(tr("通番ﾊﾞｰｼﾞｮﾝ番号"), this), 0, 0);
    header->addWidget(m_version, 0, 1);
    header->setColumnStretch(2, 1);

    auto* sendBox = new QGroupBox(tr("送信用"), this);
    sendBox->setObjectName("sendGroup");
    auto* sendLayout = new QVBoxLayout(sendBox);
    auto* oneToN = new QHBoxLayout;
    oneToN->addWidget(new QLabel(tr("通番(1：N送信)"), sendBox));
    oneToN->addWidget(m_sendOneToN);
    oneToN->addStretch(1);
    sendLayout->addLayout(oneToN);
    sendLayout->addWidget(new QLabel(tr("通番(1：1送信)"), sendBox));
    m_send = Table("sendTable", sendBox);
    sendLayout->addWidget(m_send, 1);

    auto* receiveBox = new QGroupBox(tr("受信用"), this);
    receiveBox->setObjectName("receiveGroup");
    auto* receiveLayout = new QVBoxLayout(receiveBox);
    receiveLayout->addWidget(new QLabel(tr("通番"), receiveBox));
    m_receive = Table("receiveTable", receiveBox);
    receiveLayout->addWidget(m_receive, 1);

    auto* tables = new QHBoxLayout;
    tables->addWidget(sendBox, 2);
    tables->addWidget(receiveBox, 3);
    auto* content = new QVBoxLayout;
    content->addLayout(header);
    content->addLayout(tables, 1);
    Bind(m_model, content);
    resize(820, 560);
}

void CMessageSequenceDlg::Refresh() {
    m_version->setText(QString::fromStdString(m_model.VersionText()));
    m_sendOneToN->setText(QString::fromStdString(m_model.SendOneToNText()));
    m_send->SetCells(m_model.SendGrid());
    m_receive->SetCells(m_model.ReceiveGrid());
}
