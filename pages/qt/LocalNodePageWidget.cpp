#include "pages/qt/LocalNodePageWidget.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "pages/qt/PageWidgetTools.h"

CLocalNodePageWidget::CLocalNodePageWidget(CLocalNodePage& page, QWidget* parent) : QWidget(parent), m_page(page) {
    setObjectName("localNodePage");
    auto* layout = new QVBoxLayout(this);
    const char* editNames[CLocalNodePage::kEditCount] = {"localArea1StartEdit", "localArea1SizeEdit",
                                                         "localArea1ComStartEdit", "localArea2StartEdit",
                                                         "localArea2SizeEdit", "localArea2ComStartEdit"};
    const char* labels[4] = {QT_TR_NOOP("ｴﾘｱ種別"), QT_TR_NOOP("先頭ﾁｬﾈﾙ"), QT_TR_NOOP("ｻｲｽﾞ"),
                             QT_TR_NOOP("ｺﾓﾝﾒﾓﾘ割付先頭ｱﾄﾞﾚｽ")};
    for (int area = 0; area < 2; ++area) {
        auto* group = new QGroupBox(tr(area == 0 ? QT_TR_NOOP("領域1") : QT_TR_NOOP("領域2")), this);
        auto* grid = new QGridLayout(group);
        auto* list = new QComboBox(group);
        list->setObjectName(area == 0 ? "localArea1TypeList" : "localArea2TypeList");
        FillAreaList(list);
        m_list[area] = list;
        grid->addWidget(new QLabel(tr(labels[0]), group), 0, 0);
        grid->addWidget(list, 0, 1);
        connect(list, qOverload<int>(&QComboBox::activated), this,
                [this, area](int index) { m_page.SelectArea(area + 1, index); });
        for (int k = 0; k < 3; ++k) {
            const auto edit = static_cast<CLocalNodePage::Edit>(area * 3 + k);
            auto* e = new QLineEdit(group);
            e->setObjectName(editNames[edit]);
            m_edit[edit] = e;
            grid->addWidget(new QLabel(tr(labels[k + 1]), group), k + 1, 0);
            grid->addWidget(e, k + 1, 1);
            BindFilteredEdit(
                e, [this, edit](const std::string& t) { return m_page.EditText(edit, t); },
                [this, edit] { return m_page.Text(edit); });
        }
        layout->addWidget(group);
    }
    layout->addStretch();
    LinkLabelsToFields(this);
    Refresh();
}

void CLocalNodePageWidget::Refresh() {
    for (int area = 0; area < 2; ++area) m_list[area]->setCurrentIndex(m_page.AreaSelection(area + 1));
    for (int i = 0; i < CLocalNodePage::kEditCount; ++i)
        ShowText(m_edit[i], FromAscii(m_page.Text(static_cast<CLocalNodePage::Edit>(i))));
}

bool CLocalNodePageWidget::Validate(int radix, IPrompter& prompter) {
    const bool ok = m_page.Validate(radix, prompter);
    if (!ok) ApplyFocus(m_page.Focus());
    return ok;
}

void CLocalNodePageWidget::ApplyFocus(const FocusRequest& focus) {
    for (int i = 0; i < CLocalNodePage::kEditCount; ++i)
        if (CLocalNodePage::FieldOf(static_cast<CLocalNodePage::Edit>(i)) == focus.field) FocusAndSelectAll(m_edit[i]);
}
