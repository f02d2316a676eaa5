#include "com/str.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace qz {

namespace {
// Buffers of short strings, kept when freed for the next string of their size: most strings a
// script makes are short and live for a statement, and the general allocator's slower paths
// were a tenth of the time of text-heavy scripts. Strings belong to one thread, and so does
// this cache. It is never destroyed, so a string freed late in the program's exit still finds it.
constexpr size_t kLongestText = 0x7FFFFFF0u;   // bytes: what a string's 32-bit byte count can hold
size_t g_max_bytes = kLongestText;

constexpr size_t kGrain = 16;
constexpr size_t kClasses = 8;          // blocks of 16, 32, ... 128 bytes
#if defined(__SANITIZE_ADDRESS__)
#define QZ_STR_BLOCKS_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QZ_STR_BLOCKS_CHECKED 1
#endif
#endif
#ifdef QZ_STR_BLOCKS_CHECKED
constexpr size_t kKeepPerClass = 0;     // the address checker must see every use after free
#else
constexpr size_t kKeepPerClass = 4096;  // at most half a megabyte kept in all
#endif

struct FreeBlock {
  FreeBlock* next;
};

struct BlockCache {
  FreeBlock* head[kClasses] = {};
  size_t count[kClasses] = {};
};

BlockCache& block_cache() {
  static BlockCache* cache = new BlockCache();
  return *cache;
}

// The size class of a block of `bytes` (a multiple of kGrain), or kClasses for larger ones.
size_t block_class(size_t bytes) { return bytes <= kGrain * kClasses ? bytes / kGrain - 1 : kClasses; }
}  // namespace

void Str::free_rep(StrRep* rep) {
  size_t bytes = offsetof(StrRep, data) + rep->units * sizeof(char16_t);
  size_t c = block_class(bytes);
  BlockCache& cache = block_cache();
  if (bytes % kGrain == 0 && c < kClasses && cache.count[c] < kKeepPerClass) {
    auto* block = reinterpret_cast<FreeBlock*>(rep);
    block->next = cache.head[c];
    cache.head[c] = block;
    ++cache.count[c];
    return;
  }
  ::operator delete(rep);
}

StrRep* Str::alloc(size_t nbytes, size_t spare_bytes) {
  if (nbytes > g_max_bytes) throw std::bad_alloc();
  spare_bytes = std::min(spare_bytes, g_max_bytes - nbytes);
  // Room for the bytes, an odd last byte's unit and a NUL unit.
  size_t units = (nbytes + spare_bytes + 1) / 2 + 1;
  size_t bytes = offsetof(StrRep, data) + units * sizeof(char16_t);
  StrRep* rep;
  if (bytes <= kGrain * kClasses) {
    // A short string takes a whole block of its class, the rest as room to append.
    bytes = (bytes + kGrain - 1) / kGrain * kGrain;
    units = (bytes - offsetof(StrRep, data)) / sizeof(char16_t);
    size_t c = block_class(bytes);
    BlockCache& cache = block_cache();
    if (FreeBlock* block = cache.head[c]) {
      cache.head[c] = block->next;
      --cache.count[c];
      rep = reinterpret_cast<StrRep*>(block);
    } else {
      rep = static_cast<StrRep*>(::operator new(bytes));
    }
  } else {
    rep = static_cast<StrRep*>(::operator new(bytes));
  }
  rep->refs = 1;
  rep->nbytes = static_cast<uint32_t>(nbytes);
  rep->units = static_cast<uint32_t>(units);
  terminate(rep);
  return rep;
}

// The NUL unit after the text, and a zero high byte in the unit of an odd last byte.
void Str::terminate(StrRep* rep) {
  size_t n = rep->nbytes;
  if (n & 1) reinterpret_cast<uint8_t*>(rep->data)[n] = 0;
  rep->data[(n + 1) / 2] = 0;
}

Str::Str(std::u16string_view text) {
  if (text.empty()) return;
  rep_ = alloc(text.size() * 2);
  std::memcpy(rep_->data, text.data(), text.size() * 2);
}

Str Str::from_bytes(const void* bytes, size_t nbytes) {
  Str s;
  if (nbytes == 0) return s;
  s.rep_ = alloc(nbytes);
  std::memcpy(s.rep_->data, bytes, nbytes);
  return s;
}

Str Str::from_utf8(std::string_view utf8) { return Str(utf8_to_u16(utf8)); }

Str Str::from_ascii(const char* text) { return Str(qz::u16(text)); }

void Str::set_max_bytes(size_t nbytes) { g_max_bytes = std::min(nbytes, kLongestText); }

Str Str::concat(const Str& a, const Str& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  return concat(a.bytes(), a.byte_size(), b.bytes(), b.byte_size());
}

Str Str::concat(const void* a, size_t na, const void* b, size_t nb) {
  Str s;
  if (na + nb == 0) return s;
  s.rep_ = alloc(na + nb);
  auto* out = reinterpret_cast<uint8_t*>(s.rep_->data);
  std::memcpy(out, a, na);
  std::memcpy(out + na, b, nb);
  return s;
}

