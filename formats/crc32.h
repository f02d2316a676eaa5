// CRC-32, the standard reflected polynomial that ZIP, PNG and zlib use.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "com/object.h"

namespace qz {

uint32_t crc32_of(std::string_view bytes, uint32_t crc = 0);

// The CRC of a whole file, read in chunks of 64 KiB; nullopt when it cannot be opened or read.
std::optional<uint32_t> crc32_of_file(const std::string& os_path);

// The script object sys.File.Crc32: Buffer(array) and File(path), each giving the unsigned CRC
// as a Currency; 0 when the array or file cannot be read.
Ref<Object> new_crc32_object();

}  // namespace qz
