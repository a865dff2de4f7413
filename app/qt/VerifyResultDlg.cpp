#include "app/qt/VerifyResultDlg.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "model/Messages.h"
#include "model/VerifyResult.h"
#include "pages/qt/PageWidgetTools.h"
#include "status/CellGrid.h"
#include "status/qt/ColorListCtrl.h"

namespace {
constexpr int kMinimumRows = 15;
constexpr int kNoColumnWidth = 30;
constexpr int kReserve = 35;
constexpr int kShares[4] = {0, 7, 5, 5};
constexpr int kShareSum = 17;
// Room a cell keeps around its text.
constexpr int kCellPadding = 16;

// Item and choice texts come from the string table (UTF-8); a node name is the record's
// Shift_JIS bytes.
QString RowText(const std::string& text) {
    QString utf8 = QString::fromUtf8(text);
    return utf8.contains(QChar::ReplacementCharacter) ? FromCp932(text) : utf8;
}
}  // namespace

std::array<int, 4> CVerifyResultDlg::ColumnWidths(int clientWidth, int scrollBarWidth) {
    int rest = clientWidth - scrollBarWidth - kReserve;
    const int w = rest > 0 ? rest / kShareSum : 0;
    return {kNoColumnWidth, kShares[1] * w, kShares[2] * w, kShares[3] * w};
}

CVerifyResultDlg::CVerifyResultDlg(const CVerifyResult& result, QWidget* parent) : QDialog(parent) {
    setObjectName("verifyResultDialog");
    setWindowTitle(tr("照合"));
    const auto& rows = result.Rows();
    const int count = static_cast<int>(rows.size());

    // The grid list with its first column shaded and the others in the window's colours.
    CCellGrid grid;
    grid.Reset(count > kMinimumRows ? count : kMinimumRows, 4, CCellGrid::kModeShadedFirst);
    grid.SetHeaders({MessageText(32818), MessageText(32860), MessageText(32861), MessageText(32862)});
    grid.SetCellColours(0, StatusColour::kWindowText, StatusColour::kListBackground);
    for (int i = 0; i < grid.Rows(); ++i) {
        grid.SetText(i, 0, i < count ? std::to_string(i + 1) : std::string(" "));
        if (i >= count) continue;
        const VerifyRow& row = rows[static_cast<size_t>(i)];
        grid.SetText(i, 1, RowText(row.item).toStdString());
        grid.SetText(i, 2, RowText(row.plcText).toStdString());
        grid.SetText(i, 3, RowText(row.pcText).toStdString());
    }
    m_list = new CColorListCtrl(this);
    m_list->setObjectName("verifyList");
    m_list->SetCells(grid);
    // The widths follow the list's width and cannot be dragged.
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->installEventFilter(this);

    auto* countField = new QLineEdit(QString::number(count), this);
    countField->setObjectName("mismatchCount");
    countField->setReadOnly(true);
    countField->setMaxLength(10);
    auto* close = new QPushButton(tr("閉じる(&C)"), this);
    close->setObjectName("closeButton");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(tr("照合不一致件数"), this));
    side->addWidget(countField);
    side->addStretch();
    side->addWidget(close);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(side);
    SizeToContents();
    FitColumns();
}

int CVerifyResultDlg::ScrollBarWidth() const {
    return m_list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_list);
}

// The list's inside width, the vertical scroll bar not taken off (its width is reserved).
int CVerifyResultDlg::ClientWidth() const { return m_list->width() - 2 * m_list->frameWidth(); }

void CVerifyResultDlg::FitColumns() {
    const std::array<int, 4> widths = ColumnWidths(ClientWidth(), ScrollBarWidth());
    for (int c = 0; c < 4; ++c) m_list->setColumnWidth(c, widths[c]);
}

void CVerifyResultDlg::SizeToContents() {
    const QFontMetrics cells = m_list->fontMetrics();
    const QFontMetrics header = m_list->horizontalHeader()->fontMetrics();
    // The unit w of the 7 : 5 : 5 split that the widest text of each column needs.
    int w = 0;
    for (int c = 1; c < 4; ++c) {
        int widest = header.horizontalAdvance(m_list->horizontalHeaderItem(c)->text());
        for (int r = 0; r < m_list->rowCount(); ++r) {
            const int advance = cells.horizontalAdvance(m_list->CellText(r, c));
            if (advance > widest) widest = advance;
        }
        const int need = (widest + kCellPadding + kShares[c] - 1) / kShares[c];
        if (need > w) w = need;
    }
    int width = kShareSum * w + kReserve + ScrollBarWidth() + 2 * m_list->frameWidth();
    int height = m_list->horizontalHeader()->sizeHint().height() +
                 kMinimumRows * m_list->verticalHeader()->defaultSectionSize() + 2 * m_list->frameWidth();
    // Never larger than the screen the dialog opens on.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize room = screen->availableSize() * 9 / 10;
        if (width > room.width()) width = room.width();
        if (height > room.height()) height = room.height();
    }
    m_list->setMinimumSize(width, height);
}

bool CVerifyResultDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::Resize) FitColumns();
    return QDialog::eventFilter(watched, event);
}
