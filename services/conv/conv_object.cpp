// Members run under a resume-next rule: a failing step gives "", 0 or leaves a by-reference
// argument as it was, and nothing is reported. What reaches the script is what goes wrong
// before a member starts: a missing required argument (450) or an argument that cannot take
// the declared type (13, 94, 6). EncodeUTF8, DecodeUTF8, GetBigLong, mPath, HashString and
// HashFile have no such rule; of them only HashFile can fail at run time (an unreadable file).
#include "services/conv/conv_object.h"

#include "services/conv/icon_object.h"
#include <exception>

#include "com/convert.h"
#include "com/error.h"
#include "formats/byte_buffer.h"
#include "formats/zip/file_io.h"
#include "platform/codepage.h"
#include "platform/path.h"
#include "runtime/engine_link.h"
#include "services/conv/hashing.h"
#include "services/conv/icon_object.h"
#include "services/conv/message_digest.h"
#include "services/conv/pair_tables.h"
#include "services/conv/text_conversion.h"
#include "services/conv/transliteration.h"

namespace qz {

namespace {

void require(Args a, size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (!a.has(i)) raise(kErrArgCount);
}

std::u16string text_arg(Args a, size_t i) {
  require(a, i + 1);
  return to_u16(a[i]);
}

int32_t long_arg(Args a, size_t i, int32_t fallback) { return a.has(i) ? to_long(a[i]) : fallback; }

// The body under the resume-next rule: any failure gives `fallback`.
template <class F>
Variant resume_next(F body, Variant fallback = Variant(Str())) {
  try {
    return body();
  } catch (const std::exception&) {
    return fallback;
  }
}

// Stores bytes into a script's buffer variable as a redimension would: a byte array stays a
// byte array, anything else becomes an array of Byte values. An array declared with fixed
// bounds cannot be redimensioned, so only the elements inside its bounds take bytes.
void store_bytes(Variant& target, std::string_view bytes) {
  if (bytes.empty()) return;  // bounds 0 to -1 cannot be made: the variable keeps its value
  if (target.is_array() && target.as_array()->fixed) {
    ArrayRep* rep = target.array_mut();
    if (rep->dims.size() != 1) return;
    for (size_t i = 0; i < bytes.size(); ++i) {
      int64_t k = static_cast<int64_t>(i) - rep->dims[0].lbound;
      if (k < 0 || k >= rep->dims[0].count) continue;
      uint8_t b = static_cast<uint8_t>(bytes[i]);
      if (rep->elem == VT::Byte) rep->bytes[static_cast<size_t>(k)] = b;
      else rep->items[static_cast<size_t>(k)] = Variant(b);
    }
    return;
  }
  if (target.is_array() && target.as_array()->elem == VT::Byte) target = Variant::byte_array(bytes.data(), bytes.size());
  else target = variant_byte_array(bytes);
}

// A table-driven conversion of the text's ANSI bytes.
std::u16string convert_by_table(std::u16string_view text, std::string_view table, PairDirection direction) {
  const int page = ansi_code_page();
  return decode(page, map_bytes(encode(page, text), pair_map(table, direction)));
}

std::u16string convert_by_builtin_table(std::u16string_view text, std::u16string_view table, PairDirection direction) {
  std::optional<std::string_view> pairs = builtin_pair_table(table);
  return convert_by_table(text, pairs ? *pairs : std::string_view(), direction);
}

class ConvObject : public NativeObject<ConvObject> {
 public:
  explicit ConvObject(ConvLinks links) : links_(std::move(links)) {}
  std::u16string type_name() const override { return u"clsConv"; }

  static void define(Members<ConvObject>& m) {
    define_properties(m);
    define_text_members(m);
    define_buffer_members(m);
    define_file_members(m);
    define_cyrillic_members(m);
    define_hash_members(m);
  }

