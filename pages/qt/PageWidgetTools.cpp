#include "pages/qt/PageWidgetTools.h"

#include <QComboBox>
#include <QLineEdit>

#include "model/AreaType.h"
#include "model/Messages.h"
#include "model/TextCodec.h"

bool ToCp932(const QString& text, std::string& bytes) {
    const QByteArray utf8 = text.toUtf8();
    const std::string in(utf8.constData(), static_cast<size_t>(utf8.size()));
    bytes = Utf8ToCp932(in);
    return Cp932ToUtf8(bytes) == in;
}

QString FromCp932(const std::string& bytes) { return QString::fromStdString(Cp932ToUtf8(bytes)); }

QString MessageString(int id) { return QString::fromStdString(MessageText(id)); }

void BindFilteredEdit(QLineEdit* edit, std::function<bool(const std::string&)> accept,
                      std::function<std::string()> current, bool cp932) {
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, accept, current, cp932](const QString& text) {
        std::string bytes;
        bool ok;
        if (cp932) {
            ok = ToCp932(text, bytes);
        } else {
            const QByteArray latin = text.toUtf8();
            bytes.assign(latin.constData(), static_cast<size_t>(latin.size()));
            ok = true;
        }
        if (ok && accept(bytes)) return;
        const QString previous = cp932 ? FromCp932(current()) : FromAscii(current());
        int cursor = edit->cursorPosition() - static_cast<int>(text.size() - previous.size());
        edit->setText(previous);
        edit->setCursorPosition(cursor < 0 ? 0 : cursor);
    });
}

void ShowText(QLineEdit* edit, const QString& text) {
    if (edit->text() != text) edit->setText(text);
}

void FocusAndSelectAll(QLineEdit* edit) {
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

void FillAreaList(QComboBox* list) {
    for (int i = 0; i < AreaType::kListCount; ++i)
        list->addItem(QString::fromStdString(AreaType::NameFromCode(AreaType::CodeFromIndex(i))));
}
