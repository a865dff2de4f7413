#pragma once
#include <QDialog>
#include <QString>
#include <functional>

class CStatusView;
class QBoxLayout;
class QCheckBox;
class QPushButton;
class QTimer;

// What the status dialogs share: "更新(&U)" and "閉じる(&C)", the automatic refresh check box
// with its timer, "copy as CSV", Escape doing nothing, and no closing while a read runs (a
// close asked for meanwhile happens when the read has returned).
class CStatusDialog : public QDialog {
    Q_OBJECT
public:
    ~CStatusDialog() override;

    // Reads once and runs the dialog modally; a failed first read closes it at once
    // (returns Rejected without showing it).
    int exec() override;
    // The first read without the modal loop (for embedding and tests); false: close it.
    bool OpenView();

    CStatusView& View() { return *m_view; }
    // The text the last "copy as CSV" put on the clipboard.
    const QString& CopiedText() const { return m_copied; }

public slots:
    void reject() override;

protected:
    explicit CStatusDialog(QWidget* parent);
    // Called by the derived dialog's constructor once its view model and widgets exist.
    void Bind(CStatusView& view, QBoxLayout* content);
    // Adds a button to the button row, left of "更新(&U)".
    QPushButton* AddButton(const char* objectName, const QString& text);
    // Pushes the view model's texts and colours into the widgets.
    virtual void Refresh() = 0;
    // Enables the buttons as the view model says; dialogs with more buttons extend it.
    virtual void SyncButtons();
    // Refresh and button state after every exchange, and the close asked for meanwhile.
    void AfterExchange();
    void keyPressEvent(QKeyEvent* event) override;

    bool m_waitCursorWhileBusy = false;
    QPushButton* m_updateButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    QCheckBox* m_autoRefresh = nullptr;
    QPushButton* m_copyCsv = nullptr;
    QTimer* m_timer = nullptr;

private:
    void OnUpdate();
    void OnTick();
    void OnAutoRefreshToggled(bool on);
    void OnCopyCsv();
    void StopAutoRefresh();
    void FollowBusyCursor();

    CStatusView* m_view = nullptr;
    QBoxLayout* m_buttonRow = nullptr;
    bool m_closePending = false;
    bool m_cursorOverridden = false;
    QString m_copied;
};