 private:
  static void define_properties(Members<ConvObject>& m) {
    m.property(u"HP_HASHVAL", [](ConvObject& c, Args) { return Variant(c.params_.value); },
               [](ConvObject& c, Args, const Variant& v) { c.params_.value = to_long(v); });
    m.property(u"HP_HASHSIZE", [](ConvObject& c, Args) { return Variant(c.params_.size); },
               [](ConvObject& c, Args, const Variant& v) { c.params_.size = to_long(v); });
    m.getter(u"Icon", [](ConvObject& c, Args) {
      if (!c.icon_ && c.links_.make_icon) c.icon_ = c.links_.make_icon();
      return Variant(c.icon_);
    });
    auto put_icon = [](ConvObject& c, Args, const Variant& v) { c.icon_ = Ref<Object>(to_object(v)); };
    m.letter(u"Icon", put_icon);
    m.setter(u"Icon", put_icon);
  }

  static void define_text_members(Members<ConvObject>& m) {
    m.method(u"A2W", [](ConvObject&, Args a) {
      require(a, 1);
      Str st = to_str(a[0]);
      int32_t page = long_arg(a, 1, -1), flags = long_arg(a, 2, 0);
      return resume_next([&] { return Variant(multibyte_to_text(st, page, flags)); });
    });
    m.method(u"W2A", [](ConvObject&, Args a) {
      std::u16string st = text_arg(a, 0);
      int32_t page = long_arg(a, 1, -1), flags = long_arg(a, 2, 0);
      return resume_next([&] { return Variant(text_to_multibyte(st, page, flags)); });
    });
    m.method(u"EncodeUTF8", [](ConvObject&, Args a) {
      std::optional<std::u16string> r = encode_as_ansi_bytes(text_arg(a, 0), long_arg(a, 1, 65001));
      return r ? Variant(*r) : Variant();
    });
    m.method(u"DecodeUTF8", [](ConvObject&, Args a) {
      std::optional<std::u16string> r = decode_from_ansi_bytes(text_arg(a, 0), long_arg(a, 1, 65001));
      return r ? Variant(*r) : Variant();
    });
    m.method(u"EncodeBase64", [](ConvObject&, Args a) {
      std::u16string txt = text_arg(a, 0);
      return resume_next([&] { return Variant(base64_encode_text(txt)); });
    });
    m.method(u"DecodeBase64", [](ConvObject&, Args a) {
      std::u16string txt = text_arg(a, 0);
      return resume_next([&] { return Variant(base64_decode_text(txt)); });
    });
    m.method(u"mPath", [](ConvObject& c, Args a) {
      std::u16string path = text_arg(a, 0);
      return Variant(c.links_.expand_path_macros ? c.links_.expand_path_macros(path) : lower(path));
    });
  }

  static void define_buffer_members(Members<ConvObject>& m) {
    m.method(u"Buf2Txt", [](ConvObject&, Args a) {
      require(a, 1);
      return resume_next([&] {
        std::string bytes = bytes_of_array(a[0]);
        return Variant(Str::from_bytes(bytes.data(), bytes.size()));
      });
    });
    m.method(u"Txt2Buf", [](ConvObject&, Args a) {
      require(a, 2);
      std::u16string txt = to_u16(a[0]);
      return resume_next([&] {
        store_bytes(a.ref(1), encode(1251, txt));
        return Variant();
      }, Variant());
    });
    m.method(u"Buf2UniBuf", [](ConvObject&, Args a) {
      require(a, 1);
      return resume_next([&] {
        std::u16string text = decode(ansi_code_page(), bytes_of_array(a[0]));
        std::string units;
        for (char16_t c : text) {
          units.push_back(static_cast<char>(c & 0xFF));
          units.push_back(static_cast<char>(c >> 8));
        }
        store_bytes(a.ref(0), units);
        return Variant();
      }, Variant());
    });
    m.method(u"Byte4Long", [](ConvObject&, Args a) {
      require(a, 4);
      return Variant(long_from_bytes(to_byte(a[0]), to_byte(a[1]), to_byte(a[2]), to_byte(a[3])));
    });
    m.method(u"Long4Byte", [](ConvObject&, Args a) {
      require(a, 5);
      return resume_next([&] {
        int32_t value = 0;
        try {
          value = to_long(a[0]);
        } catch (const std::exception&) {  // skipped: the bytes of 0 follow
        }
        uint8_t b[4];
        bytes_from_long(value, b[0], b[1], b[2], b[3]);
        for (size_t i = 0; i < 4; ++i) a.ref(i + 1) = Variant(b[i]);
        return Variant();
      }, Variant());
    });
    m.method(u"GetBigLong", [](ConvObject&, Args a) {
      require(a, 1);
      int64_t v = static_cast<uint32_t>(to_long(a[0]));
      return Variant::currency(v * 10000);
    });
  }

