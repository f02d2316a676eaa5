#include "formats/pe/version_block.h"

#include <cstring>

#include "formats/pe/le_bytes.h"

namespace qz::pe {

const char16_t* const kFixedInfoNames[kFixedInfoFields] = {
    u"dwSignature",        u"dwStrucVersion",     u"dwFileVersionMS", u"dwFileVersionLS", u"dwProductVersionMS",
    u"dwProductVersionLS", u"dwFileFlagsMask",    u"dwFileFlags",     u"dwFileOS",        u"dwFileType",
    u"dwFileSubtype",      u"dwFileDateMS",       u"dwFileDateLS"};

namespace {

template <size_t N>
uint32_t field16(const std::array<char, N>& record, size_t at) {
  return get16(std::string_view(record.data(), N), at);
}

template <size_t N>
void copy_record(std::array<char, N>& record, std::string_view bytes, size_t at) {
  std::memcpy(record.data(), bytes.data() + at, N);
}

// True when the UTF-16LE text at `at` is `key` (its characters only, no terminator).
bool key_at(std::string_view bytes, size_t at, std::u16string_view key) {
  if (at > bytes.size() || (bytes.size() - at) / 2 < key.size()) return false;
  for (size_t i = 0; i < key.size(); ++i)
    if (get16(bytes, at + 2 * i) != key[i]) return false;
  return true;
}

std::u16string utf16_at(std::string_view bytes, size_t at, size_t units) {
  std::u16string s(units, u'\0');
  for (size_t i = 0; i < units; ++i) s[i] = static_cast<char16_t>(get16(bytes, at + 2 * i));
  return s;
}

size_t align4(size_t n) { return static_cast<size_t>(align_up(n, 4)); }

// The offset of the first 0 unit from `from` before `limit`, or npos.
size_t find_zero_unit(std::string_view bytes, size_t from, size_t limit) {
  for (size_t p = from; p + 2 <= limit; p += 2)
    if (get16(bytes, p) == 0) return p;
  return std::string_view::npos;
}

class BlockParser {
 public:
  BlockParser(std::string_view bytes, VersionBlock& block) : b_(bytes), block_(block) {
    end_ = std::min<size_t>(get16(bytes, 0), bytes.size());
  }

  void run() {
    size_t at = kVersionRootSize;
    while (at < end_) {
      size_t before = at;
      if (!block_.has_var_info && key_at(b_, at + 6, u"VarFileInfo")) {
        if (!var_info(at)) return;
      }
      if (at < end_ && !block_.has_string_info && key_at(b_, at + 6, u"StringFileInfo")) {
        if (!string_info(at)) return;
      }
      if (at == before) return;  // a child we do not know: nothing more can be told apart
    }
  }

 private:
  bool fits(size_t at, size_t n) const { return at <= b_.size() && b_.size() - at >= n; }

  bool var_info(size_t& at) {
    if (!fits(at, 64)) return false;
    copy_record(block_.var_info, b_, at);
    copy_record(block_.var, b_, at + 32);
    block_.has_var_info = true;
    at += 64;
    size_t n = field16(block_.var, 2) / 4;
    for (size_t i = 0; i < n && fits(at, 4); ++i, at += 4) block_.translations.push_back(get32(b_, at));
    return true;
  }

  bool string_info(size_t& at) {
    if (!fits(at, 34)) return false;
    const size_t start = at;
    copy_record(block_.string_info, b_, at);
    block_.has_string_info = true;
    at = align4(at + 34);
    const size_t first = at;
    const size_t wanted = field16(block_.string_info, 0) - std::min<size_t>(field16(block_.string_info, 0), first - start);
    size_t sum = 0, slack = 0;
    while (true) {
      const size_t table_start = at;
      if (!fits(at, 22)) return false;
      VersionTable table;
      copy_record(table.header, b_, at);
      table.name = utf16_at(b_, at + 6, 8);
      const size_t table_length = field16(table.header, 0);
      at = align4(at + 22);
      while (true) {
        if (!fits(at, 6)) return keep(std::move(table), false);
        VersionString s;
        copy_record(s.header, b_, at);
        at += 6;
        const size_t key_start = at;
        const size_t limit = std::min(b_.size(), key_start + field16(s.header, 0));
        size_t zero = find_zero_unit(b_, key_start, limit);
        if (zero == std::string_view::npos) return keep(std::move(table), false);
        s.key = utf16_at(b_, key_start, (zero - key_start) / 2);
        at = align4(zero + 2);
        zero = find_zero_unit(b_, at, limit);
        if (zero == std::string_view::npos) return keep(std::move(table), false);
        s.value = utf16_at(b_, at, (zero - at) / 2);
        at = align4(zero + 2);
        table.strings.push_back(std::move(s));
        const int64_t d = int64_t(at - table_start) - int64_t(table_length);
        if (d >= 0 && d <= 2) {
          slack += static_cast<size_t>(d);
          break;
        }
        if (at >= end_) return keep(std::move(table), false);
      }
      sum += table_length;
      block_.tables.push_back(std::move(table));
      if (sum + slack >= wanted || at >= end_) return true;
    }
  }

