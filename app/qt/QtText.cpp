#include "app/qt/QtText.h"

#include <QFile>

QString FromLocalPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string ToLocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
