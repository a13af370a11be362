#include "SamplePages.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>

namespace orvane::sample::pages {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kSearchPrefix = "/search/album/kw/";
constexpr std::string_view kPageMarker = "/page/";
constexpr std::string_view kSearchSuffix = "/sc/true.ajax";

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerAscii(x) == LowerAscii(y);
         });
}

// Invalid UTF-8 in catalogue texts becomes U+FFFD instead of failing the answer.
std::string Dump(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

std::string DigitsOnly(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })
             ? std::string(text)
             : std::string();
}

std::string SearchEntry(const Album& album, std::string_view keyword, std::string_view host) {
  std::string soundIds;
  for (const Track& track : album.tracks) {
    if (!soundIds.empty()) soundIds += ',';
    soundIds += track.id;
  }
  const std::string count = album.trackCount.empty() ? std::to_string(album.tracks.size()) : album.trackCount;
  std::string html;
  html += "<li class=\"search-album-item\" sound_ids=\"" + soundIds + "\">\n";
  html += "<div class=\"search-album-cover\">\n";
  html += "<a href=\"/album/" + album.id + "\" target=\"_blank\"><img class=\"search-album-pic\" src='http://" +
          std::string(host) + "/covers/" + album.id + ".png' alt=\"\" /></a>\n";
  html += "</div>\n<div class=\"search-album-info\">\n";
  html += "<a href=\"/album/" + album.id + "\" target=\"_blank\" class=\"search-album-tit elli-multi link4\"  >\n" +
          Highlight(album.title, keyword) + "</a>\n";
  html += "<p class=\"elli c02\">" + Highlight(album.intro, keyword) + "</p>\n";
  html += "<div class=\"search-album-data\">\n";
  if (!album.plays.empty()) html += "<i class=\"iconfont icon-playlight\">" + album.plays + "</i>\n";
  html += "<i class=\"iconfont icon-soundslight\">" + count + "</i>\n";
  html += "</div>\n</div>\n</li>\n";
  return html;
}

std::string TrackItem(const Track& track) {
  return "<li class=\"item-block\">\n<a class=\"text\" href=\"/sound/" + track.id +
         "\"><h4 class=\"item-tit elli-s\">" + track.title + "</h4></a>\n" +
         "<span class=\"item-time\"></span>\n"
         "<a class=\"col col-r btn-player\" href=\"javascript:;\" sound_id=\"" +
         track.id + "\"><i class=\"icon-play\"></i></a>\n</li>\n";
}

}  // namespace

std::optional<SearchRequest> ParseSearchTarget(std::string_view target) {
  if (!target.starts_with(kSearchPrefix) || !target.ends_with(kSearchSuffix)) return std::nullopt;
  const std::string_view middle = target.substr(0, target.size() - kSearchSuffix.size());
  const std::size_t marker = middle.rfind(kPageMarker);
  if (marker == std::string_view::npos || marker < kSearchPrefix.size()) return std::nullopt;
  const std::string_view number = middle.substr(marker + kPageMarker.size());
  int page = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), page);
  if (number.empty() || error != std::errc() || end != number.data() + number.size() || number[0] == '-') {
    return std::nullopt;
  }
  return SearchRequest{PercentDecode(middle.substr(kSearchPrefix.size(), marker - kSearchPrefix.size())), page};
}

std::string PercentDecode(std::string_view text) {
  auto hex = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
      out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string PercentEncodePath(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
        c == '-' || c == '_' || c == '.' || c == '~' || c == '/') {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  return out;
}

bool ContainsIgnoringAsciiCase(std::string_view text, std::string_view part) {
  if (part.size() > text.size()) return false;
  for (std::size_t i = 0; i + part.size() <= text.size(); ++i) {
    if (EqualIgnoringAsciiCase(text.substr(i, part.size()), part)) return true;
  }
  return false;
}

std::string Highlight(std::string_view text, std::string_view keyword) {
  if (keyword.empty()) return std::string(text);
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (i + keyword.size() <= text.size() && EqualIgnoringAsciiCase(text.substr(i, keyword.size()), keyword)) {
      out += "<span class=\"c09\">";
      out += text.substr(i, keyword.size());
      out += "</span>";
      i += keyword.size();
    } else {
      out += text[i++];
    }
  }
  return out;
}

