#pragma once
// A program of ours (linksmith-unitsim, linksmithctl, ...) started by a test or a benchmark:
// stdout on a pipe read line by line with a deadline, stderr into a file or left to the parent,
// stopped by its own pid.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <netinet/in.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "model/FileIo.h"

extern char** environ;

class ChildProgram {
public:
    ChildProgram() = default;
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;
    ~ChildProgram() {
        End();
        if (!m_errPath.empty()) std::remove(m_errPath.c_str());
    }

    // errPath: where stderr goes (one file per test, the tests run side by side); empty leaves it
    // to the parent's. Starting again ends the program started before and forgets its output.
    bool Start(std::vector<std::string> args, const std::string& errPath = "") {
        End();
        m_errPath = errPath;
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        int fds[2];
        if (pipe(fds) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        if (!errPath.empty())
            posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int rc = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        m_out = fds[0];
        if (rc != 0) m_pid = -1;
        return rc == 0;
    }

    // The next line of stdout, without its line feed; false at the end or when none came in time.
    bool ReadLine(std::string* line, std::chrono::milliseconds within = std::chrono::milliseconds(10000)) {
        const auto deadline = std::chrono::steady_clock::now() + within;
        for (;;) {
            const size_t lf = m_buffer.find('\n');
            if (lf != std::string::npos) {
                *line = m_buffer.substr(0, lf);
                m_buffer.erase(0, lf + 1);
                return true;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                                      std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            pollfd p{m_out, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
            char chunk[4096];
            const ssize_t n = read(m_out, chunk, sizeof chunk);
            if (n <= 0) return false;
            m_buffer.append(chunk, static_cast<size_t>(n));
        }
    }
    // The port from the first line the program prints ("... port N"); 0 when it printed none.
    int ReadPort(std::chrono::milliseconds within = std::chrono::milliseconds(10000)) {
        std::string line;
        if (!ReadLine(&line, within)) return 0;
        const size_t at = line.rfind("port ");
        return at == std::string::npos ? 0 : std::atoi(line.c_str() + at + 5);
    }
    // Lines until one contains text (that one last); empty vector when it never came.
    std::vector<std::string> LinesUntil(const std::string& text,
                                        std::chrono::milliseconds within = std::chrono::milliseconds(10000)) {
        std::vector<std::string> lines;
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + within;
        while (ReadLine(&line, std::chrono::duration_cast<std::chrono::milliseconds>(
                                   deadline - std::chrono::steady_clock::now()))) {
            lines.push_back(line);
            if (line.find(text) != std::string::npos) return lines;
        }
        return {};
    }

    // Exit status after signal (0: just wait), -1 when it died of a signal or did not end in time.
    int Stop(int signal, std::chrono::milliseconds within = std::chrono::milliseconds(10000)) {
        if (m_pid <= 0) return -1;
        if (signal) kill(m_pid, signal);
        const auto deadline = std::chrono::steady_clock::now() + within;
        int status = 0;
        while (waitpid(m_pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) return -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Errors() const {
        std::string text;
        ReadWholeFile(m_errPath, text);
        return text;
    }
    pid_t Pid() const { return m_pid; }

private:
    void End() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        m_pid = -1;
        if (m_out >= 0) close(m_out);
        m_out = -1;
        m_buffer.clear();
    }

    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_buffer;
    std::string m_errPath;
};

// A loopback TCP port nobody listens on right now.
inline int FreeLoopbackPort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    int port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    close(s);
    return port;
}
