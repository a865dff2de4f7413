#include "status/qt/ErrorHistoryDlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "status/qt/ColorListCtrl.h"

namespace {
QLineEdit* CountField(const char* name, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    field->setAlignment(Qt::AlignRight);
    field->setMaximumWidth(60);
    return field;
}
}  // namespace

CErrorHistoryDlg::CErrorHistoryDlg(CUnitSettings& settings, IPrompter& prompter, std::function<bool()> read,
                                   std::function<bool()> clear, QWidget* parent)
    : CStatusDialog(parent), m_model(settings, prompter, std::move(read), std::move(clear)) {
    setObjectName("errorHistoryDlg");
    setWindowTitle(tr("異常履歴"));
    auto* frame = new QGroupBox(tr("異常履歴"), this);
    frame->setObjectName("historyFrame");
    auto* frameLayout = new QVBoxLayout(frame);
    m_table = new CColorListCtrl(frame);
    m_table->setObjectName("historyTable");
    m_table->SetFirstColumnWidth(30);
    frameLayout->addWidget(m_table);

    m_maxRecords = CountField("maxRecords", this);
    m_stored = CountField("storedRecords", this);
    auto* counts = new QHBoxLayout;
    counts->addWidget(new QLabel(tr("最大格納件数　："), this));
    counts->addWidget(m_maxRecords);
    counts->addSpacing(20);
    counts->addWidget(new QLabel(tr("格納件数　："), this));
    counts->addWidget(m_stored);
    counts->addStretch(1);

    auto* content = new QVBoxLayout;
    content->addLayout(counts);
    content->addWidget(frame, 1);
    Bind(m_model, content);
    m_clearButton = AddButton("clearButton", tr("ｸﾘｱ(&L)"));
    m_clearButton->setAutoDefault(false);
    connect(m_clearButton, &QPushButton::clicked, this, &CErrorHistoryDlg::OnClear);
    resize(560, 520);
}

void CErrorHistoryDlg::Refresh() {
    m_table->SetCells(m_model.Grid());
    m_maxRecords->setText(QString::fromStdString(m_model.MaxRecordsText()));
    m_stored->setText(QString::fromStdString(m_model.StoredText()));
}

void CErrorHistoryDlg::SyncButtons() {
    CStatusDialog::SyncButtons();
    // Bind installs the observer before the clear button exists.
    if (m_clearButton) m_clearButton->setEnabled(m_model.IsClearEnabled());
}

void CErrorHistoryDlg::OnClear() {
    if (m_model.IsBusy() || m_model.IsAsking()) return;
    m_model.Clear();
    AfterExchange();
}
