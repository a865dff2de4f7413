#include "pages/qt/SystemSettingPageWidget.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "pages/qt/PageWidgetTools.h"

CSystemSettingPageWidget::CSystemSettingPageWidget(CSystemSettingPage& page, QWidget* parent)
    : QWidget(parent), m_page(page) {
    setObjectName("systemSettingPage");
    auto* grid = new QGridLayout(this);
    struct ListDef {
        int label;
        const char* name;
        int items[4];
    };
    const ListDef lists[CSystemSettingPage::kListCount] = {
        {32866, "mappingTableMethodList", {33012, 33013, 0, 0}},
        {32867, "startupMethodList", {33014, 33015, 0, 0}},
        {32868, "confirmMessageList", {33016, 33017, 0, 0}},
        {32869, "broadcastTypeList", {33018, 33019, 0, 0}},
        {32870, "ipAddressMethodList", {33022, 33023, 33021, 33020}},
    };
    int row = 0;
    for (int i = 0; i < CSystemSettingPage::kListCount; ++i) {
        auto* list = new QComboBox(this);
        list->setObjectName(lists[i].name);
        for (int k = 0; k < CSystemSettingPage::ListSize(static_cast<CSystemSettingPage::List>(i)); ++k)
            list->addItem(MessageString(lists[i].items[k]));
        m_list[i] = list;
        grid->addWidget(new QLabel(MessageString(lists[i].label), this), row, 0);
        grid->addWidget(list, row++, 1);
        const auto which = static_cast<CSystemSettingPage::List>(i);
        connect(list, qOverload<int>(&QComboBox::activated), this, [this, which](int index) {
            m_page.SelectList(which, index);
            Refresh();
        });
    }
    for (int group = 0; group < 2; ++group) {
        auto* box = new QHBoxLayout;
        for (int k = 0; k < 4; ++k) {
            const int octet = group * 4 + k;
            auto* edit = new QLineEdit(this);
            edit->setObjectName(QString(group == 0 ? "subnetMask%1Edit" : "ipAddress%1Edit").arg(k + 1));
            m_octet[octet] = edit;
            if (k) box->addWidget(new QLabel(".", this));
            box->addWidget(edit);
            BindFilteredEdit(
                edit, [this, octet](const std::string& t) { return m_page.EditOctet(octet, t); },
                [this, octet] { return m_page.OctetText(octet); });
        }
        grid->addWidget(new QLabel(MessageString(group == 0 ? 32871 : 32872), this), row, 0);
        grid->addLayout(box, row++, 1);
    }
    m_nodeCount = new QLineEdit(this);
    m_nodeCount->setObjectName("faLinkNodeCountEdit");
    m_nodeCount->setReadOnly(true);
    m_nodeCount->setMaxLength(5);
    grid->addWidget(new QLabel(MessageString(32873), this), row, 0);
    grid->addWidget(m_nodeCount, row++, 1);

    auto* baud = new QVBoxLayout;
    const char* baudNames[2] = {"baudRateFixedButton", "baudRateAutoButton"};
    for (int k = 0; k < 2; ++k) {
        m_baud[k] = new QRadioButton(MessageString(33067 + k), this);
        m_baud[k]->setObjectName(baudNames[k]);
        baud->addWidget(m_baud[k]);
        connect(m_baud[k], &QRadioButton::clicked, this, [this, k] { m_page.SetBaudRate(static_cast<uint16_t>(k)); });
    }
    baud->addWidget(new QLabel(tr("※LUX01/02/12では設定無効です。"), this));
    grid->addWidget(new QLabel(MessageString(33066), this), row, 0);
    grid->addLayout(baud, row++, 1);
    grid->setRowStretch(row, 1);
    LinkLabelsToFields(this);
    Refresh();
}

void CSystemSettingPageWidget::Refresh() {
    for (int i = 0; i < CSystemSettingPage::kListCount; ++i)
        m_list[i]->setCurrentIndex(m_page.ListSelection(static_cast<CSystemSettingPage::List>(i)));
    for (int i = 0; i < 8; ++i) {
        ShowText(m_octet[i], FromAscii(m_page.OctetText(i)));
        if (i >= 4) m_octet[i]->setEnabled(m_page.IpEditsEnabled());
    }
    ShowText(m_nodeCount, FromAscii(m_page.NodeCountText()));
    m_baud[m_page.BaudRate() ? 1 : 0]->setChecked(true);
}

bool CSystemSettingPageWidget::Validate(int radix, IPrompter& prompter) {
    const bool ok = m_page.Validate(radix, prompter);
    if (!ok) ApplyFocus(m_page.Focus());
    return ok;
}

void CSystemSettingPageWidget::ApplyFocus(const FocusRequest& focus) {
    if (focus.field >= Field::kSubnetMask1 && focus.field < Field::kSubnetMask1 + 4)
        FocusAndSelectAll(m_octet[focus.field - Field::kSubnetMask1]);
    else if (focus.field >= Field::kIpAddress1 && focus.field < Field::kIpAddress1 + 4)
        FocusAndSelectAll(m_octet[4 + focus.field - Field::kIpAddress1]);
}

QWidget* CSystemSettingPageWidget::FirstField() const { return m_list[0]; }
