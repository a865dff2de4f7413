#include "status/MessageSequenceView.h"

#include <cstdio>

#include "status/CsvText.h"
#include "model/Messages.h"

CMessageSequenceView::CMessageSequenceView(CUnitSettings& settings, IPrompter& prompter, ReadFunction read)
    : CStatusView(settings, prompter), m_read(std::move(read)) {}

std::string CMessageSequenceView::SequenceText(uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "H%.8X", static_cast<unsigned>(value));
    return buffer;
}

void CMessageSequenceView::Layout() {
    m_send.Reset(kRows, 2, CCellGrid::kModeShadedFirst);
    m_send.SetHeaders({LocalText("ﾉｰﾄﾞ番号"), LocalText("通番")});
    m_receive.Reset(kRows, 4, CCellGrid::kModeShadedFirst);
    m_receive.SetHeaders({LocalText("ﾉｰﾄﾞ番号"), LocalText("ﾊﾞｰｼﾞｮﾝ番号"), "1:N", "1:1"});
    for (CCellGrid* grid : {&m_send, &m_receive}) {
        grid->SetListBackground(StatusColour::kListBackground);
        grid->SetCellColours(0, StatusColour::kWindowText, StatusColour::kListBackground);
        for (int r = 0; r < kRows; ++r) grid->SetText(r, 0, std::to_string(r + 1));
    }
    m_version.clear();
    m_sendOneToN.clear();
}

void CMessageSequenceView::Show() {
    const StatusArea& s = m_settings.status;
    m_version = SequenceText(s.sequenceVersion);
    m_sendOneToN = SequenceText(s.sequenceSend1toN);
    for (int r = 0; r < kRows; ++r) {
        m_send.SetText(r, 1, SequenceText(s.sendSequence[r]));
        m_receive.SetText(r, 1, SequenceText(s.receiveSequence[r].version));
        m_receive.SetText(r, 2, SequenceText(s.receiveSequence[r].oneToN));
        m_receive.SetText(r, 3, SequenceText(s.receiveSequence[r].oneToOne));
    }
}

std::string CMessageSequenceView::ToCsv() const {
    std::string out = CsvLine({LocalText("通番ﾊﾞｰｼﾞｮﾝ番号"), m_version}) + CsvLine({LocalText("通番(1：N送信)"), m_sendOneToN});
    out += CsvLine({LocalText("ﾉｰﾄﾞ番号"), LocalText("通番(1：1送信)"), LocalText("ﾊﾞｰｼﾞｮﾝ番号"), "1:N", "1:1"});
    for (int r = 0; r < kRows; ++r)
        out += CsvLine({m_send.Text(r, 0), m_send.Text(r, 1), m_receive.Text(r, 1), m_receive.Text(r, 2),
                        m_receive.Text(r, 3)});
    return out;
}
