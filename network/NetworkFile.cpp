#include "network/NetworkFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>

// The parser's consistency checks (toml++ 3.3) do not hold for some malformed input that it then reports
// as an error all the same: a debug build would abort on them, and with NDEBUG clang takes them as
// facts to optimise on. Off, as in the packaged library (built by GCC, which takes no such facts).
#undef NDEBUG
#undef TOML_ASSERT
#define TOML_ASSERT(expr) static_cast<void>(0)
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

// Decodes one UTF-8 character at text[i]; false for a malformed, overlong or surrogate one.
bool DecodeUtf8(const std::string& text, size_t& i, uint32_t& cp) {
    const auto byte = [&](size_t k) { return k < text.size() ? static_cast<unsigned char>(text[k]) : 0u; };
    const unsigned b0 = byte(i);
    int length = b0 >= 0xF0 && b0 <= 0xF4 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC2 && b0 < 0xE0 ? 2 : 0;
    if (b0 >= 0xF5 || length == 0) return false;
    cp = b0 & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        const unsigned b = byte(i + k);
        if ((b & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (b & 0x3F);
    }
    static const uint32_t lowest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < lowest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += static_cast<size_t>(length);
    return true;
}

// The parser (toml++ 3.3) reaches an unreachable branch when it asks whether some characters that are
// not ASCII (U+00A1 to U+0499, most of U+2D6E to U+3167, U+FC06 to U+FEFE) are white space, and
// it asks that of every character of a bare value and of the ones after a backslash. So it gets
// the text with every such character made ASCII, on the same lines: escaped in strings (a literal
// string becomes the basic string of the same text), a '?' in comments. Outside strings and
// comments TOML allows none: that, a backslash before one, text that is not UTF-8 or a NUL byte
// make the file unusable (the line and the reason in badLine and reason). A quote opens a string
// only where a key or a value may start; after a dot (a quoted part of a dotted key) only ASCII
// may follow, as no key of a network file needs more.
std::string AsciiForParser(const std::string& text, int& badLine, std::string& reason) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    int line = 1;
    size_t i = 0;
    const size_t n = text.size();
    char previous = '\n';  // the last character outside strings on this line, blanks left out
    auto at = [&](size_t k) { return k < n ? text[k] : '\0'; };
    auto fail = [&](const char* why) {
        badLine = line;
        reason = why;
        return std::string();
    };
    auto escape = [&](uint32_t cp) {
        char buffer[12];
        std::snprintf(buffer, sizeof buffer, cp <= 0xFFFF ? "\\u%04X" : "\\U%08X", static_cast<unsigned>(cp));
        out += buffer;
    };
    while (i < n) {
        const char c = text[i];
        if (c == '\0') return fail("a NUL byte");
        if (c == '\n') {
            ++line;
            previous = '\n';
            out += text[i++];
        } else if (c == ' ' || c == '\t' || c == '\r') {
            out += text[i++];
        } else if (c == '#') {
            while (i < n && text[i] != '\n') {
                uint32_t cp = 0;
                if (!(static_cast<unsigned char>(text[i]) & 0x80)) {
                    if (text[i] == '\0') return fail("a NUL byte");
                    out += text[i++];
                } else if (DecodeUtf8(text, i, cp)) {
                    out += '?';
                } else {
                    return fail("text that is not UTF-8");
                }
            }
        } else if ((c == '"' || c == '\'') && (previous == '\n' || previous == '=' || previous == '[' ||
                                              previous == '{' || previous == ',' || previous == '.')) {
            const bool asciiOnly = previous == '.';
            const bool multi = at(i + 1) == c && at(i + 2) == c;
            const std::string quotes(multi ? 3 : 1, '"');
            out += quotes;
            i += multi ? 3 : 1;
            while (i < n) {
                const char d = text[i];
                if (d == '\0') return fail("a NUL byte");
                if (d == c) {
                    size_t run = 0;
                    while (at(i + run) == c) ++run;
                    if (!multi || run >= 3) {
                        // Up to two quotes before the closing three belong to the text.
                        if (multi && run > 5) return fail("more than five quotes ending a string");
                        for (size_t extra = 0; multi && extra < run - 3; ++extra) out += c == '"' ? "\\\"" : "'";
                        out += quotes;
                        i += multi ? run : 1;
                        break;
                    }
                    for (size_t k = 0; k < run; ++k) out += c == '"' ? "\\\"" : "'";
                    i += run;
                } else if (d == '\\' && c == '"') {
                    if (static_cast<unsigned char>(at(i + 1)) & 0x80) return fail("a backslash before a character that is not ASCII");
                    out += d;
                    ++i;
                    if (i < n && text[i] != '\n') out += text[i++];
                } else if (d == '\\' || (d == '"' && c == '\'')) {
                    out += '\\';
                    out += text[i++];
                } else if (static_cast<unsigned char>(d) & 0x80) {
                    uint32_t cp = 0;
                    if (!DecodeUtf8(text, i, cp)) return fail("text that is not UTF-8");
                    if (asciiOnly) return fail("a character that is not ASCII in a key");
                    escape(cp);
                } else {
                    out += text[i++];
                    if (d == '\n') {
                        ++line;
                        if (!multi) {
                            previous = '\n';
                            break;
                        }
                    }
                }
            }
            if (previous != '\n') previous = c;
        } else if (static_cast<unsigned char>(c) & 0x80) {
            return fail("a character that is not ASCII outside a string or comment");
        } else {
            previous = c;
            out += text[i++];
        }
    }
    return out;
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
    // Paths are UTF-8 on every system (u8path: the wide name on Windows, the bytes on Linux).
    const std::string folder = std::filesystem::u8path(path).parent_path().u8string();
    return Parse(text, folder, checkFiles);
}

bool CNetworkFile::Parse(const std::string& text, const std::string& folder, bool checkFiles) {
    name.clear();
    nodes.clear();
    m_problems.clear();

    int badLine = 0;
    std::string reason;
    const std::string ascii = AsciiForParser(text, badLine, reason);
    if (badLine) {
        Problem(true, badLine, 0, "not a TOML file: " + reason);
        return false;
    }
    toml::table root;
    // The library reports a syntax fault by throwing; it ends here as a problem with its line.
    try {
        root = toml::parse(ascii);
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
    if (nodeList && (!array || (!array->empty() && !array->is_array_of_tables()))) {
        Problem(true, LineOf(*nodeList), 0, "node must be a list of [[node]] tables");
        array = nullptr;
    }
    if (!nodeList || (array && array->empty())) Problem(false, 0, 0, "no [[node]] table: the network is empty");

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
            const std::filesystem::path written = std::filesystem::u8path(n.file);
            n.path = (written.is_absolute() || folder.empty() ? written : std::filesystem::u8path(folder) / written)
                         .lexically_normal()
                         .u8string();
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
            if (!std::filesystem::exists(std::filesystem::u8path(nodes[i].path), ec))
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
    if (!list.empty()) root.insert("node", std::move(list));
    std::ostringstream out;
    // Basic strings only: the writer (toml++ 3.3) puts a text that starts with a line break into a
    // multi-line string, whose first line break a reader drops, and one with a line break but
    // nothing to escape into a one-line literal string, which no reader takes.
    const auto flags = toml::toml_formatter::default_flags & ~toml::format_flags::allow_multi_line_strings &
                       ~toml::format_flags::allow_literal_strings;
    out << toml::toml_formatter{root, flags} << "\n";
    return out.str();
}
