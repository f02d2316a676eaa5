// The packed script container: a 27-byte header that starts with "QZC", then the zlib stream of
// the script with its first bytes scrambled by a key stream of the script's length.
//
//   offset 0  "QZC"           offset 7   uncompressed length L (u32, little-endian)
//   offset 3  format (1; any non-zero value reads)
//   offset 4  engine major, minor, revision (one byte each, informational)
//   offset 11 stored length n (u32)     offset 15  three u32 fields, written 0, ignored
//   offset 27 n stored bytes
//
// A buffer is packed when it holds at least 27 bytes, starts with "QZC" and byte 3 is not 0.
// Packed bytes come from files anyone can hand us, so every length is checked before use.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qz::pack {

inline constexpr size_t kHeaderSize = 27;
inline constexpr uint8_t kFormatVersion = 1;
// The largest script we agree to unpack: far above any real script, low enough that a forged
// header cannot make us allocate without bound.
inline constexpr uint32_t kMaxUnpackedLength = 256u << 20;
// The report a run gives for a packed script that cannot be read, followed by the path.
inline constexpr std::string_view kDamagedReport = "packed script damaged";

struct EngineVersion {
  uint8_t major = 7;
  uint8_t minor = 0;
  uint8_t revision = 0;
};

bool is_packed(std::string_view bytes);

// The packed form of `plain`. Throws std::runtime_error when zlib fails (out of memory).
// Packing is never applied twice: callers check is_packed first (pack_file does).
std::string pack(std::string_view plain, EngineVersion version = {});

enum class UnpackStatus {
  Plain,     // no signature: the buffer is a plain script and was left as it was
  Unpacked,  // the buffer now holds the plain script
  Damaged,   // a packed script that cannot be read; the buffer is unchanged, `reason` says why
};

UnpackStatus unpack_in_place(std::string& buffer, std::string& reason);

// The plain script for `bytes`: the unpacked text of a packed script, or `bytes` itself when it
// is not packed. Nullopt for a damaged packed script, with the cause in `reason`.
std::optional<std::string> unpack(std::string_view bytes, std::string& reason);

}  // namespace qz::pack
