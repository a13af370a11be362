#pragma once
// The cookie text that callers of WebRequest carry between requests: items name=value joined by
// "; ". Blanks here are 0x20 and the GBK full-width blank A1 A1 (not tabs).
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// Folds the cookies just received into the ones sent: received items first in their order, then
// the sent items whose name was not received (only the first of two with one name), items ending
// in "=deleted" dropped, duplicates removed, every blank removed. Both texts are left without
// blanks; the result is also stored in sendCookies.
std::string MergeCookies(std::string& sendCookies, std::string& receivedCookies);

// The text before the item's first "=" (all of it without one), blanks stripped from both ends.
std::string CookieName(std::string_view item);

// True when some item has exactly this name (letter case counts).
bool HasCookieName(const std::vector<std::string>& items, std::string_view name);

// The items of `text` split at `separator`, first occurrences kept, joined again without a
// trailing separator.
std::string RemoveDuplicateItems(std::string_view text, std::string_view separator);

// The text without blanks at either end (0x20 and A1 A1, stepping by GBK characters).
std::string StripCookieBlanks(std::string_view text);

// 1-based position of the first item equal to `text`, or -1.
long long FindItem(const std::vector<std::string>& items, std::string_view text);

}  // namespace orvane
