#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "status/CellGrid.h"
#include "status/StatusView.h"

// "ﾒｯｾｰｼﾞ通番ｽﾃｰﾀｽ": the sequence numbers of sent and received messages for every node.
class CMessageSequenceView : public CStatusView {
public:
    using Parameters = std::array<uint8_t, 4>;
    // read(a, b) sends the eight requests with parameters a[0..3] then b[0..3].
    using ReadFunction = std::function<bool(const Parameters& a, const Parameters& b)>;
    static constexpr int kRows = kSequenceNodes;
    static constexpr Parameters kSendParameters{1, 2, 3, 4};
    static constexpr Parameters kReceiveParameters{0x11, 0x12, 0x13, 0x14};

    CMessageSequenceView(CUnitSettings& settings, IPrompter& prompter, ReadFunction read);

    const CCellGrid& SendGrid() const { return m_send; }
    const CCellGrid& ReceiveGrid() const { return m_receive; }
    // "通番ﾊﾞｰｼﾞｮﾝ番号" and "通番(1：N送信)".
    const std::string& VersionText() const { return m_version; }
    const std::string& SendOneToNText() const { return m_sendOneToN; }

    static std::string SequenceText(uint32_t value);
    // The two fields, then one line per node with its send and receive numbers.
    std::string ToCsv() const override;

protected:
    void Layout() override;
    bool Read() override { return m_read && m_read(kSendParameters, kReceiveParameters); }
    void Show() override;

private:
    ReadFunction m_read;
    CCellGrid m_send;
    CCellGrid m_receive;
    std::string m_version;
    std::string m_sendOneToN;
};
