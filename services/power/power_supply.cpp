#include "services/power/power_supply.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <optional>

namespace qz {

namespace {

namespace fs = std::filesystem;

// The first line of a small attribute file, at most 64 bytes: these files are one short word.
std::optional<std::string> read_word(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  char buf[64];
  in.read(buf, sizeof buf);
  std::string s(buf, static_cast<size_t>(in.gcount()));
  size_t end = s.find_first_of("\r\n");
  if (end != std::string::npos) s.resize(end);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

std::optional<long long> read_number(const fs::path& file) {
  auto word = read_word(file);
  if (!word || word->empty()) return std::nullopt;
  long long v = 0;
  auto [end, ec] = std::from_chars(word->data(), word->data() + word->size(), v);
  if (ec != std::errc() || end != word->data() + word->size() || v < 0) return std::nullopt;
  return v;
}

}  // namespace

PowerStatus read_power_status(const std::string& root) {
  PowerStatus status;
  std::error_code ec;
  fs::directory_iterator it(root, ec), end;
  if (ec) return status;
  bool any_mains = false, any_online = false;
  long long now_sum = 0, full_sum = 0;  // energy or charge, summed over batteries
  double percent_sum = 0;
  int percent_count = 0;
  for (; it != end; it.increment(ec)) {
    if (ec) break;
    const fs::path dir = it->path();
    auto type = read_word(dir / "type");
    if (!type) continue;
    if (*type == "Mains" || *type == "USB") {
      auto online = read_number(dir / "online");
      if (!online) continue;
      any_mains = true;
      if (*online) any_online = true;
    } else if (*type == "Battery") {
      if (auto present = read_number(dir / "present"); present && *present == 0) continue;
      auto now = read_number(dir / "energy_now"), full = read_number(dir / "energy_full");
      if (!now || !full) now = read_number(dir / "charge_now"), full = read_number(dir / "charge_full");
      if (now && full && *full > 0) {
        now_sum += std::min(*now, *full);
        full_sum += *full;
      } else if (auto cap = read_number(dir / "capacity")) {
        percent_sum += static_cast<double>(std::min<long long>(*cap, 100));
        ++percent_count;
      }
    }
  }
  if (any_mains) status.ac_line = any_online ? 1 : 0;
  if (full_sum > 0) {
    status.battery_percent = static_cast<int>((now_sum * 100 + full_sum / 2) / full_sum);
  } else if (percent_count > 0) {
    status.battery_percent = static_cast<int>(percent_sum / percent_count + 0.5);
  }
  return status;
}

}  // namespace qz
