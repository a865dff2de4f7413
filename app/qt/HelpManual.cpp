#include "app/qt/HelpManual.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QVariant>

namespace {
const char kIndex[] = "index.html";

// LANGUAGE is a colon-separated list of preferences; its first entry wins, as gettext reads it.
QString FirstPreference() {
    const QString languages = qEnvironmentVariable("LANGUAGE");
    const QString first = languages.section(':', 0, 0);
    if (!first.isEmpty()) return first;
    const QString all = qEnvironmentVariable("LC_ALL");
    if (!all.isEmpty()) return all;
    return qEnvironmentVariable("LANG");
}
}  // namespace

CHelpManual::CHelpManual(const QString& programDir)
    : m_programDir(programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir) {}

QString CHelpManual::Language() {
    const QVariant chosen = QCoreApplication::instance() ? QCoreApplication::instance()->property("uiLanguage")
                                                         : QVariant();
    if (chosen.isValid() && !chosen.toString().isEmpty()) return chosen.toString().left(2).toLower();
    return FirstPreference().startsWith(QStringLiteral("en")) ? QStringLiteral("en") : QStringLiteral("ja");
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
