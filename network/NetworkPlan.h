#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/UnitSettings.h"
#include "network/NetworkFile.h"

// How a node's settings file was read.
enum class NodeReadState { Clean, Defaults, Unreadable };

// The part of one common memory area a node sends (its local node settings); size 0 sends nothing.
struct SendArea {
    int start = 0;
    int size = 0;
    bool Sends() const { return size > 0; }
    int Last() const { return start + size - 1; }
};

// One node of the network: its entry in the network file, its settings as read, and how to
// reach its unit. Each node owns its record, so work on one node never touches another's.
struct NetworkNode {
    NetworkNodeEntry entry;
    std::unique_ptr<CUnitSettings> record;
    NodeReadState readState = NodeReadState::Unreadable;
    std::string bytes;  // the settings file as read, to put back or compare with
    bool oldVersion = false;
    // Send area values of the unit area section, written back unchanged.
    int32_t carried[4] = {0, 0, 0, 0};
    // The connection: the network file's values, else the settings file's (device strings as
    // the record keeps them, Shift_JIS bytes).
    std::string device;
    std::string gateway;
    unsigned unit = 0;

    int Number() const { return entry.number; }
    bool Readable() const { return readState != NodeReadState::Unreadable; }
    SendArea Sending(int area) const;
    // The node name of its settings file, UTF-8 without the padding spaces; empty when unreadable.
    std::string NodeName() const;
};

// A network file with every node's settings file read: what check and sync work on, and what
// the operations on every unit take their targets from.
class CNetworkPlan {
public:
    // Reads the network file and then every node's settings file. False when the network file
    // itself has an error (see file.Problems()); nodes are read even then, as far as they are
    // named, when the only errors are repeated node numbers.
    bool Load(const std::string& networkPath);
    // Reads every node of file (after file was filled some other way).
    void LoadNodes();

    // The node with this number (the first, when repeated), or null.
    const NetworkNode* Find(int number) const;
    // The file's bytes for a record, with the node's carried values.
    static std::string Serialize(const NetworkNode& node, CUnitSettings& record);

    CNetworkFile file;
    std::vector<NetworkNode> nodes;

private:
    void ReadNode(NetworkNode& node);
    void Index();

    const NetworkNode* m_byNumber[kHighestNodeNumber + 1] = {};
};
