#include "services/conv/hashing.h"

#include <memory>
#include <optional>
#include <vector>

#include "com/error.h"
#include "formats/zip/file_io.h"
#include "platform/codepage.h"
#include "platform/path.h"
#include "services/conv/message_digest.h"

namespace qz {

namespace {

constexpr int32_t kParamAlgorithm = 1, kParamValue = 2, kParamSize = 4;
constexpr size_t kFileChunk = 32768;
constexpr int kErrPathFileAccess = 75;

std::string le32(uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
  return s;
}

// What reading hash parameter `param` gives: the algorithm number, the digest, or its length.
std::optional<std::string> hash_param(int32_t param, int32_t algorithm, const std::string& digest) {
  switch (param) {
    case kParamAlgorithm: return le32(static_cast<uint32_t>(algorithm));
    case kParamValue: return digest;
    case kParamSize: return le32(static_cast<uint32_t>(digest.size()));
    default: return std::nullopt;
  }
}

// Reads the length into a 4-byte slot, then the value into a buffer of that length; either read
// fails when its parameter is unknown or its data does not fit.
std::string digest_text(MessageDigest& md, int32_t algorithm, const DigestParams& params) {
  const std::string digest = md.finish();
  std::optional<std::string> size = hash_param(params.size, algorithm, digest);
  if (!size || size->size() > 4) return {};
  size->resize(4, '\0');
  uint32_t length = 0;
  for (int i = 3; i >= 0; --i) length = length << 8 | static_cast<uint8_t>((*size)[i]);
  std::optional<std::string> value = hash_param(params.value, algorithm, digest);
  if (!value || value->size() > length) return {};
  return hex_upper(*value);
}

}  // namespace

std::string hash_text_hex(std::u16string_view text, int32_t algorithm, const DigestParams& params) {
  std::unique_ptr<MessageDigest> md = new_message_digest(algorithm);
  if (!md) return {};
  std::string bytes = encode(ansi_code_page(), text);
  md->update(bytes);
  return digest_text(*md, algorithm, params);
}

std::string hash_file_hex(const std::string& os_file, int32_t algorithm, const DigestParams& params) {
  if (!file_exists(os_file)) return {};
  std::unique_ptr<MessageDigest> md = new_message_digest(algorithm);
  if (!md) return {};
  InputFile file;
  if (!file.open(os_file)) raise(kErrPathFileAccess);
  std::vector<char> chunk(kFileChunk);
  for (;;) {
    int64_t n = file.read(chunk.data(), chunk.size());
    if (n < 0) raise(kErrPathFileAccess);
    if (n == 0) break;
    md->update(std::string_view(chunk.data(), static_cast<size_t>(n)));
  }
  return digest_text(*md, algorithm, params);
}

}  // namespace qz
