#pragma once
// Cover images and audio bytes made on request, so that no test holds large copies.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvane::sample::media {

// A 140 x 140 RGB PNG whose colours follow the seed text.
std::string CoverPng(std::string_view seed);

// An 8-bit mono 8 kHz WAV of `size` bytes (the header cut short when size < 44), seeded by `seed`.
void FillWav(std::string_view seed, std::size_t size, std::size_t offset, char* out, std::size_t n);

std::uint64_t Fnv1a(std::string_view text);

}  // namespace orvane::sample::media
