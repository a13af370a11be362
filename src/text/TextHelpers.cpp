#include "text/TextHelpers.h"

#include "platform/CodePage.h"
#include "platform/MessagePump.h"
#include "text/GbkSearch.h"

namespace orvane {
namespace {

constexpr std::string_view kQuoteMarker = "#\xD2\xFD\xBA\xC5";  // "#引号"
constexpr std::string_view kFullWidthBlank = "\xA1\xA1";

std::size_t StartOffset(long long position) { return position < 1 ? 0 : static_cast<std::size_t>(position - 1); }

std::string ReplaceQuoteMarkers(std::string_view marker) {
  return ReplaceMany(marker, {.matchCase = true}, {kQuoteMarker, "\""});
}

// Trims 0x20 and the full-width blank from both ends, stepping by characters.
std::string_view TrimWideBlanks(std::string_view piece) {
  std::size_t begin = 0;
  std::size_t end = 0;  // end of the last character that is not a blank
  std::size_t i = 0;
  bool leading = true;
  while (i < piece.size()) {
    const bool wide = static_cast<unsigned char>(piece[i]) >= 0x80;
    const std::size_t width = wide && i + 1 < piece.size() ? 2 : 1;
    const bool blank = piece[i] == ' ' || piece.substr(i, width) == kFullWidthBlank;
    if (leading && blank) {
      begin = i + width;
    } else if (!blank) {
      leading = false;
      end = i + width;
    }
    i += width;
  }
  return end > begin ? piece.substr(begin, end - begin) : std::string_view();
}

void PumpTimes(int times) {
  for (int i = 0; i < times; ++i) PumpPendingMessages();
}

}  // namespace

std::string TextBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker,
                        long long startPosition, bool ignoreCase) {
  const std::string start = ReplaceQuoteMarkers(startMarker);
  const std::string end = ReplaceQuoteMarkers(endMarker);
  GbkSearcher searcher(text);
  const std::size_t begin = searcher.Find(start, StartOffset(startPosition), ignoreCase);
  if (begin == kNotFound) return {};
  const std::size_t pieceStart = begin + start.size();
  const std::size_t finish = searcher.Find(end, pieceStart, ignoreCase);
  if (finish == kNotFound) return {};
  return std::string(text.substr(pieceStart, finish - pieceStart));
}

std::size_t TextBetweenAll(std::string_view text, std::string_view startMarker, std::string_view endMarker,
                           std::vector<std::string>& pieces, const BetweenAllOptions& options) {
  pieces.clear();
  const bool ignoreCase = !options.matchCase;
  GbkSearcher searcher(text);
  std::size_t pos = StartOffset(options.startPosition);
  while (true) {
    const std::size_t begin = searcher.Find(startMarker, pos, ignoreCase);
    if (begin == kNotFound) break;
    const std::size_t pieceStart = begin + startMarker.size();
    const std::size_t finish = searcher.Find(endMarker, pieceStart, ignoreCase);
    if (finish == kNotFound) break;

    const std::string_view middle = TrimWideBlanks(text.substr(pieceStart, finish - pieceStart));
    std::string piece;
    piece.reserve(options.prefix.size() + middle.size() + options.suffix.size());
    piece.append(options.prefix).append(middle).append(options.suffix);
    if (piece.empty()) {
      PumpTimes(3);
      pos = pieceStart;
      continue;
    }
    if (options.keepStartMarker) piece.insert(0, startMarker);
    if (options.keepEndMarker) piece.append(endMarker);
    if (options.maxLength == 0 || piece.size() < options.maxLength) pieces.push_back(std::move(piece));
    PumpTimes(options.maxLength != 0 ? 4 : 3);
    pos = finish;
  }
  return pieces.size();
}

std::string ReplaceMany(std::string_view text, const ReplaceOptions& options, Replacement pair1, Replacement pair2,
                        Replacement pair3, Replacement pair4, Replacement pair5) {
  std::string result(text);
  const std::size_t from = StartOffset(options.startPosition);
  for (const Replacement& pair : {pair1, pair2, pair3, pair4, pair5}) {
    if (pair.find.empty() || from >= result.size()) continue;
    std::string next(result, 0, from);
    GbkSearcher searcher(result);
    std::size_t pos = from;
    long long done = 0;
    while (options.count < 0 || done < options.count) {
      const std::size_t hit = searcher.Find(pair.find, pos, !options.matchCase);
      if (hit == kNotFound) break;
      next.append(result, pos, hit - pos).append(pair.replace);
      pos = hit + pair.find.size();
      ++done;
    }
    next.append(result, pos, std::string::npos);
    result = std::move(next);
  }
  return result;
}

std::string Utf8ToGbk(std::string_view text) {
  std::string gbk = codepage::Utf8ToGbk(text);
  const std::size_t zero = gbk.find('\0');
  if (zero != std::string::npos) gbk.resize(zero);
  return gbk;
}

std::string TrimBlanks(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  const std::size_t end = text.find_last_not_of(' ');
  return std::string(text.substr(begin, end - begin + 1));
}

}  // namespace orvane
