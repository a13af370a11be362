#include "SampleMedia.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <stdexcept>
#include <vector>

namespace orvane::sample::media {
namespace {

constexpr int kCoverSide = 140;
constexpr std::size_t kWavHeaderSize = 44;
constexpr std::uint32_t kSampleRate = 8000;

void PutBigEndian32(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void PutLittleEndian(std::array<unsigned char, kWavHeaderSize>& header, std::size_t at, std::uint32_t value,
                     int bytes) {
  for (int i = 0; i < bytes; ++i) header[at + static_cast<std::size_t>(i)] = (value >> (8 * i)) & 0xFF;
}

void AppendChunk(std::string& png, std::string_view type, const std::string& data) {
  PutBigEndian32(png, static_cast<std::uint32_t>(data.size()));
  std::string typed = std::string(type) + data;
  png += typed;
  const uLong crc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(typed.data()),
                          static_cast<uInt>(typed.size()));
  PutBigEndian32(png, static_cast<std::uint32_t>(crc));
}

std::uint64_t SplitMix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

std::array<unsigned char, kWavHeaderSize> WavHeader(std::size_t size) {
  std::array<unsigned char, kWavHeaderSize> header{};
  const std::string_view tags[] = {"RIFF", "WAVE", "fmt ", "data"};
  const std::size_t places[] = {0, 8, 12, 36};
  for (std::size_t i = 0; i < 4; ++i) std::copy(tags[i].begin(), tags[i].end(), header.begin() + places[i]);
  const auto clamp32 = [](std::size_t v) { return static_cast<std::uint32_t>(std::min<std::size_t>(v, 0xFFFFFFFFu)); };
  PutLittleEndian(header, 4, clamp32(size >= 8 ? size - 8 : 0), 4);
  PutLittleEndian(header, 16, 16, 4);           // fmt chunk size
  PutLittleEndian(header, 20, 1, 2);            // PCM
  PutLittleEndian(header, 22, 1, 2);            // mono
  PutLittleEndian(header, 24, kSampleRate, 4);  // sample rate
  PutLittleEndian(header, 28, kSampleRate, 4);  // byte rate
  PutLittleEndian(header, 32, 1, 2);            // block align
  PutLittleEndian(header, 34, 8, 2);            // bits per sample
  PutLittleEndian(header, 40, clamp32(size >= kWavHeaderSize ? size - kWavHeaderSize : 0), 4);
  return header;
}

}  // namespace

std::uint64_t Fnv1a(std::string_view text) {
  std::uint64_t hash = 0xCBF29CE484222325ULL;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001B3ULL;
  }
  return hash;
}

std::string CoverPng(std::string_view seed) {
  const std::uint64_t hash = Fnv1a(seed);
  const int baseRed = static_cast<int>(hash & 0xFF), baseGreen = static_cast<int>((hash >> 8) & 0xFF),
            baseBlue = static_cast<int>((hash >> 16) & 0xFF);
  const int stripe = 8 + static_cast<int>((hash >> 24) % 24);

  std::string raw;
  raw.reserve(static_cast<std::size_t>(kCoverSide) * (kCoverSide * 3 + 1));
  for (int y = 0; y < kCoverSide; ++y) {
    raw += '\0';  // filter type: none
    for (int x = 0; x < kCoverSide; ++x) {
      const bool band = ((x + y) / stripe) % 2 == 0;
      raw += static_cast<char>((baseRed + x) & 0xFF);
      raw += static_cast<char>((baseGreen + y) & 0xFF);
      raw += static_cast<char>(band ? baseBlue : 255 - baseBlue);
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
                static_cast<uLong>(raw.size()), Z_BEST_SPEED) != Z_OK) {
    throw std::runtime_error("cover image could not be compressed");
  }
  packed.resize(packedSize);

  std::string header;
  PutBigEndian32(header, kCoverSide);
  PutBigEndian32(header, kCoverSide);
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter set, no interlace

  std::string png("\x89PNG\r\n\x1A\n", 8);
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", packed);
  AppendChunk(png, "IEND", {});
  return png;
}

void FillWav(std::string_view seed, std::size_t size, std::size_t offset, char* out, std::size_t n) {
  const std::uint64_t hash = Fnv1a(seed);
  const std::size_t period = 8 + hash % 32;  // a tone between 250 and 1000 Hz
  const auto header = WavHeader(size);
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t at = offset + i;
    if (at < kWavHeaderSize) {
      out[i] = static_cast<char>(header[at]);
      continue;
    }
    const std::size_t phase = at % period;
    const std::size_t half = period / 2;
    const int triangle = static_cast<int>(phase < half ? phase : period - phase) * 64 / static_cast<int>(half);
    // Low noise keyed by the seed keeps two tracks with the same tone apart.
    const int noise = static_cast<int>(SplitMix(hash ^ at) & 7);
    out[i] = static_cast<char>(96 + triangle + noise);
  }
}

}  // namespace orvane::sample::media