  // Keeps a table cut short by damage; the parse ends.
  bool keep(VersionTable table, bool more) {
    block_.tables.push_back(std::move(table));
    return more;
  }

  std::string_view b_;
  VersionBlock& block_;
  size_t end_ = 0;
};

void put_key(std::string& out, size_t at, std::u16string_view key) {
  for (size_t i = 0; i < key.size(); ++i) put16(out, at + 2 * i, key[i]);
}

template <size_t N>
void put_record(std::string& out, size_t at, const std::array<char, N>& record) {
  std::memcpy(&out[at], record.data(), N);
}

}  // namespace

uint32_t VersionBlock::fixed(size_t i) const {
  return get32(std::string_view(root.data(), root.size()), kFixedInfoAt + 4 * i);
}

void VersionBlock::set_fixed(size_t i, uint32_t value) {
  for (int k = 0; k < 4; ++k) root[kFixedInfoAt + 4 * i + k] = static_cast<char>((value >> (8 * k)) & 0xFF);
}

std::optional<VersionBlock> parse_version_block(std::string_view bytes) {
  if (bytes.size() < kVersionRootSize) return std::nullopt;
  VersionBlock block;
  copy_record(block.root, bytes, 0);
  BlockParser(bytes, block).run();
  return block;
}

std::optional<std::string> build_version_block(const VersionBlock& block) {
  // Upper bound of the laid-out size, so that nothing is written past the buffer.
  uint64_t bound = 156 + 4 * uint64_t{block.translations.size()} + 36;
  for (const VersionTable& t : block.tables) {
    if (t.name.size() != 8) return std::nullopt;
    bound += 24;
    for (const VersionString& s : t.strings) bound += 6 + 2 * uint64_t{s.key.size()} + 2 * uint64_t{s.value.size()} + 10;
  }
  if (bound > 4 * kMaxVersionBlock) return std::nullopt;
  std::string out(static_cast<size_t>(bound), '\0');

  const size_t n = block.translations.size();
  if (block.has_var_info) {
    put_record(out, 92, block.var_info);
    put_record(out, 124, block.var);
  } else {
    put16(out, 92 + 4, 1);
    put_key(out, 92 + 6, u"VarFileInfo");
    put_key(out, 124 + 6, u"Translation");
  }
  put16(out, 124, static_cast<uint32_t>(4 * n + 32));
  put16(out, 124 + 2, static_cast<uint32_t>(4 * n));
  put16(out, 92, static_cast<uint32_t>(4 * n + 64));
  for (size_t i = 0; i < n; ++i) put32(out, 156 + 4 * i, block.translations[i]);

  const size_t s = 156 + 4 * n;
  if (block.has_string_info) {
    put_record(out, s, block.string_info);
  } else {
    put16(out, s + 4, 1);
    put_key(out, s + 6, u"StringFileInfo");
  }
  size_t at = align4(s + 34);
  for (const VersionTable& t : block.tables) {
    const size_t table_start = at;
    at = align4(at + 22);
    for (const VersionString& str : t.strings) {
      const size_t r = at;
      at += 6;
      put_key(out, at, str.key);
      at = align4(at + 2 * str.key.size() + 2);
      put_key(out, at, str.value);
      const size_t value_bytes = 2 * str.value.size() + 2;
      at = align4(at + value_bytes);
      if (at - r > 0xFFFF || value_bytes > 0xFFFF) return std::nullopt;
      put16(out, r, static_cast<uint32_t>(at - r));
      put16(out, r + 2, static_cast<uint32_t>(value_bytes));
      put16(out, r + 4, 1);
    }
    at = align4(at);
    if (at - table_start > kMaxVersionBlock) return std::nullopt;
    put16(out, table_start, static_cast<uint32_t>(at - table_start));
    put16(out, table_start + 2, 0);
    put16(out, table_start + 4, 1);
    put_key(out, table_start + 6, t.name);
  }
  if (at > kMaxVersionBlock) return std::nullopt;
  put16(out, s, static_cast<uint32_t>(at - s));
  put_record(out, 0, block.root);
  put16(out, 0, static_cast<uint32_t>(at));
  out.resize(at);
  return out;
}

}  // namespace qz::pe
