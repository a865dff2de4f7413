#include "network/NetworkFile.h"

#include <filesystem>
#include <set>
#include <sstream>

#include <toml++/toml.h>

#include "model/FileIo.h"

namespace {

int LineOf(const toml::node& node) {
    return static_cast<int>(node.source().begin.line);
}

std::string TypeName(const toml::node& node) {
    switch (node.type()) {
    case toml::node_type::string: return "a string";
    case toml::node_type::integer: return "an integer";
    case toml::node_type::floating_point: return "a number with a fraction";
    case toml::node_type::boolean: return "true or false";
    case toml::node_type::table: return "a table";
    case toml::node_type::array: return "an array";
    default: return "a date or time";
    }
}

}  // namespace

void CNetworkFile::Problem(bool error, int line, int node, const std::string& text, bool duplicate) {
    m_problems.push_back({error, line, node, duplicate, text});
}

bool CNetworkFile::HasErrors() const {
    for (const auto& p : m_problems)
        if (p.error) return true;
    return false;
}

bool CNetworkFile::OnlyDuplicateErrors() const {
    bool any = false;
    for (const auto& p : m_problems) {
        if (!p.error) continue;
        if (!p.duplicateNode) return false;
        any = true;
    }
    return any;
}

std::string CNetworkFile::ProblemLine(const NetworkFileProblem& p) const {
    std::string s = sourcePath.empty() ? std::string("network file") : sourcePath;
    if (p.line > 0) s += ":" + std::to_string(p.line);
    s += ": ";
    if (!p.error) s += "warning: ";
    if (p.node > 0) s += "node " + std::to_string(p.node) + ": ";
    return s + p.text;
}

bool CNetworkFile::Read(const std::string& path, bool checkFiles) {
    sourcePath = path;
    std::string text;
    if (!ReadWholeFile(path, text)) {
        name.clear();
        nodes.clear();
        m_problems.clear();
        Problem(true, 0, 0, "cannot be read");
        return false;
    }
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return Parse(text, folder, checkFiles);
}