std::string SearchPage(const Catalogue& catalogue, const SearchRequest& request, std::string_view host) {
  std::vector<const Album*> matches;
  for (const Album& album : catalogue.albums) {
    if (ContainsIgnoringAsciiCase(album.title, request.keyword) ||
        ContainsIgnoringAsciiCase(album.intro, request.keyword)) {
      matches.push_back(&album);
    }
  }
  const std::size_t perPage = static_cast<std::size_t>(std::max(1, catalogue.albumsPerPage));
  std::string html = "<div class=\"search-result\">\n<ul class=\"search-album-lists cl\">\n";
  bool more = false;
  if (request.page >= 1) {
    const std::size_t first = (static_cast<std::size_t>(request.page) - 1) * perPage;
    for (std::size_t i = first; i < matches.size() && i < first + perPage; ++i) {
      html += SearchEntry(*matches[i], request.keyword, host);
    }
    more = first + perPage < matches.size();
  }
  html += "</ul>\n";
  if (more) {
    // The program only looks for "rel='nex"; the address is what a browser would follow.
    html += "<div class=\"pagination\"><a rel='next' href='" + std::string(kSearchPrefix) +
            PercentEncodePath(request.keyword) + "/page/" + std::to_string(request.page + 1) +
            std::string(kSearchSuffix) + "'>\xE4\xB8\x8B\xE4\xB8\x80\xE9\xA1\xB5</a></div>\n";  // 下一页
  }
  html += "</div>";
  Json page = {{"status", 0},
               {"msg", ""},
               {"data", {{"html", html}, {"total", matches.size()}, {"page", request.page}, {"pageSize", perPage}}}};
  return Dump(page);
}

std::string TrackListPage(const Album& album, int page, int tracksPerPage) {
  const std::size_t perPage = static_cast<std::size_t>(std::max(1, tracksPerPage));
  std::string html;
  int next = 0;
  if (page >= 1) {
    const std::size_t first = (static_cast<std::size_t>(page) - 1) * perPage;
    for (std::size_t i = first; i < album.tracks.size() && i < first + perPage; ++i) {
      html += TrackItem(album.tracks[i]);
    }
    if (first + perPage < album.tracks.size()) next = page + 1;
  }
  if (const auto jump = album.nextPages.find(page); jump != album.nextPages.end()) next = jump->second;
  return Dump(Json{{"next_page", next}, {"html", html}});
}

std::string TrackRecord(const Album& album, const Track& track, std::string_view host) {
  Json record;
  const std::string numeric = DigitsOnly(track.id);
  if (!numeric.empty() && numeric.size() < 19) {
    record["id"] = std::stoull(numeric);
  } else {
    record["id"] = track.id;
  }
  record["title"] = track.title;
  record["album_id"] = DigitsOnly(album.id).empty() || album.id.size() >= 19 ? Json(album.id)
                                                                             : Json(std::stoull(album.id));
  record["album_title"] = track.albumTitle.value_or(album.title);
  const std::string audio = "http://" + std::string(host) + "/audio/" + track.id;
  if (track.hasHighQuality) record["play_path_64"] = audio + "-64.m4a";
  if (track.hasNormalQuality) record["play_path_32"] = audio + "-32.m4a";
  return Dump(record);
}

std::string ErrorPage(int status) {
  const std::string code = std::to_string(status);
  return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + code + "</title></head>\n<body><h1>" +
         code + "</h1><p>The page could not be served.</p></body></html>\n";
}

std::string HtmlPage() {
  return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Orvane</title></head>\n"
         "<body><div class=\"notice\">\xE7\xB3\xBB\xE7\xBB\x9F\xE7\xB9\x81\xE5\xBF\x99</div></body></html>\n";  // 系统繁忙
}

}  // namespace orvane::sample::pages