Str Str::append(Str&& head, const Str& tail) {
  if (tail.empty()) return std::move(head);
  if (head.empty()) return tail;
  if (head.rep_ == tail.rep_) return concat(head, tail);   // the tail would change as it is copied
  return append(std::move(head), tail.bytes(), tail.byte_size());
}

Str Str::append(Str&& head, const void* tail, size_t nb) {
  if (nb == 0) return std::move(head);
  size_t na = head.byte_size();
  if (na + nb > g_max_bytes) throw std::bad_alloc();
  StrRep* rep = head.rep_;
  if (rep && rep->refs == 1 && (na + nb + 1) / 2 + 1 <= rep->units) {
    std::memcpy(reinterpret_cast<uint8_t*>(rep->data) + na, tail, nb);
    rep->nbytes = static_cast<uint32_t>(na + nb);
    terminate(rep);
    return std::move(head);
  }
  Str s;
  s.rep_ = alloc(na + nb, na + nb);
  auto* out = reinterpret_cast<uint8_t*>(s.rep_->data);
  if (na) std::memcpy(out, head.bytes(), na);
  std::memcpy(out + na, tail, nb);
  terminate(s.rep_);
  return s;
}

std::string Str::utf8() const { return u16_to_utf8(view()); }

bool operator==(const Str& a, const Str& b) {
  if (a.rep_ == b.rep_) return true;
  return a.byte_size() == b.byte_size() && std::memcmp(a.bytes(), b.bytes(), a.byte_size()) == 0;
}

std::u16string utf8_to_u16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  size_t i = 0, n = s.size();
  // The ASCII start of the text (often all of it) goes over in one widening copy.
  while (i < n && static_cast<unsigned char>(s[i]) < 0x80) ++i;
  out.resize(i);
  for (size_t k = 0; k < i; ++k) out[k] = static_cast<unsigned char>(s[k]);
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    uint32_t cp;
    size_t len;
    if (c < 0x80) { cp = c; len = 1; }
    else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; len = 2; }
    else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; len = 3; }
    else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; len = 4; }
    else { out.push_back(0xFFFD); ++i; continue; }
    if (i + len > n) { out.push_back(0xFFFD); ++i; continue; }
    bool ok = true;
    for (size_t k = 1; k < len; ++k) {
      unsigned char cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) { ok = false; break; }
      cp = (cp << 6) | (cc & 0x3F);
    }
    static const uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (!ok || cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(0xFFFD); ++i; continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += len;
  }
  return out;
}

std::string u16_to_utf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) out.push_back(static_cast<char>(cp));
    else if (cp < 0x800) { out.push_back(static_cast<char>(0xC0 | (cp >> 6))); out.push_back(static_cast<char>(0x80 | (cp & 0x3F))); }
    else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

// Simple one-to-one case mapping for the scripts people write: Latin-1, Latin Extended-A,
// Greek and Cyrillic. Characters outside these ranges have no case here.
char16_t fold_case(char16_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? static_cast<char16_t>(c + 32) : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
  if (c >= 0x100 && c <= 0x17F) {
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    bool odd_upper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (odd_upper) return (c & 1) ? static_cast<char16_t>(c + 1) : c;
    if (c == 0x178) return 0xFF;
    return (c & 1) ? c : static_cast<char16_t>(c + 1);
  }
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return static_cast<char16_t>(c + 32);
  if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 32);
  if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 80);
  if (c >= 0x460 && c <= 0x4FF && c != 0x482 && !(c >= 0x483 && c <= 0x489) && c != 0x4C0 && c != 0x4CF) {
    if (c >= 0x4C1 && c <= 0x4CE) return (c & 1) ? static_cast<char16_t>(c + 1) : c;
    return (c & 1) ? c : static_cast<char16_t>(c + 1);
  }
  return c;
}

static char16_t upper_case(char16_t c) {
  if (c < 0x80) return (c >= 'a' && c <= 'z') ? static_cast<char16_t>(c - 32) : c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 32);
  if (c == 0xFF) return 0x178;
  if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return static_cast<char16_t>(c - 32);
  if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 32);
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 80);
  if ((c >= 0x100 && c <= 0x17F) || (c >= 0x460 && c <= 0x4FF)) {
    // Find the upper-case partner by trying the neighbours under fold_case.
    if (c > 0 && fold_case(static_cast<char16_t>(c - 1)) == c) return static_cast<char16_t>(c - 1);
  }
  return c;
}

std::u16string lower(std::u16string_view s) {
  std::u16string r(s);
  for (auto& c : r) c = fold_name_char(c);
  return r;
}

std::u16string upper(std::u16string_view s) {
  std::u16string r(s);
  for (auto& c : r) c = upper_case(c);
  return r;
}

bool iequals(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] && fold_case(a[i]) != fold_case(b[i])) return false;
  return true;
}

}  // namespace qz
