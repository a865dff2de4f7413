// What each system does its own way, held to one expectation: the Windows build runs these under
// Wine, the Linux build natively, and both must give the same answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "app/Language.h"
#include "cli/Cli.h"
#include "comm/ProfileFile.h"
#include "model/FileIo.h"
#include "model/TextCodec.h"
#include "platform/Folders.h"
#include "platform/LocalTime.h"
#include "platform/StopSignals.h"
#include "platform/UdpSocket.h"
#include "platform/UserLocale.h"
#include "tests/platform/TestEnvironment.h"

namespace fs = std::filesystem;

namespace {

TEST(CodePage, JapaneseTextConvertsBothWaysAndDamageCostsOneMarkPerByte) {
    // Full width, half-width katakana (single bytes 0xA1-0xDF), the NEC and IBM extensions, ASCII.
    const std::string utf8 = "設定ﾌｧｲﾙ ①Ⅱ ﾗｲﾌﾞﾓﾆﾀ(&L) ~\\ ｱ";
    const std::string sjis = Utf8ToCp932(utf8);
    EXPECT_EQ(sjis.substr(0, 4), "\x90\xDD\x92\xE8");
    EXPECT_EQ(sjis.substr(4, 4), "\xCC\xA7\xB2\xD9");
    EXPECT_EQ(sjis.substr(9, 4), "\x87\x40\x87\x55");
    EXPECT_EQ(Cp932ToUtf8(sjis), utf8);

    struct Case {
        std::string in, out;
    };
    // CP932 to UTF-8: a lead byte at the end or before a byte that cannot follow it, and the bytes
    // that are no character of the code page.
    for (const Case& c : std::vector<Case>{{"a\x81", "a?"},
                                           {"\x81 b", "? b"},
                                           {"\x80\xA0\xFD\xFE\xFF", "?????"},
                                           {"\x82\xA0x", "\xE3\x81\x82x"},
                                           {std::string("\0z", 2), std::string("\0z", 2)}})
        EXPECT_EQ(Cp932ToUtf8(c.in), c.out) << c.in;
    // UTF-8 to CP932: a character the code page lacks costs one mark per byte, as does bad UTF-8.
    for (const Case& c : std::vector<Case>{{"\xC3\xA9", "??"},
                                           {"\xF0\x9F\x98\x80!", "???" "?!"},
                                           {"\xC3", "?"},
                                           {"\xED\xA0\x80", "???"},
                                           {"\xE3\x81\x82", "\x82\xA0"}})
        EXPECT_EQ(Utf8ToCp932(c.in), c.out) << c.in;
}

class PlatformFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / (std::string("linksmith-platform-") + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Utf8(const fs::path& p) const { return p.u8string(); }
    fs::path dir;
};

TEST_F(PlatformFiles, JapaneseFileNamesAreWrittenReplacedAndReadUnderTheirOwnName) {
    const std::string name = "ライン1 設定.lsm";
    const std::string path = Utf8(dir) + "/" + name;
    ASSERT_TRUE(WriteFileAtomically(path, "old\r\n"));
    ASSERT_TRUE(WriteFileAtomically(path, "new\r\n"));
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(bytes, "new\r\n") << "binary: no second CR before the LF";
    // The name on the disk is the Japanese one (not its ANSI mangling), and nothing else is left.
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().u8string());
    EXPECT_EQ(names, std::vector<std::string>{name});
    EXPECT_FALSE(ReadWholeFile(Utf8(dir) + "/ライン2.lsm", bytes));
    EXPECT_FALSE(ReadWholeFile(Utf8(dir), bytes)) << "a folder is no file";

    // The system refuses the replacing step itself (a folder in the way): the save fails, what
    // was there stays, and the temporary file goes.
    const std::string blocked = Utf8(dir) + "/フォルダ.lsm";
    fs::create_directories(fs::u8path(blocked) / "inside");
    EXPECT_FALSE(WriteFileAtomically(blocked, "new\r\n"));
    EXPECT_TRUE(fs::is_directory(fs::u8path(blocked) / "inside"));
    names.clear();
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().u8string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"フォルダ.lsm", name}));
}

TEST_F(PlatformFiles, TheCommandLineToolConvertsIntoAndOutOfJapaneseFileNames) {
    const std::string out = Utf8(dir) + "/工場 ライン1.lsm";
    std::ostringstream o, e;
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), "linksmithctl");
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(&a[0]);
        return RunCli(static_cast<int>(argv.size()), argv.data(), o, e, nullptr);
    };
    ASSERT_EQ(run({"convert", LINKSMITH_EXAMPLES_DIR "/plant-line1-japanese.lsm", out}), 0) << e.str();
    std::string written, again;
    ASSERT_TRUE(ReadWholeFile(out, written));
    EXPECT_NE(written.find("\r\n"), std::string::npos);
    EXPECT_EQ(written.find("\n\n"), std::string::npos);
    const std::string copy = Utf8(dir) + "/写し.lsm";
    ASSERT_EQ(run({"convert", out, copy}), 0) << e.str();
    ASSERT_TRUE(ReadWholeFile(copy, again));
    EXPECT_EQ(again, written);
}

