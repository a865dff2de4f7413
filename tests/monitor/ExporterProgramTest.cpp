// linksmithctl exporter over HTTP: the series a scrape gets, the cache between scrapes, bad
// clients beside a scrape, and the refusals of --listen.
#include <httplib.h>

#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <cstdio>
#include <sstream>

#include "ExporterFixture.h"
#include "cli/Cli.h"

namespace {
bool Has(const std::string& text, const std::string& line) { return text.find("\n" + line + "\n") != std::string::npos; }

// A raw client: connects, sends bytes, keeps the socket open until it goes.
class RawClient {
public:
    explicit RawClient(int port) {
        m_socket = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<uint16_t>(port));
        m_connected = connect(m_socket, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~RawClient() { close(m_socket); }
    bool Connected() const { return m_connected; }
    void Send(const std::string& bytes) {
        size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::send(m_socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return;  // the server gave up on us: fine
            sent += static_cast<size_t>(n);
        }
    }

private:
    int m_socket = -1;
    bool m_connected = false;
};
}  // namespace

TEST_F(ExporterFixture, ScrapeGivesEverySeriesOfEveryNodeAndUnreachableNodeIsDown) {
    const int port = StartExporter(0.3);
    ASSERT_GT(port, 0) << exporter.Errors() << sim.Errors();
    httplib::Client client("127.0.0.1", port);
    auto res = client.Get("/metrics");
    ASSERT_TRUE(res) << exporter.Errors();
    EXPECT_EQ(res->status, 200);
    EXPECT_EQ(res->get_header_value("Content-Type"), "text/plain; version=0.0.4; charset=utf-8");
    const std::string text = res->body;
    EXPECT_TRUE(Has(text, "# TYPE linksmith_up gauge")) << text;
    EXPECT_TRUE(Has(text, "linksmith_up{target=\"1\"} 1")) << text;
    EXPECT_TRUE(Has(text, "linksmith_up{target=\"2\"} 1")) << text;
    EXPECT_TRUE(Has(text, "linksmith_up{target=\"5\"} 0")) << text;
    EXPECT_TRUE(Has(text, "linksmith_datalink_nodes{target=\"1\"} 4"));
    // Node 5 is listed in the network file and out of the data link; node 3 takes part.
    EXPECT_TRUE(Has(text, "linksmith_datalink_participating{target=\"1\",node=\"3\"} 1"));
    EXPECT_TRUE(Has(text, "linksmith_datalink_participating{target=\"1\",node=\"5\"} 0"));
    EXPECT_TRUE(Has(text, "linksmith_node_upper_layer_running{target=\"2\",node=\"1\"} 1"));
    EXPECT_TRUE(Has(text, "linksmith_node_upper_layer_error{target=\"2\",node=\"4\"} 1"));
    EXPECT_TRUE(Has(text, "linksmith_node_area_allocation_error{target=\"2\",node=\"3\"} 1"));
    EXPECT_TRUE(Has(text, "linksmith_error_status_bit{target=\"1\",bit=\"15\"} 1"));
    EXPECT_TRUE(Has(text, "linksmith_error_status_bit{target=\"1\",bit=\"8\"} 0"));
    EXPECT_TRUE(Has(text, "linksmith_cycle_time_seconds{target=\"1\",kind=\"current\"} 0.048"));
    EXPECT_TRUE(Has(text, "linksmith_cycle_time_seconds{target=\"1\",kind=\"max\"} 0.06"));
    EXPECT_TRUE(Has(text, "linksmith_cycle_time_seconds{target=\"1\",kind=\"min\"} 0.003"));
    EXPECT_TRUE(Has(text, "linksmith_error_history_records{target=\"2\"} 64"));
    EXPECT_TRUE(Has(text, "# TYPE linksmith_read_failures_total counter"));
    EXPECT_TRUE(Has(text, "linksmith_read_failures_total{target=\"5\"} 1"));
    EXPECT_TRUE(Has(text, "linksmith_read_failures_total{target=\"1\"} 0"));
    EXPECT_NE(text.find("linksmith_scrape_duration_seconds{target=\"5\"} "), std::string::npos);
    // A unit that is down has only its up, failure and duration series.
    const std::string failures = "linksmith_read_failures_total";
    EXPECT_EQ(text.find("{target=\"5\"", text.find("linksmith_datalink_nodes")),
              text.find(failures + "{target=\"5\"}") + failures.size())
        << text;
    EXPECT_NE(exporter.Errors().find("linksmithctl: target 5: read failed: "), std::string::npos) << exporter.Errors();

    // Within the minimum interval the figures are the cached ones; after it the units are read again.
    auto again = client.Get("/metrics");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->body, text);
    std::this_thread::sleep_for(std::chrono::milliseconds(350));
    auto later = client.Get("/metrics");
    ASSERT_TRUE(later);
    EXPECT_TRUE(Has(later->body, "linksmith_read_failures_total{target=\"5\"} 2")) << later->body;

    for (const char* path : {"/", "/metric", "/metrics/x", "/favicon.ico"}) {
        auto other = client.Get(path);
        ASSERT_TRUE(other) << path;
        EXPECT_EQ(other->status, 404) << path;
    }
    EXPECT_EQ(exporter.Stop(SIGTERM), 0) << exporter.Errors();
}

