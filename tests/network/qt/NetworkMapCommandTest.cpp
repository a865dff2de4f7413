#include <gtest/gtest.h>

#include <QFile>
#include <QXmlStreamReader>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "cli/Cli.h"
#include "tests/network/NetworkTestFiles.h"

namespace {

struct SvgBlock {
    int area = 0;
    int node = 0;
    bool overlap = false;
    std::string fill;
    std::string label;
};

// What the picture holds, read back as any SVG reader would: each block with its area and
// node, the mismatch marks and whether the document is well-formed.
struct SvgPicture {
    bool wellFormed = false;
    std::string root;
    std::vector<SvgBlock> blocks;
    std::vector<std::pair<int, int>> marks;  // (by, of)

    std::set<int> Nodes(int area) const {
        std::set<int> nodes;
        for (const auto& b : blocks)
            if (b.area == area) nodes.insert(b.node);
        return nodes;
    }
    const SvgBlock* Block(int area, int node) const {
        for (const auto& b : blocks)
            if (b.area == area && b.node == node) return &b;
        return nullptr;
    }
};

SvgPicture ReadSvg(const std::string& path) {
    SvgPicture picture;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return picture;
    QXmlStreamReader xml(&file);
    int area = 0;
    SvgBlock* block = nullptr;
    bool inLabel = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QString name = xml.name().toString();
            const auto attr = xml.attributes();
            const QString cls = attr.value("class").toString();
            if (picture.root.empty()) picture.root = name.toStdString();
            if (name == "g" && cls == "area") area = attr.value("id").toString().mid(4).toInt();
            if (name == "g" && cls.split(' ').contains("block")) {
                picture.blocks.push_back({area, attr.value("data-node").toInt(), cls.split(' ').contains("overlap"), "", ""});
                block = &picture.blocks.back();
            }
            if (name == "g" && cls == "mark")
                picture.marks.push_back({attr.value("data-by").toInt(), attr.value("data-node").toInt()});
            if (name == "rect" && block) block->fill = attr.value("fill").toString().toStdString();
            inLabel = name == "text" && cls == "block-label";
        } else if (xml.isCharacters() && inLabel && block) {
            block->label += xml.text().toString().toStdString();
        } else if (xml.isEndElement()) {
            inLabel = false;
            if (xml.name() == QLatin1String("g") && block) block = nullptr;
        }
    }
    picture.wellFormed = !xml.hasError();
    return picture;
}

int Map(const std::vector<std::string>& args, std::string* out = nullptr, std::string* err = nullptr) {
    std::vector<std::string> all = {"linksmithctl", "network", "map"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<const char*> argv;
    for (const auto& a : all) argv.push_back(a.c_str());
    std::ostringstream o, e;
    const int status = RunCli(static_cast<int>(argv.size()), argv.data(), o, e);
    if (out) *out = o.str();
    if (err) *err = e.str();
    return status;
}

// The example network: nodes 1 to 5 send in both areas, node 10 in area 1 only, node 8 nothing.
TEST(NetworkMapCommandTest, SvgHasABlockPerSendingNodeAndArea) {
    NetworkFolder net;
    const std::string svg = net.Path("map.svg");
    std::string out;
    ASSERT_EQ(Map({net.net, "--svg", svg}, &out), 0);
    EXPECT_EQ(out, svg + ": 11 block(s), 0 overlapping, 0 mismatched mapping(s)\n");
    const SvgPicture picture = ReadSvg(svg);
    ASSERT_TRUE(picture.wellFormed);
    EXPECT_EQ(picture.root, "svg");
    EXPECT_EQ(picture.Nodes(1), (std::set<int>{1, 2, 3, 4, 5, 10}));
    EXPECT_EQ(picture.Nodes(2), (std::set<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(picture.blocks.size(), 11u);
    for (const auto& b : picture.blocks) {
        EXPECT_FALSE(b.overlap) << b.node;
        EXPECT_NE(b.fill, "#e03030") << b.node;
    }
    // Area 1's blocks of 16 and 32 words carry their number; area 2's 100 words of 8192 are
    // too narrow for one (the title names the node).
    ASSERT_NE(picture.Block(1, 10), nullptr);
    EXPECT_EQ(picture.Block(1, 10)->label, "10");
    EXPECT_EQ(picture.Block(1, 3)->label, "3");
    EXPECT_EQ(picture.Block(2, 3)->label, "");
    EXPECT_TRUE(picture.marks.empty());
}

// Node 3 moved its area-1 part onto node 2's: both blocks red, and every table that still maps
// node 3 at its old words is marked.
TEST(NetworkMapCommandTest, OverlapIsRedAndStaleMappingsAreMarked) {
    NetworkFolder net;
    net.Change("welder.lsm", [](SettingsImage& pc) { pc.localArea1ComStart = 20; });
    const std::string svg = net.Path("map.svg");
    ASSERT_EQ(Map({net.net, "--svg", svg}), 0);
    const SvgPicture picture = ReadSvg(svg);
    ASSERT_TRUE(picture.wellFormed);
    for (const auto& b : picture.blocks) {
        const bool expected = b.area == 1 && (b.node == 2 || b.node == 3);
        EXPECT_EQ(b.overlap, expected) << "area " << b.area << " node " << b.node;
        EXPECT_EQ(b.fill == "#e03030", expected) << "area " << b.area << " node " << b.node;
    }
    std::set<int> mapping;
    for (const auto& [by, of] : picture.marks) {
        EXPECT_EQ(of, 3);
        mapping.insert(by);
    }
    // Every node but 3 itself maps node 3 (the panel node 8 included).
    EXPECT_EQ(mapping, (std::set<int>{1, 2, 4, 5, 8, 10}));
}

TEST(NetworkMapCommandTest, UnusableNetworkOrOutputWritesNothing) {
    NetworkFolder net;
    net.WriteNet("name = \"x\"\n[[node]]\nnumber = 300\nfile = \"press.lsm\"\n");
    const std::string svg = net.Path("map.svg");
    std::string err;
    EXPECT_EQ(Map({net.net, "--svg", svg}, nullptr, &err), 2);
    EXPECT_NE(err.find("line1.toml:3: node number 300"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(svg));

    NetworkFolder good("-good");
    EXPECT_EQ(Map({good.net, "--svg", good.Path("missing-folder/map.svg")}, nullptr, &err), 2);
    EXPECT_NE(err.find("cannot be written"), std::string::npos);
}

}  // namespace
