#include "app/qt/Translator.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>
#include <memory>

#include "model/Messages.h"

namespace {
const char kGroup[] = "Recent File List";
const char kLanguageKey[] = "LANGUAGE";
// The id whose text is the language's own name.
constexpr int kLanguageNameId = 40171;

std::unique_ptr<QTranslator>& Own() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

std::unique_ptr<QTranslator>& Qts() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

void Remove(std::unique_ptr<QTranslator>& translator) {
    if (translator) QCoreApplication::removeTranslator(translator.get());
    translator.reset();
}

std::unique_ptr<QTranslator> Load(const QString& name, const QString& folder) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(name, folder) || !QCoreApplication::installTranslator(translator.get())) return nullptr;
    return translator;
}
}  // namespace

bool CTranslator::Apply(const std::string& language) {
    if (!SetMessageLanguage(language)) return false;
    Remove(Own());
    Remove(Qts());
    const QString code = QString::fromStdString(language);
    if (language != "ja") Own() = Load("linksmith_" + code, ":/i18n");
    // Qt speaks English by itself.
    if (language != "en") Qts() = Load("qtbase_" + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return true;
}

std::string CTranslator::StoredLanguage(const std::string& iniFile) {
    QSettings s(QString::fromStdString(iniFile), QSettings::IniFormat);
    s.beginGroup(kGroup);
    return s.value(kLanguageKey).toString().left(16).toStdString();
}

void CTranslator::StoreLanguage(const std::string& iniFile, const std::string& language) {
    QSettings s(QString::fromStdString(iniFile), QSettings::IniFormat);
    s.beginGroup(kGroup);
    s.setValue(kLanguageKey, QString::fromStdString(language));
}

std::string CTranslator::LanguageName(const std::string& language) {
    return MessageTextIn(language, kLanguageNameId);
}