TEST_F(PlatformFiles, ANetworkFileInAJapaneseFolderFindsItsNodesFilesByTheirJapaneseNames) {
    const fs::path folder = dir / fs::u8path("工場");
    fs::create_directories(folder);
    for (const auto& e : fs::directory_iterator(fs::u8path(LINKSMITH_EXAMPLES_DIR "/network-line1")))
        fs::copy_file(e.path(), folder / e.path().filename());
    fs::rename(folder / "press.lsm", folder / fs::u8path("プレス.lsm"));
    std::string toml;
    ASSERT_TRUE(ReadWholeFile((folder / "line1.toml").u8string(), toml));
    toml.replace(toml.find("\"press.lsm\""), 11, "\"プレス.lsm\"");
    ASSERT_TRUE(WriteFileAtomically((folder / fs::u8path("ライン1.toml")).u8string(), toml));

    std::ostringstream o, e;
    const std::string network = (folder / fs::u8path("ライン1.toml")).u8string();
    std::vector<std::string> args = {"linksmithctl", "network", "check", network};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(&a[0]);
    EXPECT_EQ(RunCli(static_cast<int>(argv.size()), argv.data(), o, e, nullptr), 0) << e.str();
    EXPECT_EQ(o.str(), "7 node(s), 0 error(s), 0 warning(s)\n");
}

TEST_F(PlatformFiles, ConfigurationLivesInTheUsersConfigFolder) {
    UseConfigFolder(Utf8(dir));
    EXPECT_EQ(UserConfigFolder(), Utf8(dir));
    EXPECT_EQ(CProfileFile::DefaultPath(), Utf8(dir) + "/LinkSmith/LinkSmith.ini");
    // The profile makes its folders on the first save.
    CProfileFile profile(CProfileFile::DefaultPath());
    ASSERT_TRUE(profile.WriteString("VLCProject", "ConnectionType", "1"));
    EXPECT_EQ(CProfileFile(CProfileFile::DefaultPath()).ReadString("VLCProject", "ConnectionType", 2049), "1");

    const fs::path exe = fs::u8path(ExecutableFolder());
    ASSERT_FALSE(exe.empty());
    EXPECT_TRUE(fs::exists(exe / "platform_tests") || fs::exists(exe / "platform_tests.exe")) << exe;
}

TEST(PlatformUdp, DatagramsGoBothWaysOverIpv4AndIpv6) {
    for (const std::string host : {"127.0.0.1", "::1"}) {
        CUdpSocket server, client;
        std::string error;
        if (!server.Bind(host, 0, &error)) {
            EXPECT_EQ(host, "::1") << error;  // IPv6 may be missing; IPv4 loopback may not
            continue;
        }
        ASSERT_NE(server.LocalPort(), 0);
        ASSERT_TRUE(client.Connect(host, server.LocalPort(), &error)) << error;
        const uint8_t request[] = {1, 2, 3};
        ASSERT_TRUE(client.Send(request, sizeof request, &error)) << error;
        bool failed = true;
        ASSERT_TRUE(server.WaitReadable(std::chrono::seconds(5), &failed));
        EXPECT_FALSE(failed);
        uint8_t buffer[64];
        size_t n = 0;
        CUdpSocket::Peer from;
        ASSERT_EQ(server.Receive(buffer, sizeof buffer, &n, &from), CUdpSocket::Received::Datagram);
        EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + n), std::vector<uint8_t>(request, request + 3));
        EXPECT_EQ(server.Receive(buffer, sizeof buffer, &n, &from), CUdpSocket::Received::Nothing) << "never blocks";
        const uint8_t reply[] = {9, 8};
        ASSERT_TRUE(server.SendTo(reply, sizeof reply, from));
        ASSERT_TRUE(client.WaitReadable(std::chrono::seconds(5), &failed));
        ASSERT_EQ(client.Receive(buffer, sizeof buffer, &n, nullptr), CUdpSocket::Received::Datagram);
        EXPECT_EQ(n, 2u);
    }
}

