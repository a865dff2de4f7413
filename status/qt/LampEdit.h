#pragma once
#include <QLineEdit>

#include "status/IndicatorLamp.h"

// An indicator lamp: a read-only box showing its label in the lamp state's colours.
class CLampEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CLampEdit(QWidget* parent = nullptr);
    void SetLamp(const IndicatorLamp& lamp);
    LampState State() const { return m_state; }

private:
    LampState m_state = LampState::Off;
    bool m_shown = false;
};
