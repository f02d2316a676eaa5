#include "file_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "com/str.h"
#include "platform/path.h"
#include "services/file/file_copy.h"

namespace qz {

void TempTree::SetUp() {
  std::string tmpl = temp_folder() + "qz_file_test_XXXXXX";
  ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
  root_ = tmpl + "/";
}

void TempTree::TearDown() {
  if (!root_.empty()) {
    ::chmod(root_.c_str(), 0700);
    try {
      remove_tree(root_.substr(0, root_.size() - 1));
    } catch (...) {
    }
  }
}

std::u16string TempTree::sp(const std::string& rel) const { return script_path(root_ + rel); }

void TempTree::write(const std::string& rel, const std::string& bytes) const {
  std::ofstream out(os(rel), std::ios::binary);
  out << bytes;
}

std::string TempTree::read(const std::string& rel) const {
  std::ifstream in(os(rel), std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool TempTree::exists(const std::string& rel) const { return path_exists(os(rel)); }

void TempTree::mkdir(const std::string& rel) const { ::mkdir(os(rel).c_str(), 0755); }

Variant call(Object& obj, std::u16string_view name, std::vector<Variant> args) {
  DispId id = obj.find_member(name);
  EXPECT_NE(id, kDispUnknown) << "no member " << u16_to_utf8(name);
  return obj.invoke(id, static_cast<CallKind>(kMethod | kGet), Args(args));
}

}  // namespace qz
