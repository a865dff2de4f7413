#include "app/qt/HelpManual.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "model/Messages.h"

namespace {
const char kIndex[] = "index.html";
}  // namespace

CHelpManual::CHelpManual(const QString& programDir)
    : m_programDir(programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir) {}

QString CHelpManual::Language() {
    return QString::fromStdString(MessageLanguage());
}

QString CHelpManual::ExpectedIndexPage(const QString& language) const {
    return QDir(m_programDir).filePath(QStringLiteral("manual/%1/%2").arg(language, kIndex));
}

QString CHelpManual::IndexPage(const QString& language) const {
    const QDir program(m_programDir);
    for (const QString& lang : {language, QStringLiteral("ja")}) {
        for (const QString& folder : {QStringLiteral("manual"), QStringLiteral("../share/linksmith/manual")}) {
            const QString page = program.filePath(QStringLiteral("%1/%2/%3").arg(folder, lang, kIndex));
            if (QFileInfo::exists(page)) return QDir::cleanPath(page);
        }
    }
    return QString();
}
