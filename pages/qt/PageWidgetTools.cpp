#include "pages/qt/PageWidgetTools.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <map>

#include <QRegularExpression>

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

namespace {

QString PlainLabel(const QString& text) {
    QString plain = text;
    plain.remove(QRegularExpression(QStringLiteral("\\(&.\\)$")));
    plain.remove('&');
    while (plain.endsWith(QChar(0xFF1A)) || plain.endsWith(':')) plain.chop(1);
    return plain.trimmed();
}

// A field a label can name: one that takes the focus, or a read-only edit that shows a value.
bool IsField(QWidget* w) {
    return !qobject_cast<QLabel*>(w) && (w->focusPolicy() != Qt::NoFocus || qobject_cast<QLineEdit*>(w));
}

// The first field of a layout item.
QWidget* FocusableIn(QLayoutItem* item) {
    if (!item) return nullptr;
    if (QWidget* w = item->widget()) return IsField(w) ? w : nullptr;
    if (QLayout* l = item->layout())
        for (int i = 0; i < l->count(); ++i)
            if (QWidget* w = FocusableIn(l->itemAt(i))) return w;
    return nullptr;
}

// Every focusable widget of a layout item, in order.
void FocusablesIn(QLayoutItem* item, QList<QWidget*>& out) {
    if (!item) return;
    if (QWidget* w = item->widget()) {
        if (IsField(w)) out.append(w);
    } else if (QLayout* l = item->layout()) {
        for (int i = 0; i < l->count(); ++i) FocusablesIn(l->itemAt(i), out);
    }
}

void NameField(QWidget* field, const QString& name) {
    if (field && field->accessibleName().isEmpty() && !name.isEmpty()) field->setAccessibleName(name);
}

void LinkGrid(QGridLayout* grid) {
    // Column headers: the labels of the rows above the first row that holds a field.
    std::map<int, QStringList> headers;
    int firstFieldRow = grid->rowCount();
    for (int i = 0; i < grid->count(); ++i) {
        int r, c, rs, cs;
        grid->getItemPosition(i, &r, &c, &rs, &cs);
        if (FocusableIn(grid->itemAt(i))) firstFieldRow = std::min(firstFieldRow, r);
    }
    for (int r = 0; r < firstFieldRow; ++r)
        for (int c = 0; c < grid->columnCount(); ++c)
            if (QLayoutItem* item = grid->itemAtPosition(r, c))
                if (auto* label = qobject_cast<QLabel*>(item->widget())) {
                    const QString text = PlainLabel(label->text());
                    if (!headers[c].contains(text)) headers[c].append(text);
                }
    for (int i = 0; i < grid->count(); ++i) {
        int r, c, rs, cs;
        grid->getItemPosition(i, &r, &c, &rs, &cs);
        QLayoutItem* item = grid->itemAt(i);
        auto* label = qobject_cast<QLabel*>(item->widget());
        if (label && r >= firstFieldRow) {
            QList<QWidget*> fields;
            FocusablesIn(grid->itemAtPosition(r, c + cs), fields);
            if (fields.isEmpty()) continue;
            label->setBuddy(fields.front());
            const QString name = PlainLabel(label->text());
            if (fields.size() == 1) {
                NameField(fields.front(), name);
            } else {
                for (int k = 0; k < fields.size(); ++k) NameField(fields[k], QStringLiteral("%1 %2").arg(name).arg(k + 1));
            }
            continue;
        }
        auto* check = qobject_cast<QAbstractButton*>(item->widget());
        if (check && r >= firstFieldRow) {
            // The edit beside a check box that enables it, with its unit after it.
            QWidget* edit = FocusableIn(grid->itemAtPosition(r, c + 1));
            if (!edit || qobject_cast<QAbstractButton*>(edit)) continue;
            QString name = PlainLabel(check->text());
            if (QLayoutItem* unit = grid->itemAtPosition(r, c + 2))
                if (auto* unitLabel = qobject_cast<QLabel*>(unit->widget())) name += ' ' + unitLabel->text();
            NameField(edit, name);
            continue;
        }
        QWidget* field = FocusableIn(item);
        if (field && item->widget() && r >= firstFieldRow && headers.count(c))
            NameField(field, QStringLiteral("%1 %2").arg(headers[c].join(' ')).arg(r - firstFieldRow + 1));
    }
}

void LinkBox(QBoxLayout* box) {
    for (int i = 0; i + 1 < box->count(); ++i) {
        auto* label = qobject_cast<QLabel*>(box->itemAt(i)->widget());
        if (!label || label->buddy()) continue;
        QWidget* field = FocusableIn(box->itemAt(i + 1));
        if (!field) continue;
        label->setBuddy(field);
        NameField(field, PlainLabel(label->text()));
    }
}

}  // namespace

void LinkLabelsToFields(QWidget* page) {
    for (QGridLayout* grid : page->findChildren<QGridLayout*>()) LinkGrid(grid);
    for (QBoxLayout* box : page->findChildren<QBoxLayout*>()) LinkBox(box);
}