TEST(PlatformUdp, SilenceAndAnUnreachablePortAreNothingToReadNotAFailure) {
    CUdpSocket gone;
    std::string error;
    ASSERT_TRUE(gone.Bind("127.0.0.1", 0, &error)) << error;
    const uint16_t port = gone.LocalPort();
    gone.Close();
    CUdpSocket client;
    ASSERT_TRUE(client.Connect("127.0.0.1", port, &error)) << error;
    const uint8_t request[] = {1};
    ASSERT_TRUE(client.Send(request, 1, &error)) << error;
    // The ICMP answer (ECONNREFUSED on Linux, WSAECONNRESET on Windows) must read as silence, so
    // the caller waits for its time-out; the wait takes at least the time asked for.
    bool failed = true;
    const auto start = std::chrono::steady_clock::now();
    client.WaitReadable(std::chrono::milliseconds(50), &failed);
    EXPECT_FALSE(failed);
    uint8_t buffer[16];
    size_t n = 0;
    EXPECT_EQ(client.Receive(buffer, sizeof buffer, &n, nullptr), CUdpSocket::Received::Nothing);
    EXPECT_FALSE(client.WaitReadable(std::chrono::milliseconds(60), &failed));
    EXPECT_FALSE(failed);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(55));

    // A server whose reply went to a client that has gone still takes the next request.
    CUdpSocket server, first, second;
    ASSERT_TRUE(server.Bind("127.0.0.1", 0, &error)) << error;
    ASSERT_TRUE(first.Connect("127.0.0.1", server.LocalPort(), &error)) << error;
    ASSERT_TRUE(first.Send(request, 1, &error));
    ASSERT_TRUE(server.WaitReadable(std::chrono::seconds(5), &failed));
    CUdpSocket::Peer from;
    ASSERT_EQ(server.Receive(buffer, sizeof buffer, &n, &from), CUdpSocket::Received::Datagram);
    first.Close();
    server.SendTo(request, 1, from);
    ASSERT_TRUE(second.Connect("127.0.0.1", server.LocalPort(), &error)) << error;
    ASSERT_TRUE(second.Send(request, 1, &error));
    ASSERT_TRUE(server.WaitReadable(std::chrono::seconds(5), &failed));
    EXPECT_EQ(server.Receive(buffer, sizeof buffer, &n, &from), CUdpSocket::Received::Datagram);

    EXPECT_FALSE(client.Connect("no.such.host.invalid", 1, &error));
    EXPECT_EQ(error.rfind("cannot resolve host no.such.host.invalid: ", 0), 0u) << error;
}

TEST(PlatformLocale, WithoutLocaleVariablesTheUsersSystemLanguageChooses) {
    std::vector<std::pair<std::string, std::string>> saved;
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        saved.emplace_back(name, value ? value : "");
        SetEnvironment(name, "");
    }
    // Linux: nothing left to go by, so the default, Japanese. Windows: the user's display
    // language ("en-US" under an English Wine), which the variables never carry there.
    const std::string system = KnownLanguageOf(SystemUiLocale());
    EXPECT_EQ(ChooseLanguage("", "", LocaleVariables::FromEnvironment()), system.empty() ? "ja" : system);
    SetEnvironment("LANG", "ja_JP.UTF-8");
    EXPECT_EQ(ChooseLanguage("", "", LocaleVariables::FromEnvironment()), "ja") << "a variable set goes first";
    SetEnvironment("LANG", "en_US.UTF-8");
    EXPECT_EQ(ChooseLanguage("", "", LocaleVariables::FromEnvironment()), "en");
    for (const auto& [name, value] : saved) SetEnvironment(name, value);
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

TEST(PlatformTime, LocalTimeAndItsOffsetFromUtcAgree) {
    for (std::time_t t : {std::time_t{0} + 86400 * 365, std::time_t{1700000000}, std::time(nullptr)}) {
        long offset = 99999;
        const std::tm local = LocalTime(t, &offset);
        EXPECT_LE(offset < 0 ? -offset : offset, 14 * 3600);
        const long long asUtc = DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) * 86400 +
                                local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
        EXPECT_EQ(asUtc - offset, static_cast<long long>(t));
    }
}

volatile std::sig_atomic_t g_stopped = 0;
volatile std::sig_atomic_t g_before = 0;

TEST(PlatformSignals, AStopReachesTheHandlerAndThePreviousHandlerComesBack) {
    auto previous = std::signal(SIGTERM, [](int) { g_before = 1; });
    {
        CStopSignals stop([](int) { g_stopped = 1; });
        std::raise(SIGTERM);
        EXPECT_EQ(g_stopped, 1);
        EXPECT_EQ(g_before, 0);
        g_stopped = 0;
        std::raise(SIGINT);
        EXPECT_EQ(g_stopped, 1);
    }
    std::raise(SIGTERM);
    EXPECT_EQ(g_before, 1);
    std::signal(SIGTERM, previous);
}

}  // namespace