bool CNetworkFile::Parse(const std::string& text, const std::string& folder, bool checkFiles) {
    name.clear();
    nodes.clear();
    m_problems.clear();

    toml::table root;
    // The library reports a syntax fault by throwing; it ends here as a problem with its line.
    try {
        root = toml::parse(text);
    } catch (const toml::parse_error& e) {
        Problem(true, static_cast<int>(e.source().begin.line), 0,
                "not a TOML file: " + std::string(e.description()));
        return false;
    } catch (const std::exception& e) {
        Problem(true, 0, 0, std::string("not a TOML file: ") + e.what());
        return false;
    }

    for (const auto& [key, value] : root) {
        const std::string k(key.str());
        if (k == "name") {
            if (const auto* s = value.as_string())
                name = s->get();
            else
                Problem(true, LineOf(value), 0, "name must be a string, not " + TypeName(value));
        } else if (k != "node") {
            Problem(false, LineOf(value), 0, "unknown key \"" + k + "\" ignored");
        }
    }
    if (!root.contains("name")) Problem(false, 0, 0, "no network name (name = \"...\")");

    const toml::node* nodeList = root.get("node");
    const toml::array* array = nodeList ? nodeList->as_array() : nullptr;
    if (nodeList && (!array || !array->is_array_of_tables())) {
        Problem(true, LineOf(*nodeList), 0, "node must be a list of [[node]] tables");
        array = nullptr;
    }
    if (!nodeList) Problem(false, 0, 0, "no [[node]] table: the network is empty");

    std::set<std::string> knownKeys = {"number", "file", "device", "gateway", "unit"};
    if (array) {
        for (const toml::node& element : *array) {
            const toml::table& t = *element.as_table();
            NetworkNodeEntry n;
            n.line = LineOf(t);
            bool ok = true;
            // The number first, so every later fault of this table can name the node.
            if (const toml::node* v = t.get("number")) {
                if (const auto* i = v->as_integer()) {
                    const int64_t number = i->get();
                    if (number < kLowestNodeNumber || number > kHighestNodeNumber) {
                        Problem(true, LineOf(*v), 0,
                                "node number " + std::to_string(number) + " is out of range 1 to 254");
                        ok = false;
                    } else {
                        n.number = static_cast<int>(number);
                    }
                } else {
                    Problem(true, LineOf(*v), 0, "number must be an integer, not " + TypeName(*v));
                    ok = false;
                }
            } else {
                Problem(true, n.line, 0, "[[node]] without a number");
                ok = false;
            }
            for (const auto& [key, value] : t) {
                const std::string k(key.str());
                if (!knownKeys.count(k)) {
                    Problem(false, LineOf(value), n.number, "unknown key \"" + k + "\" ignored");
                    continue;
                }
                if (k == "number") continue;
                if (k == "unit") {
                    const auto* i = value.as_integer();
                    if (!i) {
                        Problem(true, LineOf(value), n.number, "unit must be an integer, not " + TypeName(value));
                        ok = false;
                    } else if (i->get() < 0 || i->get() > 15) {
                        Problem(true, LineOf(value), n.number,
                                "unit number " + std::to_string(i->get()) + " is out of range 0 to 15");
                        ok = false;
                    } else {
                        n.unit = static_cast<int>(i->get());
                    }
                    continue;
                }
                const auto* s = value.as_string();
                if (!s) {
                    Problem(true, LineOf(value), n.number, k + " must be a string, not " + TypeName(value));
                    ok = false;
                    continue;
                }
                if (k == "file") {
                    n.file = s->get();
                } else if (k == "device") {
                    n.device = s->get();
                    n.hasDevice = true;
                } else {
                    n.gateway = s->get();
                    n.hasGateway = true;
                }
            }
            if (!t.contains("file")) {
                Problem(true, n.line, n.number, "no settings file (file = \"...\")");
                ok = false;
            } else if (n.file.empty() && t.get("file")->is_string()) {
                Problem(true, LineOf(*t.get("file")), n.number, "the settings file name is empty");
                ok = false;
            }
            if (!ok) continue;
            const std::filesystem::path written(n.file);
            n.path = (written.is_absolute() || folder.empty() ? written : std::filesystem::path(folder) / written)
                         .lexically_normal()
                         .string();
            nodes.push_back(std::move(n));
        }
    }

    // Repeats: a node number twice, or one settings file for two nodes (each node's table leaves
    // out the node itself, so two nodes can never share one).
    for (size_t i = 0; i < nodes.size(); ++i) {
        for (size_t j = 0; j < i; ++j) {
            if (nodes[j].number == nodes[i].number) {
                Problem(true, nodes[i].line, nodes[i].number,
                        "node number repeated (first at line " + std::to_string(nodes[j].line) + ")", true);
                break;
            }
        }
        for (size_t j = 0; j < i; ++j) {
            if (nodes[j].path == nodes[i].path) {
                Problem(true, nodes[i].line, nodes[i].number,
                        "settings file \"" + nodes[i].file + "\" is also node " + std::to_string(nodes[j].number) +
                            "'s (line " + std::to_string(nodes[j].line) + ")");
                break;
            }
        }
        if (checkFiles) {
            std::error_code ec;
            if (!std::filesystem::exists(nodes[i].path, ec))
                Problem(true, nodes[i].line, nodes[i].number, "settings file \"" + nodes[i].file + "\" not found");
        }
    }
    return !HasErrors();
}

std::string CNetworkFile::ToToml() const {
    toml::table root;
    root.insert("name", name);
    toml::array list;
    for (const auto& n : nodes) {
        toml::table t;
        t.insert("number", n.number);
        t.insert("file", n.file);
        if (n.hasDevice) t.insert("device", n.device);
        if (n.hasGateway) t.insert("gateway", n.gateway);
        if (n.unit >= 0) t.insert("unit", n.unit);
        list.push_back(std::move(t));
    }
    root.insert("node", std::move(list));
    std::ostringstream out;
    out << root << "\n";
    return out.str();
}
