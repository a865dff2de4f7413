#pragma once
#include <string>
#include <vector>

// Every user-facing text, keyed by its string id. Texts are UTF-8 here; files keep Shift_JIS.
namespace Msg {
constexpr int kUntitled = 32902;
constexpr int kProductName = 32903;
constexpr int kFileNotFound = 40001;
constexpr int kFileReadWarning = 40002;
constexpr int kFileSaveError = 40003;
constexpr int kClearHistoryQuestion = 40004;
constexpr int kBadReply = 40005;
constexpr int kNodeCountTooLarge = 40006;
constexpr int kAutoRefresh = 40020;
constexpr int kCopyCsv = 40021;
}  // namespace Msg

std::string MessageText(int id);
// Replaces %1..%9 by inserts[n-1]; a bare %d or %s takes the next insert in order.
std::string FormatMessage(int id, const std::vector<std::string>& inserts = {});
