#pragma once
#include <string>
#include <vector>

class CCommuProcess;

// What a command sequence that stopped reports, alike in linksmithctl and in the node rows of a
// whole-network run: the string id of its message (0 for the tool's own English texts), the
// message's text, the end code or middleware code the message is about ("0x%.4x"; empty when
// none), and the exit status the command line ends with.
struct CommandFailure {
    int exitCode = 2;
    int id = 0;
    std::string text;
    std::string code;
};

// The failure the communication object reported last, when there is one: exit 3 for the
// exchange (middleware, time-out, unusable reply), 4 for a failure end code, 2 when no command
// could be built. Otherwise a refusal (exit 2): the message the sequence showed last (shownId with
// its inserts; 0: none), or ownText when it is given or nothing was shown. comm may be null (no
// connection was made).
CommandFailure DescribeFailure(const CCommuProcess* comm, int shownId, const std::vector<std::string>& shownInserts,
                               const std::string& ownText = std::string());
