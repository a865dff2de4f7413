#include "network/CommonMemoryMap.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "model/Messages.h"
#include "model/TextCodec.h"
#include "model/UnitSettings.h"
#include "network/NetworkPlan.h"

namespace {

constexpr double kMargin = 12;
constexpr double kTitleHeight = 28;
constexpr double kBarTitleHeight = 20;
constexpr double kLaneHeight = 22;
constexpr double kTickLabelHeight = 16;
constexpr double kMarkHeight = 14;
constexpr double kAreaGap = 18;
constexpr double kLegendHeight = 20;
// A label is drawn only where it fits; about this wide per digit at the picture's font size.
constexpr double kCharWidth = 7;

std::string WordsText(int first, int last) {
    return FormatLocalText("ﾜｰﾄﾞ%1～%2 (%3ﾜｰﾄﾞ)",
                           {std::to_string(first), std::to_string(last), std::to_string(last - first + 1)});
}

// Lanes for ranges sorted by first word: each goes into the first lane free at its start.
template <class Item>
int AssignLanes(std::vector<Item*>& items) {
    std::sort(items.begin(), items.end(), [](const Item* a, const Item* b) {
        return a->first != b->first ? a->first < b->first : a->last < b->last;
    });
    std::vector<int> laneEnd;
    for (Item* item : items) {
        size_t lane = 0;
        while (lane < laneEnd.size() && laneEnd[lane] >= item->first) ++lane;
        if (lane == laneEnd.size()) laneEnd.push_back(item->last);
        laneEnd[lane] = item->last;
        item->lane = static_cast<int>(lane);
    }
    return static_cast<int>(laneEnd.size());
}

struct LanedMark {
    MapMark* mark;
    int first;
    int last;
    int lane = 0;
};

std::string Number(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", v);
    return buffer;
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default:
            // Control characters are not allowed in XML 1.0 (a node name could hold one).
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n')
                out += ' ';
            else
                out += c;
        }
    }
    return out;
}

std::string RectAttributes(const MapRect& r) {
    return "x=\"" + Number(r.x) + "\" y=\"" + Number(r.y) + "\" width=\"" + Number(r.w) + "\" height=\"" +
           Number(r.h) + "\"";
}

std::string TextElement(const MapText& t, const std::string& cls) {
    return "<text class=\"" + cls + "\" x=\"" + Number(t.x) + "\" y=\"" + Number(t.y) + "\" text-anchor=\"" + t.anchor +
           "\"" + (t.bold ? " font-weight=\"bold\"" : "") + ">" + Escaped(t.text) + "</text>\n";
}

}  // namespace

