// Files as the archive and cipher objects use them: reading a file whole or piece by piece, and
// writing one through a temporary file in the same folder that is renamed over the target only
// when every byte was written, so a failed write never leaves a half-written or emptied file
// (and writing a file over its own input loses nothing).
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qz {

// The bytes of a regular file; nullopt when it cannot be opened or read, is a folder, or holds
// more than `max_bytes`.
std::optional<std::string> read_file_bytes(const std::string& os_path, uint64_t max_bytes = UINT64_MAX);

class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // False when the path cannot be opened for reading or is a folder.
  bool open(const std::string& os_path);
  uint64_t size() const { return size_; }
  // Reads up to `n` bytes into `out`; returns the count read (less only at the end), or -1 on
  // a read error.
  int64_t read(char* out, size_t n);

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

class ReplacingFile {
 public:
  ReplacingFile() = default;
  ~ReplacingFile();  // without commit(): the temporary file goes, the target stays as it was
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Starts a new version of `os_path`. A symbolic link at the target is replaced by the new
  // file, not followed. False when the folder does not exist or is not writable.
  bool open(const std::string& os_path);
  bool write(std::string_view bytes);
  // Renames the new file over the target; false when anything failed.
  bool commit();

 private:
  void discard();
  int fd_ = -1;
  bool failed_ = false;
  std::string temp_path_;
  std::string target_;
};

// Writes `bytes` as the new contents of `os_path` through a ReplacingFile.
bool replace_file_bytes(const std::string& os_path, std::string_view bytes);

}  // namespace qz
