#include "pages/qt/UnitAreaPanelWidget.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "pages/qt/PageWidgetTools.h"

CUnitAreaPanelWidget::CUnitAreaPanelWidget(CUnitAreaPanel& panel, QWidget* parent)
    : QWidget(parent), m_panel(panel) {
    setObjectName("unitAreaPanel");
    auto* layout = new QVBoxLayout(this);

    auto* infoGrid = new QGridLayout;
    const char* infoLabels[5] = {QT_TR_NOOP("ﾌﾟﾛﾄｺﾙﾊﾞｰｼﾞｮﾝ"), QT_TR_NOOP("ﾍﾞﾝﾀﾞ名"), QT_TR_NOOP("ﾒｰｶ型式"),
                                 QT_TR_NOOP("ｿﾌﾄﾊﾞｰｼﾞｮﾝ"), QT_TR_NOOP("IPｱﾄﾞﾚｽ")};
    const char* infoNames[5] = {"protocolVersionEdit", "vendorNameEdit", "modelNameEdit", "softwareVersionEdit",
                                "unitIpAddressEdit"};
    for (int i = 0; i < 5; ++i) {
        m_info[i] = new QLineEdit(this);
        m_info[i]->setObjectName(infoNames[i]);
        m_info[i]->setReadOnly(true);
        infoGrid->addWidget(new QLabel(tr(infoLabels[i]), this), i, 0);
        infoGrid->addWidget(m_info[i], i, 1);
    }
    m_info[2]->setMaxLength(20);
    m_info[4]->setMaxLength(15);
    layout->addLayout(infoGrid);

    auto* group = new QGroupBox(tr("ﾕﾆｯﾄｴﾘｱ設定"), this);
    group->setObjectName("unitAreaGroup");
    auto* grid = new QGridLayout(group);
    struct Row {
        CUnitAreaPanel::Item item;
        const char* label;
        const char* unit;
        const char* checkName;
        const char* editName;
    };
    // The edits have no character limit of their own: the filter refuses a text that is too
    // long as a whole, so a pasted text is never cut to fit.
    const Row rows[] = {
        {CUnitAreaPanel::kMinFrameInterval, QT_TR_NOOP("最小許容ﾌﾚｰﾑ間隔"), QT_TR_NOOP("x 100μsec"),
         "minFrameIntervalCheck", "minFrameIntervalEdit"},
        {CUnitAreaPanel::kTokenWatchdog, QT_TR_NOOP("ﾄｰｸﾝ監視ﾀｲﾑｱｳﾄ時間"), "msec", "tokenWatchdogCheck",
         "tokenWatchdogEdit"},
        {CUnitAreaPanel::kMinFrameWait, QT_TR_NOOP("最小許容ﾌﾚｰﾑ間隔Wait時間"), QT_TR_NOOP("x 100μsec"),
         "minFrameWaitCheck", "minFrameWaitEdit"},
        {CUnitAreaPanel::kNodeName, QT_TR_NOOP("ﾉｰﾄﾞ名"), "", "nodeNameCheck", "nodeNameEdit"},
    };
    int r = 0;
    for (const Row& row : rows) {
        auto* check = new QCheckBox(tr(row.label), group);
        check->setObjectName(row.checkName);
        auto* edit = new QLineEdit(group);
        edit->setObjectName(row.editName);
        m_check[row.item] = check;
        m_edit[row.item] = edit;
        grid->addWidget(check, r, 0);
        grid->addWidget(edit, r, 1);
        if (*row.unit) grid->addWidget(new QLabel(tr(row.unit), group), r, 2);
        const CUnitAreaPanel::Item item = row.item;
        connect(check, &QCheckBox::toggled, this, [this, item](bool on) { m_panel.SetChecked(item, on); });
        BindFilteredEdit(
            edit, [this, item](const std::string& t) { return m_panel.EditText(item, t); },
            [this, item] { return m_panel.Text(item); }, item == CUnitAreaPanel::kNodeName);
        ++r;
    }
    auto* note = new QLabel(tr("※　設定を有効にする項目はﾁｪｯｸﾎﾞｯｸｽをONにして下さい。"), group);
    note->setWordWrap(true);
    grid->addWidget(note, r, 0, 1, 3);
    layout->addWidget(group);
    layout->addStretch();
    LinkLabelsToFields(this);
    Refresh();
}

void CUnitAreaPanelWidget::Refresh() {
    for (int i = 0; i < CUnitAreaPanel::kItemCount; ++i) {
        const auto item = static_cast<CUnitAreaPanel::Item>(i);
        const QSignalBlocker block(m_check[i]);
        m_check[i]->setChecked(m_panel.Checked(item));
        ShowText(m_edit[i], item == CUnitAreaPanel::kNodeName ? FromCp932(m_panel.Text(item)) : FromAscii(m_panel.Text(item)));
    }
}

void CUnitAreaPanelWidget::ShowUnitInfo(const SettingsImage& image) {
    const UnitInfoTexts t = CUnitAreaPanel::UnitInfo(image);
    const std::string* texts[5] = {&t.protocolVersion, &t.vendorName, &t.modelName, &t.softwareVersion, &t.ipAddress};
    for (int i = 0; i < 5; ++i) m_info[i]->setText(FromCp932(*texts[i]));
}

bool CUnitAreaPanelWidget::CheckUnitArea(bool forSave, IPrompter& prompter) {
    const bool ok = m_panel.CheckUnitArea(forSave, prompter);
    if (!ok) ApplyFocus(m_panel.Focus());
    return ok;
}

void CUnitAreaPanelWidget::ApplyFocus(const FocusRequest& focus) {
    const int fields[CUnitAreaPanel::kItemCount] = {Field::kMinFrameInterval, Field::kTokenWatchdog,
                                                    Field::kMinFrameWait, Field::kNodeName};
    for (int i = 0; i < CUnitAreaPanel::kItemCount; ++i)
        if (fields[i] == focus.field) FocusAndSelectAll(m_edit[i]);
}
