#include "platform/skinh/skin_file.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string_view>

namespace skinh {
namespace {

constexpr std::string_view kMagic = ".SHE";

std::uint32_t ReadLe(std::span<const unsigned char> bytes, std::size_t offset, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = value << 8 | bytes[offset + i];
  return value;
}

std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

// The same mapping as the program's own Windows paths (platform/win/paths.h), which the
// engine cannot link: "C:\\" is the per-user drive folder.
std::string DataHome() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;  // a relative value is ignored, as XDG says
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr && home[0] != '\0' ? home : "/tmp") + "/.local/share";
}

}  // namespace

std::uint32_t Crc32(std::span<const unsigned char> bytes) {
  static const std::array<std::uint32_t, 256> table = MakeCrcTable();
  std::uint32_t c = 0xFFFFFFFFu;
  for (unsigned char b : bytes) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::optional<SkinFile> ParseSkinFile(std::span<const unsigned char> bytes) {
  if (bytes.size() < kHeaderLength || bytes.size() > kMaxSkinFileLength) return std::nullopt;
  if (!std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) return std::nullopt;
  if (ReadLe(bytes, 4, 2) != kFormatVersion || ReadLe(bytes, 6, 2) != kHeaderLength ||
      ReadLe(bytes, 20, 4) != 0) {
    return std::nullopt;
  }
  // Both lengths are below 2^32 and the file below 1 MiB, so the sum cannot overflow.
  const std::uint64_t paletteLength = ReadLe(bytes, 8, 4);
  const std::uint64_t sheetLength = ReadLe(bytes, 12, 4);
  if (kHeaderLength + paletteLength + sheetLength != bytes.size()) return std::nullopt;
  const auto payload = bytes.subspan(kHeaderLength);
  if (Crc32(payload) != ReadLe(bytes, 16, 4)) return std::nullopt;
  const auto text = [](std::span<const unsigned char> part) { return std::string(part.begin(), part.end()); };
  return SkinFile{text(payload.first(paletteLength)), text(payload.subspan(paletteLength))};
}

std::string LocalSkinPath(const std::string& path) {
  const bool onDriveC =
      path.size() >= 3 && (path[0] == 'C' || path[0] == 'c') && path[1] == ':' && path[2] == '\\';
  if (!onDriveC) return path;
  std::string local = DataHome() + "/qorvella/drive_c/";
  for (std::size_t i = 3; i < path.size(); ++i) local += path[i] == '\\' ? '/' : path[i];
  return local;
}

}  // namespace skinh
