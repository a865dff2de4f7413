#pragma once
#include <string>
#include <vector>

class CNetworkPlan;
class CUnitSettings;

// Words first to last (inclusive) of common memory area 1 or 2, as one node sends or maps them.
struct WordRange {
    int node = 0;
    int area = 0;
    int first = 0;
    int last = 0;
    // Whose view: "sends" (the node's local settings) or "mapped by N" (node N's table entry).
    std::string seenBy;
};

// One thing wrong in the network. kind is one of the kinds below; area is 1 or 2, or 0 when the
// finding is not about one area.
struct NetworkFinding {
    std::string kind;
    bool error = true;
    std::vector<int> nodes;
    int area = 0;
    std::vector<WordRange> ranges;
    std::string text;
    int messageId = 0;  // page findings: the string id of the refusal
};

// The checks across the nodes of a network: each node's own page checks, and whether the nodes'
// sending areas and their mapping tables fit together.
class CNetworkCheck {
public:
    static constexpr const char* kFile = "file";
    static constexpr const char* kPage = "page";
    static constexpr const char* kDuplicateNode = "duplicate-node";
    static constexpr const char* kOverlap = "overlap";
    static constexpr const char* kMismatch = "mismatch";
    static constexpr const char* kUnknownNode = "unknown-node";
    static constexpr const char* kNotReceived = "not-received";
    static constexpr const char* kTooManySenders = "too-many-senders";
    static constexpr const char* kIpConflict = "ip-conflict";

    std::vector<NetworkFinding> Run(const CNetworkPlan& plan);

    // The first refusal of the checks a transfer runs on these settings (the ones
    // `linksmithctl validate` runs): message id and text; id 0 when they pass.
    static int PageCheck(const CUnitSettings& record, std::string& text);

private:
    void Duplicates(const CNetworkPlan& plan);
    void Files(const CNetworkPlan& plan);
    void Pages(const CNetworkPlan& plan);
    void Overlaps(const CNetworkPlan& plan);
    void IpConflicts(const CNetworkPlan& plan);
    void TooManySenders(const CNetworkPlan& plan);
    void Tables(const CNetworkPlan& plan);

    std::vector<NetworkFinding> m_findings;
};
