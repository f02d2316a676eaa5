#include "formats/pe/resource_directory.h"

#include <algorithm>

#include "formats/pe/le_bytes.h"
#include "platform/codepage.h"

namespace qz::pe {

namespace {

constexpr uint32_t kHighBit = 0x80000000u;
constexpr size_t kMaxLeaves = 1 << 16;
constexpr size_t kMaxVisits = 1 << 20;  // directory entries walked, shared subdirectories counted again

char16_t fold(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

int compare_names(std::u16string_view a, std::u16string_view b) {
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    char16_t x = fold(a[i]), y = fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Directory order: names first (without regard to case), then integers ascending.
int compare_ids(const ResourceId& a, const ResourceId& b) {
  if (a.named != b.named) return a.named ? -1 : 1;
  if (a.named) return compare_names(a.name, b.name);
  return a.id == b.id ? 0 : (a.id < b.id ? -1 : 1);
}

class DirectoryReader {
 public:
  DirectoryReader(std::string_view image, const Layout& layout, std::string_view dir)
      : image_(image), layout_(layout), dir_(dir), copy_limit_(image.size() + (1u << 20)) {}

  bool read(ResourceSet& out, std::string& error) {
    ResourceId path[2];
    if (!walk(0, 0, path, out)) {
      error = std::string("damaged resource directory (") + why_ + ")";
      return false;
    }
    return true;
  }

 private:
  bool fail(const char* why) {
    why_ = why;
    return false;
  }

  bool name_at(uint32_t field, ResourceId& id) {
    if (!(field & kHighBit)) {
      id = ResourceId::number(static_cast<uint16_t>(field & 0xFFFF));
      return true;
    }
    size_t at = field & ~kHighBit;
    if (at > dir_.size() || dir_.size() - at < 2) return fail("name outside the directory");
    size_t len = get16(dir_, at);
    if ((dir_.size() - at - 2) / 2 < len) return fail("name runs past the directory");
    std::u16string name(len, u'\0');
    for (size_t i = 0; i < len; ++i) name[i] = static_cast<char16_t>(get16(dir_, at + 2 + 2 * i));
    id = ResourceId::text(std::move(name));
    return true;
  }

  bool walk(size_t at, int level, ResourceId* path, ResourceSet& out) {
    if (at > dir_.size() || dir_.size() - at < 16) return fail("directory table outside the section");
    size_t count = size_t{get16(dir_, at + 12)} + get16(dir_, at + 14);
    if ((dir_.size() - at - 16) / 8 < count) return fail("directory entries outside the section");
    for (size_t i = 0; i < count; ++i) {
      if (++visits_ > kMaxVisits) return fail("too many entries");
      uint32_t name_field = get32(dir_, at + 16 + 8 * i);
      uint32_t target = get32(dir_, at + 16 + 8 * i + 4);
      if (level < 2) {
        if (!(target & kHighBit)) return fail("data where a subdirectory belongs");
        if (!name_at(name_field, path[level])) return false;
        if (!walk(target & ~kHighBit, level + 1, path, out)) return false;
        continue;
      }
      if (target & kHighBit) return fail("subdirectory below the language level");
      if (name_field & kHighBit) return fail("named language");
      if (!leaf(target, path, static_cast<uint16_t>(name_field & 0xFFFF), out)) return false;
    }
    return true;
  }

  bool leaf(size_t entry, const ResourceId* path, uint16_t language, ResourceSet& out) {
    if (++leaves_ > kMaxLeaves) return fail("too many resources");
    if (entry > dir_.size() || dir_.size() - entry < 16) return fail("data entry outside the section");
    uint32_t rva = get32(dir_, entry), size = get32(dir_, entry + 4);
    size_t available = 0;
    std::optional<size_t> at = size ? layout_.file_offset(rva, &available) : std::optional<size_t>(0);
    if (!at || available < size) return fail("resource data outside the image");
    copied_ += size;
    if (copied_ > copy_limit_) return fail("resource data counted more than once");
    Resource r;
    r.type = path[0];
    r.name = path[1];
    r.language = language;
    r.code_page = get32(dir_, entry + 8);
    r.data.assign(image_.substr(*at, size));
    out.items().push_back(std::move(r));
    return true;
  }

  std::string_view image_;
  const Layout& layout_;
  std::string_view dir_;
  uint64_t copy_limit_;
  uint64_t copied_ = 0;
  size_t visits_ = 0, leaves_ = 0;
  const char* why_ = "";
};

void append_name(std::string& out, std::u16string_view name) {
  append16(out, static_cast<uint32_t>(name.size()));
  for (char16_t c : name) append16(out, c);
}

}  // namespace

ResourceId ResourceId::parse(std::u16string_view s) {
  if (s.size() > 1 && s[0] == u'#') {
    uint32_t n = 0;
    bool digits = true;
    for (char16_t c : s.substr(1)) {
      if (c < u'0' || c > u'9') {
        digits = false;
        break;
      }
      n = n * 10 + (c - u'0');
      if (n > 0xFFFF) {
        digits = false;
        break;
      }
    }
    if (digits) return number(static_cast<uint16_t>(n));
  }
  return text(std::u16string(s));
}

bool ResourceId::same(const ResourceId& o) const { return compare_ids(*this, o) == 0; }

const Resource* ResourceSet::find(const ResourceId& type, const ResourceId& name, uint16_t language) const {
  for (const Resource& r : items_)
    if (r.language == language && r.type.same(type) && r.name.same(name)) return &r;
  return nullptr;
}

const Resource* ResourceSet::find_any(const ResourceId& type, const ResourceId& name, uint16_t language) const {
  if (language != 0) return find(type, name, language);
  for (uint16_t preferred : {uint16_t{0}, static_cast<uint16_t>(language_id()), uint16_t{0x0409}})
    if (const Resource* r = find(type, name, preferred)) return r;
  for (const Resource& r : items_)
    if (r.type.same(type) && r.name.same(name)) return &r;
  return nullptr;
}

void ResourceSet::put(const ResourceId& type, const ResourceId& name, uint16_t language, std::string data) {
  for (Resource& r : items_)
    if (r.language == language && r.type.same(type) && r.name.same(name)) {
      r.data = std::move(data);
      return;
    }
  items_.push_back(Resource{type, name, language, 0, std::move(data)});
}

bool ResourceSet::remove(const ResourceId& type, const ResourceId& name, uint16_t language) {
  auto it = std::find_if(items_.begin(), items_.end(), [&](const Resource& r) {
    return r.language == language && r.type.same(type) && r.name.same(name);
  });
  if (it == items_.end()) return false;
  items_.erase(it);
  return true;
}

std::optional<ResourceSet> read_resources(std::string_view image, std::string& error) {
  auto layout = parse_layout(image, error);
  if (!layout) return std::nullopt;
  ResourceSet set;
  if (layout->resource_rva == 0) return set;
  size_t available = 0;
  auto at = layout->file_offset(layout->resource_rva, &available);
  if (!at) {
    error = "damaged resource directory (outside every section)";
    return std::nullopt;
  }
  DirectoryReader reader(image, *layout, image.substr(*at, available));
  if (!reader.read(set, error)) return std::nullopt;
  return set;
}

std::string build_resource_section(const ResourceSet& set, uint32_t rva) {
  // Sorted copy of the items, grouped into types and names by runs.
  std::vector<const Resource*> order;
  for (const Resource& r : set.items()) order.push_back(&r);
  std::stable_sort(order.begin(), order.end(), [](const Resource* a, const Resource* b) {
    if (int c = compare_ids(a->type, b->type)) return c < 0;
    if (int c = compare_ids(a->name, b->name)) return c < 0;
    return a->language < b->language;
  });
  struct Name { size_t first, count; };
  struct Type { size_t first_name, name_count; };
  std::vector<Type> types;
  std::vector<Name> names;
  for (size_t i = 0; i < order.size(); ++i) {
    bool new_type = i == 0 || !order[i]->type.same(order[i - 1]->type);
    if (new_type) types.push_back(Type{names.size(), 0});
    if (new_type || !order[i]->name.same(order[i - 1]->name)) {
      names.push_back(Name{i, 0});
      ++types.back().name_count;
    }
    ++names.back().count;
  }

  // Offsets: root, type-level tables, name-level tables, data entries, names, data.
  const size_t root_size = 16 + 8 * types.size();
  std::vector<size_t> type_table(types.size()), name_table(names.size());
  size_t at = root_size;
  for (size_t t = 0; t < types.size(); ++t) {
    type_table[t] = at;
    at += 16 + 8 * types[t].name_count;
  }
  for (size_t n = 0; n < names.size(); ++n) {
    name_table[n] = at;
    at += 16 + 8 * names[n].count;
  }
  const size_t entries_at = at;
  at += 16 * order.size();

  std::string out(at, '\0');
  auto table_header = [&](size_t where, const std::vector<const ResourceId*>& ids) {
    size_t named = 0;
    for (const ResourceId* id : ids) named += id->named;
    put16(out, where + 12, static_cast<uint32_t>(named));
    put16(out, where + 14, static_cast<uint32_t>(ids.size() - named));
  };
  auto id_field = [&](const ResourceId& id) -> uint32_t {
    if (!id.named) return id.id;
    size_t where = out.size();
    append_name(out, id.name);
    return static_cast<uint32_t>(where) | kHighBit;
  };

  std::vector<const ResourceId*> ids;
  for (const Type& t : types) ids.push_back(&order[names[t.first_name].first]->type);
  table_header(0, ids);
  for (size_t t = 0; t < types.size(); ++t) {
    put32(out, 16 + 8 * t, id_field(*ids[t]));
    put32(out, 16 + 8 * t + 4, static_cast<uint32_t>(type_table[t]) | kHighBit);
    std::vector<const ResourceId*> name_ids;
    for (size_t k = 0; k < types[t].name_count; ++k) {
      size_t n = types[t].first_name + k;
      name_ids.push_back(&order[names[n].first]->name);
      put32(out, type_table[t] + 16 + 8 * k, id_field(*name_ids.back()));
      put32(out, type_table[t] + 16 + 8 * k + 4, static_cast<uint32_t>(name_table[n]) | kHighBit);
    }
    table_header(type_table[t], name_ids);
  }
  for (size_t n = 0; n < names.size(); ++n) {
    put16(out, name_table[n] + 14, static_cast<uint32_t>(names[n].count));
    for (size_t k = 0; k < names[n].count; ++k) {
      size_t leaf = names[n].first + k;
      put32(out, name_table[n] + 16 + 8 * k, order[leaf]->language);
      put32(out, name_table[n] + 16 + 8 * k + 4, static_cast<uint32_t>(entries_at + 16 * leaf));
    }
  }
  for (size_t leaf = 0; leaf < order.size(); ++leaf) {
    out.resize(align_up(out.size(), 8), '\0');
    const size_t entry = entries_at + 16 * leaf;
    put32(out, entry, rva + static_cast<uint32_t>(out.size()));
    put32(out, entry + 4, static_cast<uint32_t>(order[leaf]->data.size()));
    put32(out, entry + 8, order[leaf]->code_page);
    out += order[leaf]->data;
  }
  out.resize(align_up(out.size(), 8), '\0');
  return out;
}

bool write_resources(std::string& image, const ResourceSet& set, std::string& error) {
  return replace_resource_section(image, [&](uint32_t rva) { return build_resource_section(set, rva); }, error);
}

}  // namespace qz::pe
