// sys.Resource over a resource table filled as the translator fills it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "com/convert.h"
#include "engine/translator/translator_state.h"
#include "formats/byte_buffer.h"
#include "platform/path.h"
#include "services/resource/resource_object.h"

namespace qz {
namespace {

std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ResourceObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = temp_folder() + "qz_res_" + std::to_string(::getpid()) + "/";
    ::mkdir(folder_.c_str(), 0700);
    state_.resources.store(1, 1, {std::string("0123456789"), u"data.bin"});
    state_.resources.store(1, 5, {std::string("\xC6\xF3\xEA"), u"text.txt"});  // "Жук" in windows-1251
    state_.modules.set(1, {u"main", 1, ModuleKind::Module, u"", script_path(folder_)});
    ResourceLookup lookup;
    lookup.resource = [this](int module, int id) { return state_.resources.find(module, id); };
    lookup.module_folder = [this](int module) {
      const ModuleEntry* e = state_.modules.find(module);
      return e ? e->folder : std::u16string();
    };
    res_ = new_resource_object(std::move(lookup));
  }
  void TearDown() override {
    ::unlink((folder_ + "data.bin").c_str());
    ::unlink((folder_ + "other.bin").c_str());
    ::rmdir(folder_.c_str());
  }
  Variant call(std::u16string_view name, std::vector<Variant> args) { return res_->call(name, std::move(args)); }

  std::string folder_;
  TranslatorState state_;
  Ref<Object> res_;
};

TEST_F(ResourceObjectTest, NamesAndText) {
  EXPECT_EQ(to_u16(call(u"NameRes", {Variant(int32_t{1}), Variant(int32_t{1})})), u"data.bin");
  EXPECT_EQ(to_u16(call(u"NameRes", {Variant(int32_t{3}), Variant(int32_t{1})})), u"");  // inside, never filled
  EXPECT_EQ(to_u16(call(u"NameRes", {Variant(int32_t{9}), Variant(int32_t{1})})), u"");  // outside
  EXPECT_EQ(to_u16(call(u"NameRes", {Variant(int32_t{1}), Variant(int32_t{300})})), u"");
  EXPECT_EQ(to_u16(call(u"Str", {Variant(int32_t{5}), Variant(int32_t{1}), Variant(int32_t{1049})})), u"Жук");
  EXPECT_EQ(to_u16(call(u"Str", {Variant(int32_t{1}), Variant(int32_t{1})})), u"0123456789");
  EXPECT_EQ(to_u16(call(u"Str", {Variant(u"x"), Variant(int32_t{1})})), u"");
}

TEST_F(ResourceObjectTest, BufferGivesBytesFromIndexZero) {
  Variant buf(u"unchanged");
  call(u"Buffer", {Variant(int32_t{1}), Variant(int32_t{1}), Variant::by_ref(&buf)});
  ASSERT_TRUE(buf.is_array());
  EXPECT_EQ(buf.as_array()->dims[0].lbound, 0);
  EXPECT_EQ(buf.as_array()->dims[0].count, 10);
  EXPECT_EQ(buf.as_array()->items[9].type(), VT::Byte);
  EXPECT_EQ(bytes_of_array(buf), "0123456789");
  Variant keep(u"unchanged");
  call(u"Buffer", {Variant(int32_t{3}), Variant(int32_t{1}), Variant::by_ref(&keep)});
  EXPECT_EQ(to_u16(keep), u"unchanged");
}

TEST_F(ResourceObjectTest, FileWritesExactlyTheBytes) {
  std::string other = folder_ + "other.bin";
  std::ofstream(other, std::ios::binary) << std::string(100, 'x');
  call(u"File", {Variant(int32_t{1}), Variant(int32_t{1}), Variant(script_path(other))});
  EXPECT_EQ(read_all(other), "0123456789");
  // No name: next to the module's script, under the resource's own name.
  call(u"File", {Variant(int32_t{1}), Variant(int32_t{1}), Variant(u"")});
  EXPECT_EQ(read_all(folder_ + "data.bin"), "0123456789");
  // A folder that does not exist is skipped without a word.
  EXPECT_NO_THROW(call(u"File", {Variant(int32_t{1}), Variant(int32_t{1}), Variant(u"/nonexistent/dir/x")}));
}

}  // namespace
}  // namespace qz
