#include "pages/qt/ExtensionPageWidget.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "pages/qt/PageWidgetTools.h"

CExtensionPageWidget::CExtensionPageWidget(CExtensionPage& page, QWidget* parent) : QWidget(parent), m_page(page) {
    setObjectName("extensionPage");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("※全ての設定は、LUX01/02/12では無効です。"), this));

    auto* local = new QGroupBox(tr("自ﾉｰﾄﾞ設定"), this);
    auto* localLayout = new QHBoxLayout(local);
    m_sendOrder = new QComboBox(local);
    m_sendOrder->setObjectName("sendDataOrderList");
    m_sendOrder->addItem(MessageString(33004));
    m_sendOrder->addItem(MessageString(33005));
    localLayout->addWidget(new QLabel(tr("送信ﾃﾞｰﾀ並び"), local));
    localLayout->addWidget(m_sendOrder);
    connect(m_sendOrder, qOverload<int>(&QComboBox::activated), this, [this](int i) { m_page.SelectSendOrder(i); });
    layout->addWidget(local);

    auto* others = new QGroupBox(tr("他ﾉｰﾄﾞ設定"), this);
    auto* othersLayout = new QVBoxLayout(others);
    othersLayout->addWidget(new QLabel(tr("各割付ﾉｰﾄﾞからの受信方向を設定"), others));
    auto* row = new QHBoxLayout;
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(1);  // as the mapping table's lines
    grid->addWidget(new QLabel("No", others), 0, 0);
    grid->addWidget(new QLabel(tr("ﾉｰﾄﾞ番号"), others), 0, 1);
    grid->addWidget(new QLabel(tr("受信ﾃﾞｰﾀ並び"), others), 0, 2);
    for (int line = 0; line < CExtensionPage::kLines; ++line) {
        m_no[line] = new QLineEdit(others);
        m_no[line]->setObjectName(QString("extNo%1").arg(line));
        m_no[line]->setReadOnly(true);
        m_node[line] = new QLineEdit(others);
        m_node[line]->setObjectName(QString("extNode%1").arg(line));
        m_node[line]->setReadOnly(true);
        m_node[line]->setEnabled(false);
        m_node[line]->setMaxLength(3);
        m_order[line] = new QComboBox(others);
        m_order[line]->setObjectName(QString("receiveOrderList%1").arg(line));
        m_no[line]->installEventFilter(this);
        m_order[line]->installEventFilter(this);
        grid->addWidget(m_no[line], line + 1, 0);
        grid->addWidget(m_node[line], line + 1, 1);
        grid->addWidget(m_order[line], line + 1, 2);
        connect(m_order[line], qOverload<int>(&QComboBox::activated), this,
                [this, line](int i) { m_page.SelectReceiveOrder(line, i); });
    }
    row->addLayout(grid);
    m_scroll = new QScrollBar(Qt::Vertical, others);
    m_scroll->setObjectName("extensionScrollBar");
    m_scroll->setRange(0, 100);
    m_scroll->setPageStep(10);
    connect(m_scroll, &QScrollBar::actionTriggered, this, &CExtensionPageWidget::OnScrollAction);
    row->addWidget(m_scroll);
    othersLayout->addLayout(row);
    layout->addWidget(others);
    layout->addStretch();
    m_scroll->setAccessibleName(others->title());
    LinkLabelsToFields(this);
    Refresh();
}

void CExtensionPageWidget::Refresh() {
    m_sendOrder->setCurrentIndex(m_page.SendOrder());
    for (int line = 0; line < CExtensionPage::kLines; ++line) {
        ShowText(m_no[line], FromAscii(m_page.NoText(line)));
        ShowText(m_node[line], FromAscii(m_page.NodeText(line)));
        QComboBox* list = m_order[line];
        const QSignalBlocker block(list);
        list->clear();
        if (m_page.LineHasNode(line)) {
            list->addItem(MessageString(33004));
            list->addItem(MessageString(33005));
            list->setCurrentIndex(m_page.LineOrder(line));
            list->setEnabled(true);
        } else {
            list->addItem(MessageString(33006));
            list->setEnabled(false);
        }
    }
    m_scroll->setValue(m_page.ScrollPosition());
}

void CExtensionPageWidget::OnScrollAction(int action) {
    if (!ApplyScrollAction(m_page, action, m_scroll->sliderPosition())) return;
    m_scroll->setSliderPosition(m_page.ScrollPosition());
    Refresh();
}

void CExtensionPageWidget::wheelEvent(QWheelEvent* event) {
    ApplyWheelSteps(m_page, event->angleDelta().y());
    Refresh();
    event->accept();
}

bool CExtensionPageWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    int line = -1;
    bool list = false;
    for (int l = 0; l < CExtensionPage::kLines; ++l) {
        if (m_no[l] == watched) line = l;
        if (m_order[l] == watched) line = l, list = true;
    }
    if (line < 0) return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const int k = key->key();
    const Qt::KeyboardModifiers mods = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    const int last = CExtensionPage::kLines - 1;
    if (list && ((k == Qt::Key_Tab && mods == Qt::NoModifier && line == last) || (k == Qt::Key_Backtab && line == 0))) {
        // Tab past the last line goes on to the next entry, Shift+Tab before the first back one.
        const bool forward = k == Qt::Key_Tab;
        const int next = m_page.TopRow() - 1 + (forward ? CExtensionPage::kLines : -1);
        if (next < 0 || next >= static_cast<int>(m_page.Count())) return QWidget::eventFilter(watched, event);
        forward ? m_page.LineDown() : m_page.LineUp();
        Refresh();
        return true;
    }
    if (mods != Qt::NoModifier) return QWidget::eventFilter(watched, event);
    // On a list the arrows choose its item, as on every list; on a No cell they move the lines.
    if (list && (k == Qt::Key_Up || k == Qt::Key_Down)) return QWidget::eventFilter(watched, event);
    if (ApplyScrollKey(m_page, k, line, CExtensionPage::kLines)) {
        Refresh();
        return true;
    }
    if (k == Qt::Key_Up || k == Qt::Key_Down) {
        m_no[k == Qt::Key_Up ? line - 1 : line + 1]->setFocus(Qt::OtherFocusReason);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
