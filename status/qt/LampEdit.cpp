#include "status/qt/LampEdit.h"

#include <QPalette>

CLampEdit::CLampEdit(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);
    setFocusPolicy(Qt::NoFocus);
    setAlignment(Qt::AlignCenter);
    SetLamp(IndicatorLamp{});
}

void CLampEdit::SetLamp(const IndicatorLamp& lamp) {
    const QString label = QString::fromStdString(lamp.label);
    if (m_shown && m_state == lamp.state && text() == label) return;
    m_shown = true;
    m_state = lamp.state;
    setText(label);
    const Rgb bg = LampBackground(lamp.state);
    const Rgb fg = LampTextColour(lamp.state);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, QColor(bg.r, bg.g, bg.b));
    pal.setColor(QPalette::Text, QColor(fg.r, fg.g, fg.b));
    setPalette(pal);
    update();
}
