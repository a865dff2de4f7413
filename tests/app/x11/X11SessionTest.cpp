// linksmith on a real X server: Xvfb started here, the program's window typed at with xdotool as
// a user's keyboard would, a linksmith-unitsim over UDP standing in for the unit so that what
// arrived there can be read from its state file, and a picture of the real window.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
        if (!dir.empty() && access((dir + "/" + name).c_str(), X_OK) == 0) return dir + "/" + name;
    return std::string();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A child process of the test, ended by its own pid only.
struct Child {
    pid_t pid = -1;
    int out = -1;  // its stdout, when captured

    bool Start(const std::vector<std::string>& args, const std::vector<std::string>& env, const std::string& errFile,
               bool captureOut, int keepFd = -1) {
        std::vector<char*> argv;
        std::vector<std::string> a = args;
        for (auto& s : a) argv.push_back(s.data());
        argv.push_back(nullptr);
        std::vector<std::string> e = env;
        std::vector<char*> envp;
        for (auto& s : e) envp.push_back(s.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        int pipeFds[2] = {-1, -1};
        if (captureOut) {
            if (pipe(pipeFds) != 0) return false;
            posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
            posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        }
        posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        (void)keepFd;  // inherited as it is: not close-on-exec
        const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (captureOut) {
            close(pipeFds[1]);
            out = pipeFds[0];
        }
        return rc == 0;
    }
    // The first line on its stdout, within the time given.
    std::string FirstLine(std::chrono::milliseconds limit) {
        std::string line;
        const auto until = std::chrono::steady_clock::now() + limit;
        char c;
        while (std::chrono::steady_clock::now() < until) {
            pollfd p{out, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            if (read(out, &c, 1) != 1 || c == '\n') break;
            line += c;
        }
        return line;
    }
    // Its exit status once it has ended by itself within the time given; -1 when it had not.
    int WaitExit(std::chrono::milliseconds limit) {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (pid > 0 && std::chrono::steady_clock::now() < until) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(50ms);
        }
        return -1;
    }
    int Stop(int signal = SIGTERM) {
        if (pid <= 0) return 0;
        kill(pid, signal);
        int status = 0;
        waitpid(pid, &status, 0);
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    ~Child() {
        if (pid > 0) Stop(SIGKILL);
        if (out >= 0) close(out);
    }
};

class X11SessionTest : public ::testing::Test {
protected:
    fs::path dir;
    Child xvfb, unitsim, program;
    std::string display;
    std::string xdotool;
    int port = 0;

    void SetUp() override {
        const std::string xvfbPath = FindProgram("Xvfb");
        xdotool = FindProgram("xdotool");
        if (xvfbPath.empty()) GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb)";
        if (xdotool.empty()) GTEST_SKIP() << "xdotool is not installed (Debian package xdotool)";
        dir = fs::path(::testing::TempDir()) / ("linksmith-x11-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "config" / "LinkSmith");
        fs::create_directories(dir / "bin");

        // Xvfb picks a free display itself and writes its number to the pipe.
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        ASSERT_TRUE(xvfb.Start({xvfbPath, "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x1024x24",
                                "-nolisten", "tcp"},
                               Environment({}), (dir / "xvfb.log").string(), false, fds[1]));
        close(fds[1]);
        Child reader;
        reader.out = fds[0];
        const std::string number = reader.FirstLine(20s);
        ASSERT_FALSE(number.empty()) << "Xvfb did not start: " << ReadFile((dir / "xvfb.log").string());
        display = ":" + number;
    }

    void TearDown() override {
        program.Stop(SIGTERM);
        unitsim.Stop(SIGTERM);
        xvfb.Stop(SIGTERM);
        if (!HasFailure() && !dir.empty()) fs::remove_all(dir);
    }

    std::vector<std::string> Environment(const std::vector<std::string>& extra) const {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string s = *e;
            if (s.rfind("DISPLAY=", 0) == 0 || s.rfind("QT_QPA_PLATFORM=", 0) == 0 || s.rfind("XDG_", 0) == 0 ||
                s.rfind("PATH=", 0) == 0 || s.rfind("LANG", 0) == 0 || s.rfind("LC_", 0) == 0)
                continue;
            env.push_back(s);
        }
        const char* path = std::getenv("PATH");
        env.push_back("PATH=" + (dir / "bin").string() + ":" + (path ? path : "/usr/bin:/bin"));
        env.insert(env.end(), extra.begin(), extra.end());
        return env;
    }

    // xdotool against the test's own display; its output, or "" when it failed.
    std::string Xdo(const std::string& args, bool* ok = nullptr) {
        const std::string out = (dir / "xdo.out").string();
        const std::string command = "DISPLAY=" + display + " " + xdotool + " " + args + " > " + out + " 2>&1";
        const int rc = std::system(command.c_str());
        if (ok) *ok = rc == 0;
        std::string text = ReadFile(out);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        return rc == 0 ? text : std::string();
    }
    // The visible window whose title matches, waited for; "" when none came.
    std::string WaitForWindow(const std::string& title, std::chrono::milliseconds limit = 20s) {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < until) {
            const std::string ids = Xdo("search --onlyvisible --name '" + title + "'");
            if (!ids.empty()) return ids.substr(ids.rfind('\n') == std::string::npos ? 0 : ids.rfind('\n') + 1);
            std::this_thread::sleep_for(100ms);
        }
        return std::string();
    }
    bool WaitGone(const std::string& id, std::chrono::milliseconds limit = 20s) {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < until) {
            bool ok = false;
            const std::string seen = Xdo("getwindowname " + id, &ok);
            if (!ok) return true;
            const std::string visible = Xdo("search --onlyvisible --name '.*'");
            if (visible.find(id) == std::string::npos) return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }
    // Keys typed while the window has the focus, as the keyboard sends them.
    void Keys(const std::string& window, const std::string& keys) {
        Xdo("windowfocus --sync " + window);
        Xdo("key --clearmodifiers " + keys);
    }
    // The program's questions and messages (titled with the product name) answered with
    // Enter, each as it comes, until none comes for a while; how many there were.
    int AnswerMessages(std::vector<std::string>* shotsOf = nullptr) {
        int answered = 0;
        for (;;) {
            const std::string box = WaitForWindow("^LinkSmith$", answered ? 8s : 20s);
            if (box.empty()) return answered;
            if (shotsOf) shotsOf->push_back(box);
            Keys(box, "Return");
            EXPECT_TRUE(WaitGone(box)) << "the message did not close";
            ++answered;
        }
    }

