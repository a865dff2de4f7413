#pragma once
#include <string>
#include <vector>

// Every user-facing text, keyed by its string id. Texts are UTF-8 here; files keep Shift_JIS.
namespace Msg {
constexpr int kUntitled = 32902;
constexpr int kProductName = 32903;
constexpr int kFileNotFound = 40001;
constexpr int kFileReadWarning = 40002;
constexpr int kFileSaveError = 40003;
constexpr int kClearHistoryQuestion = 40004;
constexpr int kBadReply = 40005;
constexpr int kNodeCountTooLarge = 40006;
constexpr int kAutoRefresh = 40020;
constexpr int kCopyCsv = 40021;
constexpr int kLanguageAtNextStart = 40170;
}  // namespace Msg

// The language every text is shown in: "ja", the source and default, or one of the languages
// that has a translation file (translations/messages_LANG.tsv, compiled in). Set once at start,
// before any thread runs; an unknown language leaves it as it is and returns false.
bool SetMessageLanguage(const std::string& language);
const std::string& MessageLanguage();
std::vector<std::string> MessageLanguages();  // "ja" first, then every translated one
std::vector<int> MessageIds();                // every id of the string table
// The Japanese text of an id, whatever the language.
std::string SourceMessageText(int id);
// The text of an id in a given language (the Japanese one where that language has none).
std::string MessageTextIn(const std::string& language, int id);
// A text of the core outside the string table (status views, the network picture), given by its
// Japanese source: its translation in the current language, or the source itself.
const char* LocalText(const char* japanese);
// LocalText with %1..%9 replaced by the inserts, as FormatMessage does.
std::string FormatLocalText(const char* japanese, const std::vector<std::string>& inserts);
// For the translation test: the entries of a language's file, by id and by source text.
struct MessageTranslation {
    std::string id;  // the number, or "-" for a text keyed by its source
    std::string source;
    std::string text;
};
std::vector<MessageTranslation> MessageTranslations(const std::string& language);

std::string MessageText(int id);
// Replaces %1..%9 by inserts[n-1]; a bare %d or %s takes the next insert in order.
std::string FormatMessage(int id, const std::vector<std::string>& inserts = {});
