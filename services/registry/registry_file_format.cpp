#include "services/registry/registry_file_format.h"

#include <charconv>
#include <set>
#include <vector>

#include "com/str.h"
#include "platform/codepage.h"

namespace qz {

namespace {

constexpr std::string_view kHeader = "quazel-registry 1";

const char* type_word(RegType t) {
  switch (t) {
    case RegType::Sz: return "sz";
    case RegType::ExpandSz: return "expand_sz";
    case RegType::Dword: return "dword";
    case RegType::Binary: return "binary";
  }
  return "sz";
}

bool type_from_word(std::string_view w, RegType& t) {
  for (RegType c : {RegType::Sz, RegType::ExpandSz, RegType::Dword, RegType::Binary}) {
    if (w == type_word(c)) {
      t = c;
      return true;
    }
  }
  return false;
}

void append_hex(std::string& out, unsigned value, int digits) {
  static const char kDigits[] = "0123456789abcdef";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out.push_back(kDigits[(value >> shift) & 0xF]);
}

void append_escaped(std::string& out, std::u16string_view text) {
  size_t run = 0;  // start of the units written as plain UTF-8
  auto flush = [&](size_t end) {
    if (end > run) out += u16_to_utf8(text.substr(run, end - run));
  };
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    bool high = c >= 0xD800 && c <= 0xDBFF, low = c >= 0xDC00 && c <= 0xDFFF;
    if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      ++i;  // a proper pair: plain UTF-8
      continue;
    }
    if (c < 0x20 || c == 0x7F || c == u'%') {
      flush(i);
      out += '%';
      append_hex(out, c, 2);
      run = i + 1;
    } else if (high || low) {
      flush(i);
      out += "%u";
      append_hex(out, c, 4);
      run = i + 1;
    }
  }
  flush(text.size());
}

bool unescape(std::string_view field, std::u16string& out) {
  out.clear();
  size_t run = 0;
  auto flush = [&](size_t end) {
    std::string_view plain = field.substr(run, end - run);
    if (!is_valid_utf8(plain)) return false;
    out += utf8_to_u16(plain);
    return true;
  };
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '%') continue;
    if (!flush(i)) return false;
    size_t digits = 2, start = i + 1;
    if (start < field.size() && field[start] == 'u') digits = 4, ++start;
    if (start + digits > field.size()) return false;
    unsigned unit = 0;
    for (size_t k = 0; k < digits; ++k) {
      int d = hex_digit_value(static_cast<unsigned char>(field[start + k]));
      if (d < 0) return false;
      unit = unit * 16 + static_cast<unsigned>(d);
    }
    out.push_back(static_cast<char16_t>(unit));
    i = start + digits - 1;
    run = i + 1;
  }
  return flush(field.size());
}

std::vector<std::string_view> split_tabs(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  while (true) {
    size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

bool parse_value_data(RegValue& v, std::string_view data) {
  switch (v.type) {
    case RegType::Sz:
    case RegType::ExpandSz:
      return unescape(data, v.text);
    case RegType::Dword: {
      if (data.empty()) return false;
      auto [end, ec] = std::from_chars(data.data(), data.data() + data.size(), v.number);
      return ec == std::errc() && end == data.data() + data.size();
    }
    case RegType::Binary: {
      if (data.size() % 2) return false;
      v.bytes.clear();
      for (size_t i = 0; i < data.size(); i += 2) {
        int hi = hex_digit_value(static_cast<unsigned char>(data[i]));
        int lo = hex_digit_value(static_cast<unsigned char>(data[i + 1]));
        if (hi < 0 || lo < 0) return false;
        v.bytes.push_back(static_cast<char>(hi * 16 + lo));
      }
      return true;
    }
  }
  return false;
}

}  // namespace

std::string format_reg_hive(const RegHive& hive) {
  std::string out(kHeader);
  out += '\n';
  for (const auto& [folded, key] : hive.keys()) {
    // The root is always there; it needs a record only for its values.
    if (key.path.empty() && key.values.empty()) continue;
    out += "key\t";
    append_escaped(out, key.path);
    out += '\n';
    for (const auto& v : key.values) {
      out += "value\t";
      append_escaped(out, v.name);
      out += '\t';
      out += type_word(v.type);
      out += '\t';
      switch (v.type) {
        case RegType::Sz:
        case RegType::ExpandSz: append_escaped(out, v.text); break;
        case RegType::Dword: out += std::to_string(v.number); break;
        case RegType::Binary:
          for (unsigned char b : v.bytes) append_hex(out, b, 2);
          break;
      }
      out += '\n';
    }
  }
  return out;
}

bool parse_reg_hive(std::string_view bytes, RegHive& out, std::string& error) {
  out = RegHive();
  RegKey* current = nullptr;
  std::set<std::u16string> recorded;  // folded paths that had a key record
  size_t line_no = 0, pos = 0;
  auto fail = [&](std::string_view why) {
    error = "line " + std::to_string(line_no) + ": " + std::string(why);
    return false;
  };
  while (pos < bytes.size()) {
    size_t nl = bytes.find('\n', pos);
    if (nl == std::string_view::npos) nl = bytes.size();
    std::string_view line = bytes.substr(pos, nl - pos);
    pos = nl + 1;
    ++line_no;
    if (line_no == 1) {
      if (line != kHeader) return fail("not a registry store file");
      continue;
    }
    if (line.empty()) continue;
    auto fields = split_tabs(line);
    if (fields[0] == "key") {
      std::u16string path;
      if (fields.size() != 2 || !unescape(fields[1], path)) return fail("bad key record");
      if (!path.empty() && (path.front() == u'\\' || path.back() == u'\\' || path.find(u"\\\\") != std::u16string::npos))
        return fail("bad key path");
      if (!recorded.insert(lower(path)).second) return fail("key recorded twice");
      current = &out.ensure(path);
      current->path = std::move(path);  // the case as recorded, also for a parent made earlier
    } else if (fields[0] == "value") {
      if (!current) return fail("value record before any key record");
      RegValue v;
      if (fields.size() != 4 || !unescape(fields[1], v.name) || !type_from_word(fields[2], v.type) ||
          !parse_value_data(v, fields[3]))
        return fail("bad value record");
      if (current->find(v.name)) return fail("value recorded twice");
      current->values.push_back(std::move(v));
    } else {
      return fail("unknown record");
    }
  }
  if (line_no == 0) return fail("empty file");
  return true;
}

}  // namespace qz
