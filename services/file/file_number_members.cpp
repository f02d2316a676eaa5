// The file-number members of sys.File: open, close, position, text and typed input and output.
#include <algorithm>

#include "com/convert.h"
#include "platform/codepage.h"
#include "platform/path.h"
#include "services/file/file_object.h"
#include "services/file/file_table.h"

namespace qz {

namespace {

int number_of(const Variant& v) { return to_integer(v); }

// "input", "output", "append", "binary", "random" in any case; false for other words.
bool open_mode(std::u16string word, FileMode& mode, bool& random) {
  std::transform(word.begin(), word.end(), word.begin(), [](char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
  });
  random = word == u"random";
  if (word == u"input") mode = FileMode::Input;
  else if (word == u"output") mode = FileMode::Output;
  else if (word == u"append") mode = FileMode::Append;
  else if (word == u"binary" || random) mode = FileMode::Binary;
  else return false;
  return true;
}

int32_t clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

void FileObject::define_number_members(Members<FileObject>& m) {
  m.method(u"FileOpen", [](FileObject& f, Args a) {
    int16_t number = 0;
    try {
      number = to_integer(a[1]);
      if (number == 0) number = static_cast<int16_t>(file_table().free_number());
    } catch (...) {
      return Variant(number);
    }
    bool in_table = number >= 0 && number < kRecordSlots;
    if (in_table) f.record_lengths[static_cast<size_t>(number)] = 1;
    // 0 tells the script the file is not open: an unknown mode word or a failed open.
    bool opened = false;
    try {
      FileMode mode;
      bool random = false;
      if (open_mode(to_u16(a[2]), mode, random)) {
        if (random && in_table) f.record_lengths[static_cast<size_t>(number)] = a.has(3) ? to_integer(a[3]) : 0;
        file_table().open(number, find_path(to_u16(a[0])), mode);
        opened = file_table().is_open(number);
      }
    } catch (...) {
    }
    return Variant(opened ? number : int16_t{0});
  });
  m.method(u"FileFree", [](FileObject&, Args) {
    return resume_next([] { return Variant(static_cast<int16_t>(file_table().free_number())); }, Variant(int16_t{0}));
  });
  m.method(u"FileClose", [](FileObject&, Args a) {
    return resume_next([&] { file_table().close(number_of(a[0])); return Variant(); });
  });
  m.method(u"Reset2", [](FileObject&, Args) {
    file_table().close_all();
    return Variant();
  });
  m.method(u"FileEOF", [](FileObject&, Args a) {
    return resume_next([&] { return Variant(file_table().eof(number_of(a[0]))); }, Variant(false));
  });
  m.method(u"FileLOF", [](FileObject&, Args a) {
    return resume_next([&] { return Variant(clamp32(file_table().length(number_of(a[0])))); }, Variant(int32_t{0}));
  });
  m.method(u"FileLOC", [](FileObject&, Args a) {
    return resume_next([&] { return Variant(clamp32(file_table().location(number_of(a[0])))); }, Variant(int32_t{0}));
  });
  m.method(u"Seek2", [](FileObject&, Args a) {
    return resume_next([&] {
      int number = number_of(a[0]);
      int32_t pos = a.has(1) ? to_long(a[1]) : 0;
      if (pos > 0) {
        file_table().seek(number, pos);
        return Variant(int32_t{0});
      }
      return Variant(clamp32(file_table().position(number)));
    }, Variant(int32_t{0}));
  });
  m.method(u"SetLock", [](FileObject&, Args a) {
    return resume_next([&] { file_table().lock(number_of(a[0]), true); return Variant(); });
  });
  m.method(u"SetUnLock", [](FileObject&, Args a) {
    return resume_next([&] { file_table().lock(number_of(a[0]), false); return Variant(); });
  });
  m.method(u"FileLineInput", [](FileObject&, Args a) {
    return resume_next([&] {
      std::string line = file_table().read_line(number_of(a[0]));
      if (a.size() > 1) a.ref(1) = Variant(decode(ansi_code_page(), line));
      return Variant();
    });
  });
  m.method(u"FileInput", [](FileObject&, Args a) {
    return resume_next([&] {
      Variant field = file_table().read_field(number_of(a[0]));
      if (a.size() > 1) a.ref(1) = field;
      return Variant();
    });
  });
  m.method(u"FilePrint", [](FileObject&, Args a) {
    return resume_next([&] {
      int number = number_of(a[0]);
      const Variant& v = a[1];
      std::u16string text = v.is_null() ? u"Null" : v.is_missing() ? u"" : to_u16(v);
      file_table().write_line(number, encode(ansi_code_page(), text));
      return Variant();
    });
  });
  m.method(u"FileGet", [](FileObject& f, Args a) {
    return resume_next([&] {
      int number = number_of(a[0]);
      int64_t pos = resume_next([&] { return Variant(a.has(1) ? to_long(a[1]) : 0); }, Variant(int32_t{0})).as_long();
      if (a.size() > 2) f.get_typed(number, pos, a.ref(2));
      return Variant();
    });
  });
  m.method(u"FilePut", [](FileObject& f, Args a) {
    return resume_next([&] {
      int number = number_of(a[0]);
      int64_t pos = resume_next([&] { return Variant(a.has(1) ? to_long(a[1]) : 0); }, Variant(int32_t{0})).as_long();
      if (a.size() > 2) f.put_typed(number, pos, a[2]);
      return Variant();
    });
  });
}

}  // namespace qz
