#pragma once
// The service's answers as text, built from the catalogue. Internal to the sample service.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "SampleService.h"

namespace orvane::sample::pages {

// Parts of a search request target "/search/album/kw/" KEYWORD "/page/" N "/sc/true.ajax". The
// keyword may hold further "/"; it comes back percent-decoded.
struct SearchRequest {
  std::string keyword;
  int page = 0;
};
std::optional<SearchRequest> ParseSearchTarget(std::string_view target);

std::string PercentDecode(std::string_view text);
std::string PercentEncodePath(std::string_view text);  // keeps "/" and unreserved characters

bool ContainsIgnoringAsciiCase(std::string_view text, std::string_view part);
// Every occurrence of keyword (ASCII letter case ignored) wrapped in the highlight span.
std::string Highlight(std::string_view text, std::string_view keyword);

// JSON-style text whose "html" member holds the result list as escaped string content.
std::string SearchPage(const Catalogue& catalogue, const SearchRequest& request, std::string_view host);
// {"next_page": N, "html": "..."} for one page of the album's tracks.
std::string TrackListPage(const Album& album, int page, int tracksPerPage);
// {"id", "title", "album_title", "play_path_64", "play_path_32"}; a missing quality leaves its path out.
std::string TrackRecord(const Album& album, const Track& track, std::string_view host);

std::string ErrorPage(int status);
std::string HtmlPage();  // a plain page where JSON was expected

}  // namespace orvane::sample::pages
