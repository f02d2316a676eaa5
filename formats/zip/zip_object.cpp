// clsZIP. Extract runs under a resume-next rule; everything else reports failures (a damaged
// archive, an entry index out of range, a bad date or pattern) as run-time errors.
#include "formats/zip/zip_object.h"

#include "com/convert.h"
#include "com/error.h"
#include "formats/zip/dos_time.h"
#include "formats/zip/file_io.h"
#include "formats/zip/zip_archive.h"
#include "formats/zip/zip_entry_ops.h"
#include "platform/codepage.h"
#include "platform/path.h"

namespace qz {

namespace {

constexpr int32_t kErrPathAccess = 75;
constexpr int32_t kErrBadFormat = 321;

Variant ansi_text(const std::string& bytes) { return Variant(decode(ansi_code_page(), bytes)); }

// Bytes for a field with a 16-bit length, which scripts see as a signed number.
std::string field_bytes(std::string bytes) {
  if (bytes.size() > 32767) raise(kErrOverflow);
  return bytes;
}

std::string field_text(const Variant& v) { return field_bytes(encode(ansi_code_page(), to_u16(v))); }

std::u16string two_digits(int v) { return {static_cast<char16_t>(u'0' + v / 10), static_cast<char16_t>(u'0' + v % 10)}; }

// The system's short date format, a space and the 24-hour time.
std::u16string date_time_text(const CalendarTime& t) {
  std::u16string year;
  for (char c : std::to_string(t.year)) year += static_cast<char16_t>(c);
  std::u16string date = language_id() == 1049
                            ? two_digits(t.day) + u"." + two_digits(t.month) + u"." + year
                            : std::u16string(to_u16(Variant(int32_t{t.month}))) + u"/" + to_u16(Variant(int32_t{t.day})) + u"/" + year;
  return date + u" " + two_digits(t.hour) + u":" + two_digits(t.minute) + u":" + two_digits(t.second);
}

class ZipObject : public NativeObject<ZipObject> {
 public:
  explicit ZipObject(std::function<std::u16string()> script_folder) : script_folder_(std::move(script_folder)) {}
  std::u16string type_name() const override { return u"clsZIP"; }

  static void define(Members<ZipObject>& m) {
    m.method(u"Add", [](ZipObject& z, Args a) {
      zip_add(z.archive_, to_u16(a[0]), a.has(1) ? to_u16(a[1]) : std::u16string(), a.has(2) ? to_u16(a[2]) : std::u16string());
      return Variant(int32_t{0});
    });
    m.method(u"Remove", [](ZipObject& z, Args a) {
      zip_remove(z.archive_, to_u16(a[0]), a.has(1) ? to_bool(a[1]) : false);
      return Variant(int32_t{0});
    });
    m.method(u"Extract", [](ZipObject& z, Args a) {
      try {
        std::u16string base = a.has(1) ? to_u16(a[1]) : std::u16string();
        if (base.empty()) base = z.script_folder_ ? z.script_folder_() : u"./";
        std::optional<std::string> bytes =
            zip_extract(z.archive_, to_u16(a[0]), base, a.has(2) ? to_long(a[2]) : 0, a.has(3) && to_bool(a[3]));
        if (bytes) return Variant::byte_array(bytes->data(), bytes->size());
      } catch (...) {
      }
      return Variant();
    });
    m.method(u"ZIP_Open", [](ZipObject& z, Args a) {
      z.open(to_u16(a[0]));
      return Variant(int32_t{0});
    });
    m.method(u"ZIP_Close", [](ZipObject& z, Args a) {
      z.close(a.has(0) ? to_u16(a[0]) : std::u16string(), a.has(1) && to_bool(a[1]));
      return Variant(int32_t{0});
    });
    m.method(u"ZIP_Clear", [](ZipObject& z, Args) {
      z.clear();
      return Variant(int32_t{0});
    });
    m.getter(u"Count", [](ZipObject& z, Args) { return Variant(static_cast<int32_t>(z.archive_.entries.size())); });
    m.property(
        u"Comment", [](ZipObject& z, Args) { return ansi_text(z.archive_.comment); },
        [](ZipObject& z, Args, const Variant& v) { z.archive_.comment = field_text(v); });

    text_field(m, u"Files_LocalFileName", &ZipEntry::local_name, &ZipEntry::local_flags);
    text_field(m, u"Files_CentralFileName", &ZipEntry::central_name, &ZipEntry::central_flags);
    text_field(m, u"Files_LocalExtraField", &ZipEntry::local_extra, nullptr);
    text_field(m, u"Files_CentralExtraField", &ZipEntry::central_extra, nullptr);
    text_field(m, u"Files_Comment", &ZipEntry::comment, &ZipEntry::central_flags);
    m.getter(u"Files_CompressionMethod", [](ZipObject& z, Args a) {
      return Variant(static_cast<int16_t>(z.entry(a).local_method));
    });
    m.getter(u"Files_Crc32", [](ZipObject& z, Args a) { return Variant(static_cast<int32_t>(z.entry(a).local_crc)); });
    m.getter(u"Files_CompressedSize", [](ZipObject& z, Args a) {
      return Variant(static_cast<int32_t>(z.entry(a).local_compressed));
    });
    m.getter(u"Files_UnCompressedSize", [](ZipObject& z, Args a) {
      return Variant(static_cast<int32_t>(z.entry(a).local_uncompressed));
    });
    m.getter(u"Files_IsRemove", [](ZipObject& z, Args a) { return Variant(z.entry(a).removed); });
    m.property(
        u"Files_DateTime",
        [](ZipObject& z, Args a) {
          const ZipEntry& e = z.entry(a);
          CalendarTime t;
          if (!calendar_from_dos(DosDateTime{e.local_date, e.local_time}, t)) return Variant(Str());
          return Variant(date_time_text(t));
        },
        [](ZipObject& z, Args a, const Variant& v) {
          ZipEntry& e = z.entry(a);
          double serial = 0;
          if (value_of(v).type() == VT::Date) serial = to_date(v);
          else if (!parse_date(to_u16(v), serial)) raise(kErrTypeMismatch);
          CalendarTime c;
          int weekday = 0;
          date_to_parts(serial, c.year, c.month, c.day, c.hour, c.minute, c.second, weekday);
          if (c.year < 1980 || c.year > 2107) raise(kErrIllegalCall);  // no DOS date for it
          DosDateTime d = dos_from_calendar(c);
          e.local_date = e.central_date = d.date;
          e.local_time = e.central_time = d.time;
        });
    m.property(
        u"AvtoClear", [](ZipObject& z, Args) { return Variant(z.avto_clear_); },
        [](ZipObject& z, Args, const Variant& v) { z.avto_clear_ = to_bool(v); });
    m.getter(u"IsRegExp", [](ZipObject&, Args) { return Variant(true); });
    m.method(u"CreateDir", [](ZipObject&, Args a) {
      zip_create_dir(to_u16(a[0]));
      return Variant();
    });
  }

