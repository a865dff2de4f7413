#include <CLI/CLI.hpp>
#include <httplib.h>

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <ostream>
#include <thread>

#include "cli/Commands.h"
#include "cli/ConnectionOptions.h"
#include "monitor/MonitorTargets.h"
#include "monitor/ScrapeCache.h"
#include "monitor/UnitPool.h"
#include "platform/StopSignals.h"
#include "sim/SimServer.h"
#if defined(LINKSMITH_HAVE_UNIT_SIMULATOR)
#include "sim/UnitSimulatorAdapter.h"
#endif

// linksmithctl exporter: serves GET /metrics in the Prometheus text format; the units are read
// when scraped, at most once per --min-interval, all units of a network in parallel.
namespace {
constexpr const char* kDefaultListen = "127.0.0.1:9850";
// Enough workers that clients holding connections open or sending junk leave some for scrapes,
// and short time-outs so that such clients give their worker back soon.
constexpr size_t kWorkers = 16;
constexpr time_t kReadTimeoutSeconds = 2;
constexpr size_t kMaxRequestBody = 4096;

struct ExporterOptions {
    ConnectionOptions connection;
    std::string network;
    std::string listen = kDefaultListen;
    double minIntervalSeconds = 1.0;
};

std::atomic<bool> g_stop{false};
void OnStopSignal(int) { g_stop = true; }

// ADDR:PORT, [IPV6]:PORT or :PORT (loopback); false when it is none of them.
bool ParseListen(const std::string& text, std::string* host, int* port) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos) return false;
    std::string h = text.substr(0, colon);
    const std::string p = text.substr(colon + 1);
    if (p.empty() || p.size() > 5 || p.find_first_not_of("0123456789") != std::string::npos) return false;
    const long value = std::stol(p);
    if (value > 65535) return false;
    if (h.size() >= 2 && h.front() == '[' && h.back() == ']') h = h.substr(1, h.size() - 2);
    else if (h.find(':') != std::string::npos) return false;  // an IPv6 address wants brackets
    if (h.empty()) h = "127.0.0.1";
    *host = h;
    *port = static_cast<int>(value);
    return true;
}

// Binds a socket to the address the way the server will, so the reason a bind fails can be told
// (the HTTP library only says that it failed). Empty when it can be bound.
std::string BindProblem(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    const int rc = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (rc != 0) return gai_strerror(rc);
    std::string problem = "no address";
    for (addrinfo* a = found; a; a = a->ai_next) {
        const int s = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (s < 0) {
            problem = std::strerror(errno);
            continue;
        }
        int yes = 1;
        setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        const bool bound = bind(s, a->ai_addr, a->ai_addrlen) == 0 && listen(s, 1) == 0;
        if (!bound) problem = std::strerror(errno);
        close(s);
        if (bound) {
            problem.clear();
            break;
        }
    }
    freeaddrinfo(found);
    return problem;
}

void RunExporter(const ExporterOptions& o, const CLI::App& cmd, CliContext& ctx) {
    ctx.exitCode = kExitRefused;
    std::string host;
    int port = 0;
    if (!ParseListen(o.listen, &host, &port)) {
        ctx.err << "linksmithctl: bad --listen " << o.listen << " (want ADDRESS:PORT, [IPV6-ADDRESS]:PORT or :PORT, "
                << "port 0-65535)\n";
        return;
    }
    std::vector<MonitorTarget> targets;
    std::unique_ptr<CSimServer> sim;
    if (!MonitorTargetsOf("exporter", o.network, o.connection, cmd, ctx.err, &targets, &sim)) return;
    const std::string problem = BindProblem(host, port);
    if (!problem.empty()) {
        ctx.err << "linksmithctl: cannot listen on " << o.listen << ": " << problem << "\n";
        return;
    }

    CUnitPool pool(targets, sim.get(), false);
    CScrapeCache cache(pool, std::chrono::milliseconds(static_cast<long long>(o.minIntervalSeconds * 1000)));
    std::mutex logMutex;
    cache.SetChangeLog([&ctx, &logMutex](const std::string& line) {
        std::lock_guard<std::mutex> lock(logMutex);
        ctx.err << "linksmithctl: target " << line << std::endl;
    });

    httplib::Server server;
    server.new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    server.set_read_timeout(kReadTimeoutSeconds, 0);
    server.set_write_timeout(5, 0);
    server.set_keep_alive_timeout(kReadTimeoutSeconds);
    server.set_keep_alive_max_count(100);
    server.set_payload_max_length(kMaxRequestBody);
    server.Get("/metrics", [&cache](const httplib::Request&, httplib::Response& res) {
        res.set_content(cache.Scrape(), CPrometheusText::kContentType);
    });
    // Every other path is answered 404 by the library.
    const bool bound = port == 0 ? (port = server.bind_to_any_port(host)) > 0 : server.bind_to_port(host, port);
    if (!bound) {
        ctx.err << "linksmithctl: cannot listen on " << o.listen << "\n";
        return;
    }
    g_stop = false;
    CStopSignals signals(&OnStopSignal);
    // Said once the signals are handled, so whoever waits for the line may then stop it by one.
    const bool v6 = host.find(':') != std::string::npos;
    ctx.out << "linksmithctl exporter listening on http://" << (v6 ? "[" + host + "]" : host) << ":" << port
            << "/metrics" << std::endl;
    // The signal only sets a flag; the server is stopped from an ordinary thread.
    std::atomic<bool> serving{true};
    std::thread watcher([&server, &serving] {
        while (serving && !g_stop) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        server.stop();
    });
    const bool clean = server.listen_after_bind();
    serving = false;
    watcher.join();
    ctx.exitCode = clean || g_stop ? kExitClean : kExitCommFailed;
}
}  // namespace

void AddExporterCommand(CLI::App& app, CliContext& ctx) {
    auto options = std::make_shared<ExporterOptions>();
    auto* cmd = app.add_subcommand("exporter",
                                   "Serve GET /metrics in the Prometheus text format: the unit (or every unit of a "
                                   "network file) read when scraped; exit 0 on SIGTERM/SIGINT, 2 when refused");
    AddConnectionOptions(*cmd, options->connection);
    cmd->add_option("--network", options->network, "Export every node of this network file instead of one unit");
    cmd->add_option("--listen", options->listen,
                    std::string("Address and port to serve on, ADDRESS:PORT ([ADDRESS]:PORT for IPv6; port 0 picks a "
                                "free one); default ") + kDefaultListen);
    cmd->add_option("--min-interval", options->minIntervalSeconds,
                    "Seconds within which a second scrape gets the figures of the first (default 1)")
        ->check(CLI::Range(0.0, 3600.0));
    cmd->callback([&ctx, options, cmd] { RunExporter(*options, *cmd, ctx); });
}