TEST_F(ExporterFixture, PromtoolAcceptsTheExposition) {
    if (access("/usr/bin/promtool", X_OK) != 0) GTEST_SKIP() << "promtool is not installed (Debian package prometheus)";
    const int port = StartExporter();
    ASSERT_GT(port, 0) << exporter.Errors() << sim.Errors();
    httplib::Client client("127.0.0.1", port);
    auto res = client.Get("/metrics");
    ASSERT_TRUE(res);
    const std::string file = Temp("metrics.txt");
    ASSERT_TRUE(WriteFileAtomically(file, res->body));
    files.push_back(file);
    const std::string command = "/usr/bin/promtool check metrics < " + file + " 2>&1";
    FILE* p = popen(command.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string said;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, p)) said += buffer;
    EXPECT_EQ(pclose(p), 0) << said;
    EXPECT_EQ(said, "") << "promtool has remarks";
    EXPECT_EQ(exporter.Stop(SIGTERM), 0);
}

TEST_F(ExporterFixture, JunkHugeAndHeldOpenClientsNeverHoldUpAScrape) {
    const int port = StartExporter(0);
    ASSERT_GT(port, 0) << exporter.Errors() << sim.Errors();
    std::vector<std::unique_ptr<RawClient>> clients;
    for (int i = 0; i < 8; ++i) clients.push_back(std::make_unique<RawClient>(port));  // say nothing
    auto partial = std::make_unique<RawClient>(port);
    partial->Send("GET /metrics HTTP/1.1\r\nHost: x\r\n");  // and never ends the request
    auto junk = std::make_unique<RawClient>(port);
    junk->Send(std::string("\x16\x03\x01\x00\xa5\x01\x00\x00\xa1\x03\x03", 11) + std::string(300, '\xff') + "\r\n\r\n");
    auto huge = std::make_unique<RawClient>(port);
    huge->Send("GET /metrics HTTP/1.1\r\nX-Big: " + std::string(200000, 'a') + "\r\n\r\n");
    auto body = std::make_unique<RawClient>(port);
    body->Send("POST /metrics HTTP/1.1\r\nContent-Length: 100000000\r\n\r\n" + std::string(10000, 'b'));
    for (const auto& c : clients) ASSERT_TRUE(c->Connected());

    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(10, 0);
    for (int i = 0; i < 3; ++i) {
        const auto started = std::chrono::steady_clock::now();
        auto res = client.Get("/metrics");
        const auto took = std::chrono::steady_clock::now() - started;
        ASSERT_TRUE(res) << exporter.Errors();
        EXPECT_EQ(res->status, 200);
        EXPECT_TRUE(Has(res->body, "linksmith_up{target=\"1\"} 1"));
        // Less than the time the server gives a silent client: nobody waited for one.
        EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(took).count(), 1500) << i;
    }
    EXPECT_EQ(exporter.Stop(SIGTERM), 0) << exporter.Errors();
}

TEST_F(ExporterFixture, MalformedRepliesMakeTheUnitDownAndTheExporterServesOn) {
    // Every reply cut short in its header: no read of any unit succeeds.
    const int port = StartExporter(0, {"--truncate", "1", "--truncate-header"});
    ASSERT_GT(port, 0) << exporter.Errors() << sim.Errors();
    httplib::Client client("127.0.0.1", port);
    for (int i = 1; i <= 2; ++i) {
        auto res = client.Get("/metrics");
        ASSERT_TRUE(res) << exporter.Errors();
        EXPECT_TRUE(Has(res->body, "linksmith_up{target=\"1\"} 0")) << res->body;
        EXPECT_TRUE(Has(res->body, "linksmith_read_failures_total{target=\"2\"} " + std::to_string(i))) << res->body;
    }
    // One line per unit going down, not one per scrape.
    const std::string errors = exporter.Errors();
    EXPECT_NE(errors.find("linksmithctl: target 1: read failed: "), std::string::npos) << errors;
    EXPECT_EQ(errors.find("target 1: read failed", errors.find("target 1: read failed") + 1), std::string::npos)
        << errors;
    EXPECT_EQ(exporter.Stop(SIGTERM), 0);
}

TEST(ExporterRefusals, BadListenValuesAndAPortInUseAreRefusedWithTwo) {
    // A port that is in use: someone listens on it.
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(listen(s, 1), 0);
    ASSERT_EQ(getsockname(s, reinterpret_cast<sockaddr*>(&a), &len), 0);
    const std::string busy = "127.0.0.1:" + std::to_string(ntohs(a.sin_port));
    struct Case {
        std::string listen;
        std::string said;
    };
    const std::vector<Case> cases = {
        {"9100", "bad --listen 9100 (want ADDRESS:PORT"},
        {"127.0.0.1:", "bad --listen 127.0.0.1: "},
        {"127.0.0.1:65536", "bad --listen 127.0.0.1:65536 "},
        {"127.0.0.1:http", "bad --listen 127.0.0.1:http "},
        {"::1:9100", "bad --listen ::1:9100 "},
        {"no.such.host.invalid:9100", "cannot listen on no.such.host.invalid:9100: "},
        {"192.0.2.1:9100", "cannot listen on 192.0.2.1:9100: Cannot assign requested address"},
        {busy, "cannot listen on " + busy + ": Address already in use"},
    };
    for (const auto& c : cases) {
        const char* argv[] = {"linksmithctl", "exporter", "--simulate", "--listen", c.listen.c_str()};
        std::ostringstream out, err;
        EXPECT_EQ(RunCli(5, argv, out, err), 2) << c.listen;
        EXPECT_EQ(out.str(), "") << c.listen;
        EXPECT_EQ(err.str().rfind("linksmithctl: " + c.said, 0), 0u) << err.str();
    }
    close(s);
    const char* both[] = {"linksmithctl", "exporter", "--simulate", "--network", "x.toml"};
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(5, both, out, err), 2);
    EXPECT_NE(err.str().find("either connection options or --network"), std::string::npos) << err.str();
}
