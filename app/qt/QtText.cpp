#include "app/qt/QtText.h"

#include <QString>

// The core takes paths as UTF-8 on every system (on Windows it opens them by their wide name);
// QFile::encodeName would give the ANSI code page there, in which Japanese names may not survive.
QString FromLocalPath(const std::string& path) {
    return QString::fromUtf8(path.data(), static_cast<int>(path.size()));
}

std::string ToLocalPath(const QString& path) {
    return path.toUtf8().toStdString();
}
