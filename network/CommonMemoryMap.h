#pragma once
#include <string>
#include <vector>

#include "network/NetworkCheck.h"

class CNetworkPlan;

struct MapRect {
    double x = 0;
    double y = 0;
    double w = 0;
    double h = 0;
    bool Contains(double px, double py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// A text of the picture; anchor "start", "middle" or "end" of the x given.
struct MapText {
    double x = 0;
    double y = 0;  // baseline
    std::string text;
    std::string anchor = "start";
    bool bold = false;
};

// One common memory area drawn as a bar, words 0 to words - 1 from left to right.
struct MapBar {
    int area = 0;
    int words = 0;
    MapRect rect;  // the whole bar, every lane
    int lanes = 1;
    MapText title;
    std::vector<double> tickX;  // grid lines at the tick words
    std::vector<MapText> tickLabels;
};

// The part of an area one node sends. Blocks that overlap are put in lanes of their own, so
// each stays visible; overlap marks those in an overlap finding, mismatch those that another
// node's table maps differently.
struct MapBlock {
    int node = 0;
    int area = 0;
    int first = 0;
    int last = 0;
    int lane = 0;
    MapRect rect;
    std::string label;  // the node number
    std::string tip;    // node, name and words
    bool overlap = false;
    bool mismatch = false;
};

// Words two nodes both send, drawn across the bar behind the blocks.
struct MapZone {
    int area = 0;
    int first = 0;
    int last = 0;
    MapRect rect;
};

// A mapping table entry that does not repeat what its node sends: node byNode maps node ofNode
// at words first to last. Drawn in a strip under its bar.
struct MapMark {
    int area = 0;
    int byNode = 0;
    int ofNode = 0;
    int first = 0;
    int last = 0;
    MapRect rect;
    std::string label;  // "by→of"
    std::string tip;
};

// The picture of a network's common memory: area 1 (512 words) and area 2 (8192 words) as bars,
// each node's sending part a labelled block, overlaps and mismatched mappings marked. Only
// geometry and colours; the network window paints it and ToSvg writes it for documents, so
// both show the same thing.
class CCommonMemoryMap {
public:
    static constexpr const char* kBarFill = "#f4f4f4";
    static constexpr const char* kBarLine = "#808080";
    static constexpr const char* kBlockFill = "#8fb8de";
    static constexpr const char* kBlockLine = "#1f4e79";
    static constexpr const char* kOverlapFill = "#e03030";
    static constexpr const char* kZoneFill = "#ffb0b0";
    static constexpr const char* kMismatchLine = "#e07000";
    static constexpr const char* kMarkFill = "#ffc870";
    static constexpr const char* kTextColour = "#000000";

    // Lays the picture out for this width (pixels); findings from CNetworkCheck on the plan.
    void Build(const CNetworkPlan& plan, const std::vector<NetworkFinding>& findings, double width = 800);

    double Width() const { return m_width; }
    double Height() const { return m_height; }
    const MapText& Title() const { return m_title; }
    const std::vector<MapBar>& Bars() const { return m_bars; }
    const std::vector<MapBlock>& Blocks() const { return m_blocks; }
    const std::vector<MapZone>& Zones() const { return m_zones; }
    const std::vector<MapMark>& Marks() const { return m_marks; }
    const std::vector<MapText>& Legend() const { return m_legend; }
    // The legend's colour swatches, one before each legend text, with their fill.
    const std::vector<std::pair<MapRect, std::string>>& Swatches() const { return m_swatches; }

    static const char* BlockFill(const MapBlock& b) { return b.overlap ? kOverlapFill : kBlockFill; }
    static const char* BlockLine(const MapBlock& b) { return b.mismatch ? kMismatchLine : kBlockLine; }

    // About how wide a text is drawn at the picture's font size; a block or mark label is drawn
    // only where it fits.
    static double TextWidth(const std::string& text);
    static bool LabelFits(const MapRect& r, const std::string& label);

    // The block or mark under a point (the window's tool tips), or null.
    const MapBlock* BlockAt(double x, double y) const;
    const MapMark* MarkAt(double x, double y) const;

    // The picture as a standalone SVG document (UTF-8).
    std::string ToSvg() const;

private:
    double m_width = 0;
    double m_height = 0;
    MapText m_title;
    std::vector<MapBar> m_bars;
    std::vector<MapBlock> m_blocks;
    std::vector<MapZone> m_zones;
    std::vector<MapMark> m_marks;
    std::vector<MapText> m_legend;
    std::vector<std::pair<MapRect, std::string>> m_swatches;
};
