#include "app/qt/CommSettingDlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "pages/qt/PageWidgetTools.h"

CCommSettingDlg::CCommSettingDlg(CCommSettings& settings, QWidget* parent) : QDialog(parent), m_settings(settings) {
    setObjectName("commSettingDialog");
    setWindowTitle(tr("通信設定"));

    auto* current = new QGroupBox(tr("現在の設定"), this);
    auto* grid = new QGridLayout(current);
    auto field = [&](int row, const char* label, const char* note, const char* name) {
        auto* edit = new QLineEdit(current);
        edit->setReadOnly(true);
        edit->setObjectName(name);
        grid->addWidget(new QLabel(tr(label), current), row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(new QLabel(tr(note), current), row, 2);
        return edit;
    };
    m_interface = field(0, QT_TR_NOOP("ﾊﾟｿｺﾝ側I/F"), QT_TR_NOOP("ﾊﾟｿｺﾝの通信設定"), "interfaceField");
    m_gateway = field(1, QT_TR_NOOP("ｹﾞｰﾄｳｪｲPLC"), QT_TR_NOOP("ﾊﾟｿｺﾝが最初に接続するPLC機種"), "gatewayField");
    m_plc = field(2, QT_TR_NOOP("接続先PLC"), QT_TR_NOOP("最終的に接続するPLC機種"), "plcField");

    auto* kind = new QGroupBox(tr("ﾈｯﾄﾜｰｸ種別"), this);
    auto* kindLayout = new QGridLayout(kind);
    m_direct = new QRadioButton(tr("PLC直結接続"), kind);
    m_direct->setObjectName("directRadio");
    m_viaGateway = new QRadioButton(tr("ﾈｯﾄﾜｰｸ経由接続"), kind);
    m_viaGateway->setObjectName("gatewayRadio");
    kindLayout->addWidget(m_direct, 0, 0);
    kindLayout->addWidget(new QLabel(tr("接続先PLCがﾊﾟｿｺﾝと直接接続する場合"), kind), 0, 1);
    kindLayout->addWidget(m_viaGateway, 1, 0);
    kindLayout->addWidget(new QLabel(tr("接続先PLCとﾊﾟｿｺﾝとの間に中継するｹﾞｰﾄｳｪｲPLCが存在する場合"), kind), 1, 1);
    auto* change = new QPushButton(tr("接続設定変更"), kind);
    change->setObjectName("changeButton");
    change->setAutoDefault(false);
    kindLayout->addWidget(change, 2, 0);

    auto* unitBox = new QGroupBox(tr("FL-netﾕﾆｯﾄのﾕﾆｯﾄ番号"), this);
    m_unit = new QComboBox(unitBox);
    m_unit->setObjectName("unitNumberList");
    for (int i = 0; i <= 15; ++i) m_unit->addItem(QString::number(i));
    (new QVBoxLayout(unitBox))->addWidget(m_unit);

    auto* close = new QPushButton(tr("閉じる(&C)"), this);
    close->setObjectName("closeButton");
    close->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(current);
    layout->addWidget(kind);
    layout->addWidget(unitBox);
    layout->addWidget(close, 0, Qt::AlignRight);

    connect(m_direct, &QRadioButton::toggled, this, [this](bool on) { m_settings.gatewaySelected = !on; });
    connect(change, &QPushButton::clicked, this, [this] {
        m_settings.ChangeConnection();
        ShowTexts();
    });
    connect(m_unit, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int index) { m_settings.SelectUnitNumber(index); });
    connect(close, &QPushButton::clicked, this, [this] {
        m_settings.Close();
        accept();
    });
}

void CCommSettingDlg::ShowTexts() {
    m_interface->setText(FromCp932(m_settings.interfaceText));
    m_gateway->setText(FromCp932(m_settings.gatewayText));
    m_plc->setText(FromCp932(m_settings.plcText));
}

bool CCommSettingDlg::Run() {
    m_settings.Open();
    {
        // Only the opening selection is silent; the user's choices while it shows must arrive.
        const QSignalBlocker block(m_unit);
        m_unit->setCurrentIndex(m_settings.unitNumber);
    }
    (m_settings.gatewaySelected ? m_viaGateway : m_direct)->setChecked(true);
    ShowTexts();
    return exec() == QDialog::Accepted;
}

void CCommSettingDlg::keyPressEvent(QKeyEvent* event) {
    // Escape does not close this dialog; Enter is "閉じる".
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
