// A real Prometheus scrapes the exporter; what it stores is compared with the scenario.
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>

#include <filesystem>

#include "ExporterFixture.h"

namespace {
constexpr const char* kPrometheus = "/usr/bin/prometheus";

// The value of the one sample a query gives, "" when there is none (yet).
std::string QueryValue(httplib::Client& client, const std::string& query) {
    auto res = client.Get("/api/v1/query", httplib::Params{{"query", query}}, httplib::Headers{});
    if (!res || res->status != 200) return "";
    auto j = nlohmann::json::parse(res->body, nullptr, false);
    if (j.is_discarded() || j["status"] != "success" || j["data"]["result"].size() != 1) return "";
    return j["data"]["result"][0]["value"][1].get<std::string>();
}
}  // namespace

TEST_F(ExporterFixture, PrometheusStoresWhatTheScenarioSays) {
    if (access(kPrometheus, X_OK) != 0)
        GTEST_SKIP() << kPrometheus << " is not installed (Debian package prometheus): not tested";
    const int port = StartExporter();
    ASSERT_GT(port, 0) << exporter.Errors() << sim.Errors();

    // Prometheus of our own: a free loopback port, a data folder and a configuration of its own.
    const std::string data = Temp("tsdb");
    ASSERT_EQ(mkdir(data.c_str(), 0700), 0);
    const std::string config = Temp("prometheus.yml");
    ASSERT_TRUE(WriteFileAtomically(config, "global:\n  scrape_interval: 1s\n  scrape_timeout: 1s\n"
                                            "scrape_configs:\n  - job_name: linksmith\n    static_configs:\n"
                                            "      - targets: ['127.0.0.1:" +
                                                std::to_string(port) + "']\n"));
    files.push_back(config);
    const int webPort = FreeLoopbackPort();
    ASSERT_GT(webPort, 0);
    ChildProgram prometheus;
    ASSERT_TRUE(prometheus.Start({kPrometheus, "--config.file=" + config, "--storage.tsdb.path=" + data,
                                  "--web.listen-address=127.0.0.1:" + std::to_string(webPort)},
                                 Temp("prometheus-err")));

    httplib::Client client("127.0.0.1", webPort);
    client.set_connection_timeout(1, 0);
    std::string nodes;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (nodes.empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        nodes = QueryValue(client, "linksmith_datalink_nodes{target=\"1\"}");
    }
    ASSERT_EQ(nodes, "4") << "no scrape stored in time:\n" << prometheus.Errors();
    // "participate 1 2 3 4": node 3 takes part; node 5 has dropped out.
    EXPECT_EQ(QueryValue(client, "linksmith_datalink_participating{target=\"1\",node=\"3\"}"), "1");
    EXPECT_EQ(QueryValue(client, "linksmith_datalink_participating{target=\"2\",node=\"5\"}"), "0");
    EXPECT_EQ(QueryValue(client, "linksmith_up{target=\"5\"}"), "0");
    EXPECT_EQ(QueryValue(client, "up{job=\"linksmith\"}"), "1") << "Prometheus saw the scrape succeed";

    EXPECT_EQ(prometheus.Stop(SIGTERM, std::chrono::seconds(10)), 0) << prometheus.Errors();
    EXPECT_EQ(exporter.Stop(SIGTERM), 0) << exporter.Errors();
    std::error_code ignored;
    std::filesystem::remove_all(data, ignored);
}
