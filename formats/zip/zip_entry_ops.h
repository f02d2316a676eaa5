// What the archive object does to entries: add a file as a deflated entry, mark entries
// removed, extract entries to files or return one entry's bytes. Names that scripts pass use
// "\" as the separator; an entry's name for matching is its central name (system ANSI page)
// with every "/" turned into "\".
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "formats/zip/zip_archive.h"

namespace qz {

// The text of an entry's name or comment, and the bytes stored for a text: UTF-8 when the
// header's flags say so, else one byte per character of the system ANSI page.
std::u16string zip_entry_text(const std::string& bytes, uint16_t flags);
std::string zip_entry_text_bytes(std::u16string_view text, uint16_t flags);

// Adds `file_name` (a script path) under the archive folder `base_dir` (may be empty: the
// file's path without its drive is stored). Adds nothing when the file does not exist or an
// entry of the name to be stored is already there; raises 75 when the file cannot be read or
// is 4 GiB or more. A name
// that is plain ASCII is stored as it is; any other name is stored in UTF-8 with the UTF-8
// flag set (its comment too), so no character is lost and Extract gives the file its name back.
void zip_add(ZipArchive& archive, std::u16string_view file_name, std::u16string base_dir, std::u16string_view comment);

// Sets the removed mark of the entries `name` selects (exact, case counts; or "*" and a
// pattern). Raises for a bad pattern.
void zip_remove(ZipArchive& archive, std::u16string_view name, bool removed);

// Extract flags: 0 entry path under the folder, 1 bare name under the folder, 2 and 3 the same
// but an existing file is kept, 4 nothing written: the first match's bytes are returned.
// `base_dir` is the target folder (the caller puts the script's folder there when the script
// gave none). Entries whose names would leave the folder (absolute, with a drive, with a ".."
// part) are skipped; so is every entry that does not unpack (see zip_entry_bytes) or cannot be
// written, and an existing file is then left as it was. Nullopt unless flags 4 found an entry
// that unpacks. Never raises.
std::optional<std::string> zip_extract(const ZipArchive& archive, std::u16string_view name, std::u16string base_dir,
                                       int32_t flags, bool save_date);

// The uncompressed bytes of an entry (stored, or inflated for method 8); nullopt when the
// entry is encrypted, uses another method, does not inflate to its stated size or fails its
// CRC.
std::optional<std::string> zip_entry_bytes(const ZipEntry& entry);

// Creates the missing folders of a file path (not the file itself). Raises 75 when one cannot
// be created.
void zip_create_dir(std::u16string_view file_path);

// The relative path an entry name may be extracted to ("\" separators), or nullopt when the
// name is empty or would leave the target folder.
std::optional<std::u16string> contained_entry_path(std::u16string_view name);

}  // namespace qz
