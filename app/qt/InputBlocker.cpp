#include "app/qt/InputBlocker.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

// The window an event's receiver belongs to: actions and shortcuts belong to the window of the
// widget that owns them, and a menu to the window it drops down from.
const QWidget* WindowOf(const QObject* receiver) {
    const QObject* o = receiver;
    while (o && !o->isWidgetType()) o = o->parent();
    if (!o) return nullptr;
    const QWidget* window = static_cast<const QWidget*>(o)->window();
    while (window->windowType() == Qt::Popup && window->parentWidget()) window = window->parentWidget()->window();
    return window;
}

}  // namespace

CInputBlocker::CInputBlocker(QWidget& window) : m_window(window) {
    qApp->installEventFilter(this);
}

CInputBlocker::~CInputBlocker() {
    qApp->removeEventFilter(this);
}

bool CInputBlocker::eventFilter(QObject* receiver, QEvent* event) {
    return IsUserInput(event->type()) && WindowOf(receiver) == &m_window;
}