 private:
  // A name or comment follows its header's UTF-8 flag (`flags`); extra fields are bytes.
  static void text_field(Members<ZipObject>& m, std::u16string_view name, std::string ZipEntry::*field,
                         uint16_t ZipEntry::*flags) {
    m.property(
        name,
        [field, flags](ZipObject& z, Args a) {
          const ZipEntry& e = z.entry(a);
          return Variant(zip_entry_text(e.*field, flags ? e.*flags : 0));
        },
        [field, flags](ZipObject& z, Args a, const Variant& v) {
          ZipEntry& e = z.entry(a);
          e.*field = field_bytes(zip_entry_text_bytes(to_u16(v), flags ? e.*flags : 0));
        });
  }

  ZipEntry& entry(Args a) {
    int32_t i = to_long(a[0]);
    if (i < 0 || static_cast<size_t>(i) >= archive_.entries.size()) raise(kErrSubscript);
    return archive_.entries[static_cast<size_t>(i)];
  }

  void clear() {
    archive_.clear();
    file_name_.clear();
  }

  void open(const std::u16string& name) {
    const std::string path = find_path(name);
    if (!path_exists(path)) return;
    if (avto_clear_) clear();
    file_name_ = name;
    // Offsets are 32-bit: a larger file is no archive this format can describe.
    std::optional<std::string> bytes = read_file_bytes(path, 0xFFFFFFFFu);
    if (!bytes) {
      if (file_exists(path)) raise(kErrBadFormat, u"Invalid file format");
      raise(kErrPathAccess);
    }
    switch (read_zip(*bytes, archive_)) {
      case ZipReadResult::Loaded:
      case ZipReadResult::NoEndRecord:
      case ZipReadResult::NoEntries:  // a valid empty archive: its comment, no entries
        return;
      case ZipReadResult::Damaged:
        raise(kErrBadFormat, u"Invalid file format: the archive is damaged");
    }
  }

  void close(std::u16string name, bool overwrite) {
    if (name.empty()) name = file_name_;
    if (name.empty() || archive_.entries.empty()) return;
    const std::string path = find_path(name);
    if (path_exists(path) && !overwrite) return;
    if (!replace_file_bytes(path, write_zip(archive_))) raise(kErrPathAccess);
    if (avto_clear_) clear();
  }

  ZipArchive archive_;
  std::u16string file_name_;
  bool avto_clear_ = true;
  std::function<std::u16string()> script_folder_;
};

}  // namespace

Ref<Object> new_zip_object(std::function<std::u16string()> script_folder) {
  return make_ref<ZipObject>(std::move(script_folder));
}

}  // namespace qz