void CCommonMemoryMap::Build(const CNetworkPlan& plan, const std::vector<NetworkFinding>& findings, double width) {
    m_width = std::max(width, 200.0);
    m_bars.clear();
    m_blocks.clear();
    m_zones.clear();
    m_marks.clear();
    m_legend.clear();
    m_swatches.clear();
    m_title = {kMargin, 20,
               plan.file.name.empty() ? LocalText("ｺﾓﾝﾒﾓﾘ") : FormatLocalText("%1 - ｺﾓﾝﾒﾓﾘ", {plan.file.name}), "start",
               true};

    // What the findings say about each block, and the mapped ranges that differ from it.
    std::map<std::pair<int, int>, bool> overlapping, mismatched;
    for (const auto& f : findings) {
        if (f.kind == CNetworkCheck::kOverlap && f.ranges.size() == 2) {
            const WordRange& a = f.ranges[0];
            const WordRange& b = f.ranges[1];
            overlapping[{a.node, a.area}] = overlapping[{b.node, b.area}] = true;
            m_zones.push_back({f.area, std::max(a.first, b.first), std::min(a.last, b.last), {}});
        } else if (f.kind == CNetworkCheck::kMismatch && f.error && f.nodes.size() == 2 && f.area) {
            const int by = f.nodes[0];
            const int of = f.nodes[1];
            mismatched[{of, f.area}] = true;
            const WordRange* sent = nullptr;
            const WordRange* mapped = nullptr;
            for (const auto& r : f.ranges) (r.seenBy == "sends" ? sent : mapped) = &r;
            if (!mapped) continue;
            MapMark m;
            m.area = f.area;
            m.byNode = by;
            m.ofNode = of;
            m.first = mapped->first;
            m.last = mapped->last;
            m.label = std::to_string(by) + "→" + std::to_string(of);
            m.tip = FormatLocalText("ﾉｰﾄﾞ%1の割付ﾃｰﾌﾞﾙ: ﾉｰﾄﾞ%2 %3 / ﾉｰﾄﾞ%2の送信: %4",
                                    {std::to_string(by), std::to_string(of), WordsText(m.first, m.last),
                                     sent ? WordsText(sent->first, sent->last) : std::string(LocalText("なし"))});
            m_marks.push_back(m);
        }
    }

    for (const auto& n : plan.nodes) {
        if (!n.Readable()) continue;
        const std::string name = n.NodeName();
        for (int area = 1; area <= 2; ++area) {
            const SendArea s = n.Sending(area);
            if (!s.Sends()) continue;
            MapBlock b;
            b.node = n.Number();
            b.area = area;
            b.first = s.start;
            b.last = s.Last();
            b.label = std::to_string(n.Number());
            b.overlap = overlapping.count({b.node, area}) > 0;
            b.mismatch = mismatched.count({b.node, area}) > 0;
            b.tip = FormatLocalText("ﾉｰﾄﾞ%1 領域%2 %3", {b.label + (name.empty() ? "" : " " + name),
                                                          std::to_string(area), WordsText(b.first, b.last)}) +
                    (b.overlap ? LocalText(" 重複あり") : "") + (b.mismatch ? LocalText(" 割付の不一致あり") : "");
            m_blocks.push_back(b);
        }
    }

    const double left = kMargin;
    const double usable = m_width - 2 * kMargin;
    double y = kTitleHeight;
    for (int area = 1; area <= 2; ++area) {
        const int words = area == 1 ? kCommonArea1Words : kCommonArea2Words;
        // A range past the end of the area (a file read with bad values) is drawn up to the end.
        auto xOf = [&](int word) { return left + usable * std::clamp(word, 0, words) / words; };

        std::vector<MapBlock*> blocks;
        for (auto& b : m_blocks)
            if (b.area == area) blocks.push_back(&b);
        const int lanes = std::max(1, AssignLanes(blocks));

        MapBar bar;
        bar.area = area;
        bar.words = words;
        bar.lanes = lanes;
        bar.title = {left, y + 14,
                     FormatLocalText("ｺﾓﾝﾒﾓﾘ領域%1 (%2ﾜｰﾄﾞ)", {std::to_string(area), std::to_string(words)}), "start",
                     true};
        y += kBarTitleHeight;
        bar.rect = {left, y, usable, lanes * kLaneHeight};
        for (int q = 0; q <= 4; ++q) {
            const int word = words * q / 4;
            bar.tickX.push_back(xOf(word));
            bar.tickLabels.push_back({xOf(word), y + bar.rect.h + 12, std::to_string(word),
                                      q == 0 ? "start" : (q == 4 ? "end" : "middle"), false});
        }
        for (MapBlock* b : blocks) {
            const double x0 = xOf(b->first);
            // At least two pixels, so a one-word block in area 2 is still seen.
            const double w = std::max(2.0, xOf(b->last + 1) - x0);
            b->rect = {x0, y + b->lane * kLaneHeight + 2, w, kLaneHeight - 4};
        }
        for (auto& z : m_zones)
            if (z.area == area) z.rect = {xOf(z.first), y, std::max(2.0, xOf(z.last + 1) - xOf(z.first)), bar.rect.h};
        y += bar.rect.h + kTickLabelHeight;

        std::vector<LanedMark> laned;
        for (auto& m : m_marks)
            if (m.area == area) laned.push_back({&m, m.first, m.last});
        std::vector<LanedMark*> order;
        for (auto& l : laned) order.push_back(&l);
        const int markLanes = AssignLanes(order);
        for (auto& l : laned) {
            const double x0 = xOf(l.first);
            l.mark->rect = {x0, y + l.lane * kMarkHeight + 1, std::max(2.0, xOf(l.last + 1) - x0), kMarkHeight - 2};
        }
        y += markLanes * kMarkHeight + kAreaGap;
        m_bars.push_back(bar);
    }

    // The legend: what each colour means.
    const std::pair<const char*, const char*> legend[] = {
        {kBlockFill, LocalText("送信領域 (ﾉｰﾄﾞ番号)")},
        {kOverlapFill, LocalText("重複")},
        {kMarkFill, LocalText("割付の不一致 (割付ﾉｰﾄﾞ→送信ﾉｰﾄﾞ)")}};
    double x = left;
    for (const auto& [fill, text] : legend) {
        m_swatches.push_back({{x, y, 12, 12}, fill});
        m_legend.push_back({x + 16, y + 10, text, "start", false});
        x += 16 + TextWidth(text) + 24;
    }
    m_height = y + kLegendHeight;
}

double CCommonMemoryMap::TextWidth(const std::string& text) {
    // One byte of Shift_JIS is about one cell of the font: half-width forms one, kanji two.
    return kCharWidth * static_cast<double>(Utf8ToCp932(text).size());
}

