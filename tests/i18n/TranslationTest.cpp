// The translations as a translator leaves them and as the user meets them at the command line:
// every message in every language with the same values inserted, a source changed in the code
// showing up as a stale entry, the language chosen by --lang, the menu's stored choice and the
// locale in that order, and linksmithctl speaking the language chosen while Japanese stays the
// default byte for byte.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/Language.h"
#include "cli/Cli.h"
#include "model/Messages.h"

namespace {

// The values a text takes: %1..%9 each, and how many printf-style %d / %s slots it has.
std::multiset<std::string> Inserts(const std::string& text) {
    std::multiset<std::string> found;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '%') continue;
        const char c = text[i + 1];
        if ((c >= '1' && c <= '9') || c == 'd' || c == 's') found.insert(text.substr(i, 2));
    }
    return found;
}

std::string ReadSource(const std::string& relative) {
    std::ifstream in(std::string(LINKSMITH_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Outcome {
    int status;
    std::string out, err;
};

Outcome Cli(std::vector<const char*> args) {
    args.insert(args.begin(), "linksmithctl");
    std::ostringstream out, err;
    const int status = RunCli(static_cast<int>(args.size()), args.data(), out, err);
    return {status, out.str(), err.str()};
}

// The built program in an environment of the test's own (no locale variable but those given).
Outcome Program(const std::string& environment, const std::string& args) {
    const std::string command = "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG " + environment + " " +
                                LINKSMITHCTL_PROGRAM + " " + args + " 2>&1";
    Outcome run{-1, {}, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[512];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace

// Every id of the string table has its English text, the entry names the Japanese the program
// has now (a source changed since the translation shows as stale), takes the same inserts, and
// no entry is left for an id the table no longer has.
TEST(TranslationFileTest, EveryMessageHasItsTextInEveryLanguage) {
    const std::vector<std::string> languages = MessageLanguages();
    ASSERT_EQ(languages.front(), "ja");
    ASSERT_NE(std::find(languages.begin(), languages.end(), "en"), languages.end());
    const std::vector<int> ids = MessageIds();
    for (size_t l = 1; l < languages.size(); ++l) {
        SCOPED_TRACE(languages[l]);
        std::map<int, MessageTranslation> byId;
        std::set<std::string> sources;
        for (const MessageTranslation& e : MessageTranslations(languages[l])) {
            EXPECT_FALSE(e.text.empty()) << "empty text for " << e.id << " " << e.source;
            EXPECT_EQ(Inserts(e.text), Inserts(e.source)) << e.id << " " << e.source << " -> " << e.text;
            if (e.id == "-") {
                EXPECT_TRUE(sources.insert(e.source).second) << "twice: " << e.source;
                continue;
            }
            const int id = std::atoi(e.id.c_str());
            EXPECT_TRUE(byId.emplace(id, e).second) << "twice: " << e.id;
            EXPECT_FALSE(SourceMessageText(id).empty()) << "vanished: id " << e.id << " is no longer a message";
        }
        for (int id : ids) {
            auto it = byId.find(id);
            if (it == byId.end()) {
                ADD_FAILURE() << "no text for " << id << " " << SourceMessageText(id);
                continue;
            }
            EXPECT_EQ(it->second.source, SourceMessageText(id)) << "stale: the program's text of " << id
                                                                << " changed since it was translated";
            EXPECT_EQ(MessageTextIn(languages[l], id), it->second.text);
        }
    }
}

// The texts translated by their source are still texts of the status views and the network
// picture, so none stays behind when the code changes them.
TEST(TranslationFileTest, EveryTextKeyedBySourceIsStillInTheCode) {
    std::string code;
    for (const char* file : {"status/CycleTimeView.cpp", "status/ErrorHistoryView.cpp", "status/ErrorStatusView.cpp",
                             "status/MessageSequenceView.cpp", "status/NetworkStatusView.cpp",
                             "status/NodeStatusView.cpp", "network/CommonMemoryMap.cpp"})
        code += ReadSource(file);
    ASSERT_FALSE(code.empty()) << LINKSMITH_SOURCE_DIR;
    for (const std::string& language : MessageLanguages()) {
        for (const MessageTranslation& e : MessageTranslations(language)) {
            if (e.id != "-") continue;
            EXPECT_NE(code.find('"' + e.source + '"'), std::string::npos) << "vanished: " << e.source;
        }
    }
}

TEST(LanguageChoiceTest, OptionThenStoredChoiceThenLocaleThenJapanese) {
    const LocaleVariables none;
    LocaleVariables english;
    english.lang = "en_US.UTF-8";
    EXPECT_EQ(ChooseLanguage("", "", none), "ja");
    EXPECT_EQ(ChooseLanguage("", "", english), "en");
    EXPECT_EQ(ChooseLanguage("", "ja", english), "ja") << "the menu's choice goes before the locale";
    EXPECT_EQ(ChooseLanguage("en", "ja", none), "en") << "--lang goes before the menu's choice";
    EXPECT_EQ(ChooseLanguage("", "xx", english), "en") << "a stored language the program lacks is passed over";

    LocaleVariables list;
    list.language = "fr:en_GB:ja";
    list.lang = "fr_FR.UTF-8";
    EXPECT_EQ(LanguageOfLocale(list), "en") << "the first language of LANGUAGE the program has";
    list.lcAll = "C";
    EXPECT_EQ(LanguageOfLocale(list), "") << "LC_ALL=C asks for no translation, whatever LANGUAGE says";
    LocaleVariables messages;
    messages.lang = "en_US.UTF-8";
    messages.lcMessages = "ja_JP.UTF-8";
    EXPECT_EQ(LanguageOfLocale(messages), "ja") << "LC_MESSAGES goes before LANG";
    EXPECT_EQ(KnownLanguageOf("en"), "en");
    EXPECT_EQ(KnownLanguageOf("english"), "");
    EXPECT_EQ(KnownLanguageOf("de_DE@euro"), "");
}

// linksmithctl in-process: --lang en before the command, the failure in English; without it
// the same run in Japanese, byte for byte, and --lang holds for its own run only.
TEST(CliLanguageTest, LangOptionChoosesTheMessagesOfOneRun) {
    const std::string missing = "/nonexistent/plant.lsm";
    const Outcome english = Cli({"--lang", "en", "show", missing.c_str()});
    EXPECT_EQ(english.err, "linksmithctl: " + missing + ": File not found.\n");
    const Outcome japanese = Cli({"show", missing.c_str()});
    EXPECT_EQ(japanese.err, "linksmithctl: " + missing + ": ﾌｧｲﾙが見つかりません。\n");
    EXPECT_EQ(japanese.status, english.status);
    EXPECT_EQ(MessageLanguage(), "ja");

    const Outcome equals = Cli({"--lang=en", "status", "error", "--simulate"});
    EXPECT_EQ(equals.status, 0) << equals.err;
    EXPECT_NE(equals.out.find("FA Link running: "), std::string::npos) << equals.out;
    EXPECT_EQ(equals.out.find("ﾘﾝｸ"), std::string::npos) << "the status texts follow the language";

    const Outcome unknown = Cli({"--lang", "fr", "show", missing.c_str()});
    EXPECT_NE(unknown.status, 0);
    EXPECT_NE(unknown.err.find("--lang"), std::string::npos) << unknown.err;
}

// The program as a shell starts it: the locale chooses, --lang overrides it, no locale is Japanese.
TEST(CliLanguageTest, LocaleChoosesTheLanguageOfTheProgram) {
    const std::string args = "show /nonexistent/plant.lsm";
    EXPECT_EQ(Program("", args).out, "linksmithctl: /nonexistent/plant.lsm: ﾌｧｲﾙが見つかりません。\n");
    EXPECT_EQ(Program("LANG=en_US.UTF-8", args).out, "linksmithctl: /nonexistent/plant.lsm: File not found.\n");
    EXPECT_EQ(Program("LANG=ja_JP.UTF-8 LANGUAGE=en", args).out,
              "linksmithctl: /nonexistent/plant.lsm: File not found.\n");
    EXPECT_EQ(Program("LANG=en_US.UTF-8", "--lang ja " + args).out,
              "linksmithctl: /nonexistent/plant.lsm: ﾌｧｲﾙが見つかりません。\n");
    EXPECT_EQ(Program("LANG=de_DE.UTF-8", args).out, "linksmithctl: /nonexistent/plant.lsm: ﾌｧｲﾙが見つかりません。\n")
        << "a language the program lacks leaves it Japanese";
}
