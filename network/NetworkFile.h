#pragma once
#include <cstdint>
#include <string>
#include <vector>

constexpr int kLowestNodeNumber = 1;
constexpr int kHighestNodeNumber = 254;

// One [[node]] table of a network file. The optional connection values are empty (unit -1)
// when the file does not give them; the node's settings file then supplies them.
struct NetworkNodeEntry {
    int number = 0;
    std::string file;  // as written, relative to the network file's folder
    std::string path;  // resolved
    std::string device;
    std::string gateway;
    int unit = -1;
    bool hasDevice = false;
    bool hasGateway = false;
    int line = 0;  // of the [[node]] header
};

// A fault or a warning of a network file, with the line it is on (0: the file as a whole) and
// the node it concerns (0: none).
struct NetworkFileProblem {
    bool error = true;
    int line = 0;
    int node = 0;
    bool duplicateNode = false;  // the only error after which the nodes can still be looked at
    std::string text;
};

// The network file: a TOML file naming the network and, one [[node]] table each, the FL-net nodes
// with their settings files. Reading never throws; every fault is a problem with its line.
class CNetworkFile {
public:
    // Reads path; false when it cannot be read or holds an error (then see Problems()).
    // Settings files named must exist unless checkFiles is false (the fuzz target, tests).
    bool Read(const std::string& path, bool checkFiles = true);
    // The same from text; folder is the one the settings file names are relative to.
    bool Parse(const std::string& text, const std::string& folder, bool checkFiles = true);
    // The file's text for what it holds now (the optional values only where they were given).
    std::string ToToml() const;

    std::string name;
    std::string sourcePath;
    std::vector<NetworkNodeEntry> nodes;

    const std::vector<NetworkFileProblem>& Problems() const { return m_problems; }
    bool HasErrors() const;
    // True when every error is a repeated node number (check can still show the network).
    bool OnlyDuplicateErrors() const;
    // "FILE:LINE: node N: text" per problem, as the command line prints them.
    std::string ProblemLine(const NetworkFileProblem& p) const;

private:
    void Problem(bool error, int line, int node, const std::string& text, bool duplicate = false);

    std::vector<NetworkFileProblem> m_problems;
};
