#pragma once
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
