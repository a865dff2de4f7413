#pragma once
#include <QObject>

class QWidget;

// Keeps the user's input away from one window and everything in it (its menus, toolbar buttons,
// key shortcuts) while it is installed, without changing how the window looks. Disabling the
// window instead would repaint every control twice per command sequence, which costs more than
// the sequence itself; other windows, such as a question or a status view shown meanwhile, keep
// their input.
class CInputBlocker : public QObject {
public:
    explicit CInputBlocker(QWidget& window);
    ~CInputBlocker() override;

    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    QWidget& m_window;
};
