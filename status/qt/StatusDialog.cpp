#include "status/qt/StatusDialog.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include "model/Messages.h"
#include "pages/qt/PageWidgetTools.h"
#include "status/StatusView.h"

CStatusDialog::CStatusDialog(QWidget* parent) : QDialog(parent) {
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_timer = new QTimer(this);
    m_timer->setObjectName("autoRefreshTimer");
    connect(m_timer, &QTimer::timeout, this, &CStatusDialog::OnTick);
}

CStatusDialog::~CStatusDialog() {
    // The view is a member of the derived dialog and is already gone here, observer and all.
    if (m_cursorOverridden) QApplication::restoreOverrideCursor();
}

void CStatusDialog::Bind(CStatusView& view, QBoxLayout* content) {
    m_view = &view;
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(content, 1);

    m_buttonRow = new QHBoxLayout;
    m_autoRefresh = new QCheckBox(QString::fromStdString(MessageText(Msg::kAutoRefresh)), this);
    m_autoRefresh->setObjectName("autoRefresh");
    m_copyCsv = new QPushButton(QString::fromStdString(MessageText(Msg::kCopyCsv)), this);
    m_copyCsv->setObjectName("copyCsvButton");
    m_copyCsv->setAutoDefault(false);
    m_updateButton = new QPushButton(tr("更新(&U)"), this);
    m_updateButton->setObjectName("updateButton");
    m_closeButton = new QPushButton(tr("閉じる(&C)"), this);
    m_closeButton->setObjectName("closeButton");
    m_buttonRow->addWidget(m_autoRefresh);
    m_buttonRow->addWidget(m_copyCsv);
    m_buttonRow->addStretch(1);
    m_buttonRow->addWidget(m_updateButton);
    m_buttonRow->addWidget(m_closeButton);
    outer->addLayout(m_buttonRow);

    connect(m_updateButton, &QPushButton::clicked, this, &CStatusDialog::OnUpdate);
    connect(m_closeButton, &QPushButton::clicked, this, &CStatusDialog::reject);
    connect(m_autoRefresh, &QCheckBox::toggled, this, &CStatusDialog::OnAutoRefreshToggled);
    connect(m_copyCsv, &QPushButton::clicked, this, &CStatusDialog::OnCopyCsv);
    view.SetStateObserver([this] { SyncButtons(); });
    // Each label leads to the field it names, which screen readers then call by it.
    LinkLabelsToFields(this);
}

QPushButton* CStatusDialog::AddButton(const char* objectName, const QString& text) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(objectName);
    // Before the update and close buttons at the row's end.
    m_buttonRow->insertWidget(m_buttonRow->count() - 2, button);
    return button;
}

bool CStatusDialog::OpenView() {
    if (!m_view || !m_view->Open()) return false;
    Refresh();
    SyncButtons();
    return true;
}

int CStatusDialog::exec() {
    if (!OpenView()) return QDialog::Rejected;
    m_updateButton->setFocus();
    return QDialog::exec();
}

void CStatusDialog::reject() {
    // A read is waiting and pumping messages: close once it has returned.
    if (m_view && m_view->IsBusy()) {
        m_closePending = true;
        return;
    }
    StopAutoRefresh();
    QDialog::reject();
}

void CStatusDialog::keyPressEvent(QKeyEvent* event) {
    // Escape never closes a status view; only the close button and the close box do.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CStatusDialog::SyncButtons() {
    if (!m_view) return;
    m_updateButton->setEnabled(m_view->IsUpdateEnabled());
    m_closeButton->setEnabled(m_view->IsCloseEnabled());
    FollowBusyCursor();
}

void CStatusDialog::FollowBusyCursor() {
    if (!m_waitCursorWhileBusy) return;
    if (m_view->IsBusy() && !m_cursorOverridden) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_cursorOverridden = true;
    } else if (!m_view->IsBusy() && m_cursorOverridden) {
        QApplication::restoreOverrideCursor();
        m_cursorOverridden = false;
    }
}

void CStatusDialog::AfterExchange() {
    Refresh();
    SyncButtons();
    if (!m_view->AutoRefresh().IsOn() && m_autoRefresh->isChecked()) StopAutoRefresh();
    if (m_closePending) {
        m_closePending = false;
        reject();
        return;
    }
    m_updateButton->setFocus();
}

void CStatusDialog::OnUpdate() {
    if (m_view->IsBusy() || m_view->IsAsking()) return;
    m_view->Update();
    AfterExchange();
}

void CStatusDialog::OnTick() {
    // The timer runs on while a read waits or a question of the view is open; the next tick
    // after that reads.
    if (m_view->IsBusy() || m_view->IsAsking()) return;
    m_view->AutoRefreshTick();
    AfterExchange();
}

void CStatusDialog::OnAutoRefreshToggled(bool on) {
    m_view->AutoRefresh().SetOn(on);
    if (on) {
        m_timer->start(m_view->AutoRefresh().IntervalMs());
    } else {
        m_timer->stop();
    }
}

void CStatusDialog::StopAutoRefresh() {
    m_timer->stop();
    if (m_view) m_view->AutoRefresh().SetOn(false);
    const bool blocked = m_autoRefresh->blockSignals(true);
    m_autoRefresh->setChecked(false);
    m_autoRefresh->blockSignals(blocked);
}

void CStatusDialog::OnCopyCsv() {
    m_copied = QString::fromStdString(m_view->ToCsv());
    if (QClipboard* clipboard = QApplication::clipboard()) clipboard->setText(m_copied);
}
