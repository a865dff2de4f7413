#include <gtest/gtest.h>

#include "model/Messages.h"

TEST(Messages, TextsAreTheSystemsOwn) {
    EXPECT_EQ(MessageText(Msg::kFileNotFound), "ﾌｧｲﾙが見つかりません。");
    EXPECT_EQ(MessageText(Msg::kUntitled), "無題");
    EXPECT_EQ(MessageText(-5), "");
}

TEST(Messages, InsertsFillNumberedAndPrintfSlots) {
    // 0x%X style middleware codes arrive preformatted as inserts.
    int numbered = -1, printfStyle = -1;
    for (int id = 1; id < 65536 && (numbered < 0 || printfStyle < 0); ++id) {
        const std::string text = MessageText(id);
        if (numbered < 0 && text.find("%1") != std::string::npos) numbered = id;
        if (printfStyle < 0 && (text.find("%d") != std::string::npos || text.find("%s") != std::string::npos))
            printfStyle = id;
    }
    ASSERT_GT(numbered, 0);
    const std::string withCode = FormatMessage(numbered, {"0x8a1b"});
    EXPECT_NE(withCode.find("0x8a1b"), std::string::npos);
    EXPECT_EQ(withCode.find("%1"), std::string::npos);
    // A missing insert leaves the slot empty rather than printing garbage.
    EXPECT_EQ(FormatMessage(numbered, {}).find('%'), std::string::npos);
    if (printfStyle > 0) {
        const std::string filled = FormatMessage(printfStyle, {"12", "34"});
        EXPECT_EQ(filled.find("%d"), std::string::npos);
        EXPECT_NE(filled.find("12"), std::string::npos);
    }
}
