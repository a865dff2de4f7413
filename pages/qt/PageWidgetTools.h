#pragma once
#include <QAbstractSlider>
#include <QString>
#include <functional>
#include <string>

class QLineEdit;
class QComboBox;

// Record texts are CP932 bytes. False when the text holds a character CP932 cannot carry,
// so the caller can refuse it instead of storing a replacement.
bool ToCp932(const QString& text, std::string& bytes);
QString FromCp932(const std::string& bytes);
inline QString FromAscii(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<int>(s.size())); }
inline QString Utf8(const char* s) { return QString::fromUtf8(s); }
QString MessageString(int id);

// Every user change of the edit (typing, pasting, deleting) goes through accept; a refused
// change gets the page's current text back, without a message. toBytes converts the edit's
// text (false: not representable, refused too).
void BindFilteredEdit(QLineEdit* edit, std::function<bool(const std::string&)> accept,
                      std::function<std::string()> current, bool cp932 = false);

// Sets a text without touching the cursor when it is already shown.
void ShowText(QLineEdit* edit, const QString& text);
// Focus into the edit with its whole text selected.
void FocusAndSelectAll(QLineEdit* edit);
// The area list of the PLC memory areas: CIO, WR, HR, DM, EM0..EM9, EMA..EMC.
void FillAreaList(QComboBox* list);

// The scroll bar and the mouse wheel of the two paged tables (mapping table, extension):
// the page owns the position. False when the action is not a scroll.
template <typename Page>
bool ApplyScrollAction(Page& page, int action, int sliderPosition) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: page.LineDown(); return true;
    case QAbstractSlider::SliderSingleStepSub: page.LineUp(); return true;
    case QAbstractSlider::SliderPageStepAdd: page.PageDown(); return true;
    case QAbstractSlider::SliderPageStepSub: page.PageUp(); return true;
    case QAbstractSlider::SliderMove: page.ThumbTo(sliderPosition); return true;
    case QAbstractSlider::SliderToMinimum: page.ThumbTo(0); return true;
    case QAbstractSlider::SliderToMaximum: page.ThumbTo(100); return true;
    default: return false;
    }
}

// Keys of the two paged tables: Up on the first line and Down on the last move the ten-line
// window by one, Page Up and Page Down by ten, as the scroll bar does. False for any other key,
// or an arrow that only moves between visible lines (the caller moves the focus).
template <typename Page>
bool ApplyScrollKey(Page& page, int key, int line, int lines) {
    switch (key) {
    case Qt::Key_Up:
        if (line > 0) return false;
        page.LineUp();
        return true;
    case Qt::Key_Down:
        if (line < lines - 1) return false;
        page.LineDown();
        return true;
    case Qt::Key_PageUp: page.PageUp(); return true;
    case Qt::Key_PageDown: page.PageDown(); return true;
    default: return false;
    }
}

// Every label beside a field becomes the field's buddy (its mnemonic focuses the field, and
// screen readers name the field by it); a field without a label of its own (a table cell, an
// edit beside its check box) is named by the headers above its column, or by its check box,
// and the line it is on. Run once the page has been laid out in its layouts.
void LinkLabelsToFields(QWidget* page);

template <typename Page>
void ApplyWheelSteps(Page& page, int angleDeltaY) {
    const int steps = angleDeltaY / 120;
    for (int i = 0; i < steps; ++i) page.LineUp();
    for (int i = 0; i > steps; --i) page.LineDown();
}