  static void define_file_members(Members<ConvObject>& m) {
    m.method(u"File2Str", [](ConvObject&, Args a) {
      std::u16string name = text_arg(a, 0);
      return resume_next([&] {
        std::optional<std::string> bytes = read_file_bytes(find_path(name));
        return Variant(bytes ? decode(ansi_code_page(), *bytes) : std::u16string());
      });
    });
    m.method(u"Str2File", [](ConvObject&, Args a) {
      std::u16string text = text_arg(a, 0), name = text_arg(a, 1);
      return resume_next([&] {
        replace_file_bytes(find_path(name), encode(ansi_code_page(), text));
        return Variant();
      }, Variant());
    });
    // Saving a picture needs a picture object; none of the objects here carries one yet, so
    // nothing can be saved and the result is the empty string of a failed save.
    m.method(u"Image2Str", [](ConvObject&, Args a) {
      require(a, 1);
      return Variant(Str());
    });
  }

  static void define_cyrillic_members(Members<ConvObject>& m) {
    struct TableMember {
      std::u16string_view name, table;
      PairDirection direction;
    };
    static constexpr TableMember kTables[] = {
        {u"Win_Koi", u"koi8-r", PairDirection::FromWindows}, {u"Koi_Win", u"koi8-r", PairDirection::ToWindows},
        {u"Win_Iso", u"iso", PairDirection::FromWindows},     {u"Iso_Win", u"iso", PairDirection::ToWindows},
        {u"Win_Cp866", u"cp866", PairDirection::FromWindows}, {u"Cp866_Win", u"cp866", PairDirection::ToWindows},
    };
    for (const TableMember& t : kTables) {
      m.method(t.name, [t](ConvObject&, Args a) {
        std::u16string text = text_arg(a, 0);
        return resume_next([&] { return Variant(convert_by_builtin_table(text, t.table, t.direction)); });
      });
    }
    auto script_table = [](PairDirection direction) {
      return [direction](ConvObject&, Args a) {
        std::u16string text = text_arg(a, 0), table = text_arg(a, 1);
        return resume_next([&] {
          return Variant(convert_by_table(text, encode(ansi_code_page(), table), direction));
        });
      };
    };
    m.method(u"Win_XLT", script_table(PairDirection::FromWindows));
    m.method(u"XLT_Win", script_table(PairDirection::ToWindows));

    using TextFn = std::u16string (*)(std::u16string_view);
    auto text_member = [](TextFn fn) {
      return [fn](ConvObject&, Args a) {
        std::u16string text = text_arg(a, 0);
        return resume_next([&] { return Variant(fn(text)); });
      };
    };
    m.method(u"Rus_Lat", text_member(russian_to_latin));
    m.method(u"Lat_Rus", text_member(latin_to_russian));
    m.method(u"LKey_RKey", text_member(latin_keys_to_russian));
    m.method(u"RKey_LKey", text_member(russian_keys_to_latin));
  }

  static void define_hash_members(Members<ConvObject>& m) {
    m.method(u"HashFile", [](ConvObject& c, Args a) {
      std::u16string name = text_arg(a, 0);
      int32_t algorithm = long_arg(a, 1, kDigestMD5);
      return Variant(Str::from_ascii(hash_file_hex(find_path(name), algorithm, c.params_).c_str()));
    });
    m.method(u"HashString", [](ConvObject& c, Args a) {
      std::u16string text = text_arg(a, 0);
      int32_t algorithm = long_arg(a, 1, kDigestMD5);
      return Variant(Str::from_ascii(hash_text_hex(text, algorithm, c.params_).c_str()));
    });
  }

  ConvLinks links_;
  DigestParams params_;
  Ref<Object> icon_;
};

}  // namespace

Ref<Object> new_conv_object(ConvLinks links) { return make_ref<ConvObject>(std::move(links)); }

Ref<Object> create_conv_service(EngineLink& engine) {
  ConvLinks links;
  links.expand_path_macros = [&engine](std::u16string_view path) { return engine.expand_path_macros(path); };
  links.make_icon = new_icon_object;
  return new_conv_object(std::move(links));
}

}  // namespace qz
