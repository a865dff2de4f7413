#include "app/qt/VerifyResultDlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "model/Messages.h"
#include "model/VerifyResult.h"
#include "pages/qt/PageWidgetTools.h"

namespace {
constexpr int kMinimumRows = 15;

// Item and choice texts come from the string table (UTF-8); a node name is the record's
// Shift_JIS bytes.
QString RowText(const std::string& text) {
    QString utf8 = QString::fromUtf8(text);
    return utf8.contains(QChar::ReplacementCharacter) ? FromCp932(text) : utf8;
}
}  // namespace

CVerifyResultDlg::CVerifyResultDlg(const CVerifyResult& result, QWidget* parent) : QDialog(parent) {
    setObjectName("verifyResultDialog");
    setWindowTitle(QString::fromUtf8("照合"));
    const auto& rows = result.Rows();
    const int count = static_cast<int>(rows.size());

    auto* table = new QTableWidget(count > kMinimumRows ? count : kMinimumRows, 4, this);
    table->setObjectName("verifyList");
    table->setHorizontalHeaderLabels(
        {MessageString(32818), MessageString(32860), MessageString(32861), MessageString(32862)});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setShowGrid(true);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    table->setMinimumWidth(600);
    // No. is 30 pixels; the three text columns share the rest 7 : 5 : 5.
    const int w = (table->minimumWidth() - 30 - 35) / 17;
    table->setColumnWidth(0, 30);
    table->setColumnWidth(1, 7 * w);
    table->setColumnWidth(2, 5 * w);
    table->setColumnWidth(3, 5 * w);
    for (int i = 0; i < table->rowCount(); ++i) {
        auto* no = new QTableWidgetItem(i < count ? QString::number(i + 1) : QString(" "));
        no->setBackground(QColor(225, 225, 225));
        no->setTextAlignment(Qt::AlignCenter);
        table->setItem(i, 0, no);
        if (i >= count) continue;
        const VerifyRow& row = rows[static_cast<size_t>(i)];
        const QString texts[3] = {RowText(row.item), RowText(row.plcText), RowText(row.pcText)};
        for (int c = 0; c < 3; ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            item->setTextAlignment(Qt::AlignCenter);
            table->setItem(i, c + 1, item);
        }
    }

    auto* countField = new QLineEdit(QString::number(count), this);
    countField->setObjectName("mismatchCount");
    countField->setReadOnly(true);
    countField->setMaxLength(10);
    auto* close = new QPushButton(QString::fromUtf8("閉じる(&C)"), this);
    close->setObjectName("closeButton");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(QString::fromUtf8("照合不一致件数"), this));
    side->addWidget(countField);
    side->addStretch();
    side->addWidget(close);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(table, 1);
    layout->addLayout(side);
}
