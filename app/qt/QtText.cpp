#include "app/qt/QtText.h"

#include <QFile>

#include "model/TextCodec.h"

QString FromRecordText(const std::string& bytes) {
    return QString::fromStdString(Cp932ToUtf8(bytes));
}

std::string ToRecordText(const QString& text) {
    return Utf8ToCp932(text.toStdString());
}

QString FromLocalPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string ToLocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
