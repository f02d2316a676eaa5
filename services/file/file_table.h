// The process's table of numbered files: what a script opens by file number belongs here, not
// to any object, so a file stays open until it is closed by number or the table is reset.
// Positions a script gives and sees are 1-based byte positions; the table holds the 0-based
// offset of the next byte. Failures raise the script errors of the file statements (52 bad
// file number, 53 not found, 54 bad file mode, 55 already open, 62 input past end, 67 too
// many files, 70 permission denied, 75 path/file access error).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "com/variant.h"

namespace qz {

enum class FileMode { Input, Output, Append, Binary };

class FileTable {
 public:
  static constexpr int kMaxNumber = 511;   // numbers 1..511 may be opened
  static constexpr int kFreeLimit = 255;   // free_number() hands out 1..255

  ~FileTable();
  void open(int number, const std::string& os_path, FileMode mode);
  void close(int number);   // a number that is not open is ignored
  void close_all();
  bool is_open(int number) const;
  int free_number() const;

  bool eof(int number);
  int64_t length(int number);     // LOF
  int64_t location(int number);   // Loc: bytes done (binary), or 128-byte blocks (text modes)
  int64_t position(int number);   // Seek: the 1-based position of the next byte
  void seek(int number, int64_t position);

  // Text modes. A line ends at CR LF, CR or LF (not returned); 62 at the end of the file.
  std::string read_line(int number);
  // One comma- or line-delimited field as the input statement reads it (quoted text kept
  // whole), typed: a number, #TRUE#/#FALSE#, #NULL#, a #date#, text, or Empty for an empty field.
  Variant read_field(int number);
  void write_line(int number, std::string_view bytes);   // the bytes, then CR LF

  // Binary access at 1-based `position` (0 or less: the current position). A read past the
  // end gives the bytes that are there, the rest zeros, as the binary get statement does.
  std::string read(int number, int64_t position, size_t count);
  void write(int number, int64_t position, std::string_view bytes);

  // Locks the whole file against other processes (never blocks: 70 when another holds it).
  void lock(int number, bool on);

 private:
  struct Entry {
    int fd = -1;
    FileMode mode = FileMode::Input;
    int64_t pos = 0;
  };
  Entry& get(int number);
  Entry& readable(int number);
  Entry& writable(int number);
  int peek(Entry& e);   // next byte or -1 at the end; does not move
  Entry entries_[kMaxNumber + 1];
};

// The one table of the process.
FileTable& file_table();

}  // namespace qz