    bool StartUnit(const std::string& state, const std::vector<std::string>& sets) {
        std::vector<std::string> args = {LINKSMITH_UNITSIM, "--port", std::to_string(port), "--state", state};
        for (const std::string& s : sets) args.insert(args.end(), {"--set", s});
        if (!unitsim.Start(args, Environment({}), (dir / "unitsim.log").string(), true)) return false;
        const std::string line = unitsim.FirstLine(10s);
        const size_t at = line.rfind("port ");
        if (at == std::string::npos) return false;
        port = std::atoi(line.c_str() + at + 5);
        return port > 0;
    }
};

// The settings block as the unit keeps it, in hexadecimal from byte 0, from a state file.
std::string BlockOf(const std::string& state) {
    std::string block;
    std::istringstream in(state);
    std::string line;
    size_t expected = 0;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string key, hex;
        size_t at = 0;
        if (!(fields >> key >> at >> hex) || key != "block") continue;
        // Lines of zero bytes are left out of the file: put them back.
        if (at > expected) block += std::string((at - expected) * 2, '0');
        block += hex;
        expected = at + hex.size() / 2;
    }
    return block;
}

TEST_F(X11SessionTest, KeysTypedIntoTheRealWindowWriteTheUnitAndReadItBack) {
    // The unit the sample file addresses (unit 2) with nothing written to it yet.
    const std::string state = (dir / "unit.txt").string();
    std::ofstream(state) << "unit 2\n";
    ASSERT_TRUE(StartUnit(state, {})) << ReadFile((dir / "unitsim.log").string());

    // The connection to it, as the communication settings dialog would have kept it.
    std::ofstream((dir / "config" / "LinkSmith" / "LinkSmith.ini").string(), std::ios::binary)
        << "[VLCProject]\r\nPLCConfig=[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:1004;HOST:127.0.0.1;PORT:"
        << port << ";TMO:3000;\r\nPLCComment=unitsim\r\nConnectionType=0\r\n";
    // The user's browser: notes which page it was asked to show.
    const std::string opened = (dir / "opened.txt").string();
    const std::string browser = (dir / "bin" / "xdg-open").string();
    std::ofstream(browser) << "#!/bin/sh\necho \"$@\" >> '" << opened << "'\n";
    fs::permissions(browser, fs::perms::owner_all);

    const std::string file = (dir / "line1.lsm").string();
    fs::copy_file(std::string(LINKSMITH_EXAMPLES_DIR) + "/plant-line1.lsm", file);
    ASSERT_TRUE(program.Start({LINKSMITH_PROGRAM, file},
                              Environment({"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb",
                                           "XDG_CONFIG_HOME=" + (dir / "config").string(), "LANG=C.UTF-8",
                                           "LANGUAGE=ja"}),
                              (dir / "linksmith.log").string(), false));
    const std::string window = WaitForWindow("^line1.lsm - LinkSmith$", 60s);
    ASSERT_FALSE(window.empty()) << "no main window; linksmith said: " << ReadFile((dir / "linksmith.log").string());

    // Ctrl+T, and Enter to the question (Yes) and to the completion message.
    Keys(window, "ctrl+t");
    EXPECT_GE(AnswerMessages(), 2) << ReadFile((dir / "linksmith.log").string());

    // The write arrived: the unit, stopped, saves what it holds. The sample's subnet mask and
    // IP address (255.255.255.0, 192.168.250.2) follow the flag word of the settings block.
    ASSERT_EQ(unitsim.Stop(SIGTERM), 0);
    const std::string written = ReadFile(state);
    const std::string block = BlockOf(written);
    ASSERT_GE(block.size(), 20u) << written;
    EXPECT_EQ(block.substr(4, 16), "FFFFFF00C0A8FA02") << written;

    // The unit changed meanwhile (another IP address), started again at the same address.
    ASSERT_TRUE(StartUnit(state, {"block 6 C0A8FA63"})) << ReadFile((dir / "unitsim.log").string());

    // Ctrl+Shift+T and its answers; then Ctrl+S keeps what was read in the file (the comment
    // dialog: Tab from the comment to its OK button, Enter).
    Keys(window, "ctrl+shift+t");
    EXPECT_GE(AnswerMessages(), 2);
    Keys(window, "ctrl+s");
    const std::string commentBox = WaitForWindow("^ｺﾒﾝﾄ入力$|^Comment$", 20s);
    ASSERT_FALSE(commentBox.empty()) << "no comment dialog";
    Keys(commentBox, "Tab Return");
    ASSERT_TRUE(WaitGone(commentBox));
    std::this_thread::sleep_for(500ms);
    const std::string saved = ReadFile(file);
    EXPECT_NE(saved.find(",IP address,192.168.250.99"), std::string::npos) << "the read did not come back:\n" << saved;

    // F1 shows the manual kept beside the program in the build tree.
    Keys(window, "F1");
    for (int i = 0; i < 50 && ReadFile(opened).empty(); ++i) std::this_thread::sleep_for(100ms);
    EXPECT_NE(ReadFile(opened).find("/manual/ja/index.html"), std::string::npos) << ReadFile(opened);

    // The real window as the X server shows it.
    const std::string xwd = FindProgram("xwd");
    if (!xwd.empty()) {
        const std::string shot = std::string(LINKSMITH_X11_OUTPUT) + "/x11-main-window.xwd";
        const std::string command = "DISPLAY=" + display + " " + xwd + " -silent -id " + window + " -out " + shot;
        EXPECT_EQ(std::system(command.c_str()), 0);
        EXPECT_GT(fs::file_size(shot), 100000u) << "a picture of 1000 x 600 pixels or so";
    }

    // File → Exit from the keyboard; the program ends by itself.
    Keys(window, "alt+f");
    std::this_thread::sleep_for(300ms);
    Xdo("key x");
    EXPECT_EQ(program.WaitExit(20s), 0);
}

}  // namespace