bool CCommonMemoryMap::LabelFits(const MapRect& r, const std::string& label) {
    return r.w >= TextWidth(label) + 4;
}

const MapBlock* CCommonMemoryMap::BlockAt(double x, double y) const {
    for (const auto& b : m_blocks)
        if (b.rect.Contains(x, y)) return &b;
    return nullptr;
}

const MapMark* CCommonMemoryMap::MarkAt(double x, double y) const {
    for (const auto& m : m_marks)
        if (m.rect.Contains(x, y)) return &m;
    return nullptr;
}

std::string CCommonMemoryMap::ToSvg() const {
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Number(m_width) + "\" height=\"" + Number(m_height) +
           "\" viewBox=\"0 0 " + Number(m_width) + " " + Number(m_height) +
           "\" font-family=\"sans-serif\" font-size=\"11\">\n";
    svg += "<title>" + Escaped(m_title.text) + "</title>\n";
    svg += "<rect class=\"background\" x=\"0\" y=\"0\" width=\"" + Number(m_width) + "\" height=\"" +
           Number(m_height) + "\" fill=\"#ffffff\"/>\n";
    svg += TextElement(m_title, "title");
    for (const auto& bar : m_bars) {
        svg += "<g class=\"area\" id=\"area" + std::to_string(bar.area) + "\" data-words=\"" +
               std::to_string(bar.words) + "\">\n";
        svg += TextElement(bar.title, "bar-title");
        svg += "<rect class=\"bar\" " + RectAttributes(bar.rect) + " fill=\"" + kBarFill + "\" stroke=\"" + kBarLine +
               "\"/>\n";
        for (double tx : bar.tickX)
            svg += "<line class=\"tick\" x1=\"" + Number(tx) + "\" y1=\"" + Number(bar.rect.y) + "\" x2=\"" +
                   Number(tx) + "\" y2=\"" + Number(bar.rect.y + bar.rect.h + 3) + "\" stroke=\"" + kBarLine +
                   "\" stroke-dasharray=\"2,2\"/>\n";
        for (const auto& t : bar.tickLabels) svg += TextElement(t, "tick-label");
        for (const auto& z : m_zones)
            if (z.area == bar.area)
                svg += "<rect class=\"overlap-zone\" " + RectAttributes(z.rect) + " fill=\"" + kZoneFill + "\"/>\n";
        for (const auto& b : m_blocks) {
            if (b.area != bar.area) continue;
            svg += "<g class=\"block" + std::string(b.overlap ? " overlap" : "") + (b.mismatch ? " mismatch" : "") +
                   "\" data-node=\"" + std::to_string(b.node) + "\" data-first=\"" + std::to_string(b.first) +
                   "\" data-last=\"" + std::to_string(b.last) + "\">\n";
            svg += "<title>" + Escaped(b.tip) + "</title>\n";
            svg += "<rect " + RectAttributes(b.rect) + " fill=\"" + BlockFill(b) + "\" stroke=\"" + BlockLine(b) +
                   "\" stroke-width=\"" + (b.mismatch ? "2.5" : "1") + "\"/>\n";
            if (LabelFits(b.rect, b.label))
                svg += TextElement({b.rect.x + b.rect.w / 2, b.rect.y + b.rect.h / 2 + 4, b.label, "middle", false},
                                   "block-label");
            svg += "</g>\n";
        }
        for (const auto& m : m_marks) {
            if (m.area != bar.area) continue;
            svg += "<g class=\"mark\" data-by=\"" + std::to_string(m.byNode) + "\" data-node=\"" +
                   std::to_string(m.ofNode) + "\" data-first=\"" + std::to_string(m.first) + "\" data-last=\"" +
                   std::to_string(m.last) + "\">\n";
            svg += "<title>" + Escaped(m.tip) + "</title>\n";
            svg += "<rect " + RectAttributes(m.rect) + " fill=\"" + kMarkFill + "\" stroke=\"" + kMismatchLine +
                   "\"/>\n";
            if (LabelFits(m.rect, m.label))
                svg += TextElement({m.rect.x + m.rect.w / 2, m.rect.y + m.rect.h - 3, m.label, "middle", false},
                                   "mark-label");
            svg += "</g>\n";
        }
        svg += "</g>\n";
    }
    for (size_t i = 0; i < m_swatches.size(); ++i) {
        svg += "<rect class=\"swatch\" " + RectAttributes(m_swatches[i].first) + " fill=\"" + m_swatches[i].second +
               "\" stroke=\"" + kBarLine + "\"/>\n";
        if (i < m_legend.size()) svg += TextElement(m_legend[i], "legend");
    }
    svg += "</svg>\n";
    return svg;
}
