// `Me` outside any class: the object of a module's own code, whose members are the module's
// procedures.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "com/object.h"
#include "script/ast.h"

namespace qz::vbs {

struct EngineLink;

class ModuleObject final : public Object {
 public:
  ModuleObject(std::shared_ptr<ModuleScope> module, std::shared_ptr<EngineLink> link)
      : module_(std::move(module)), link_(std::move(link)) {}
  DispId find_member(std::u16string_view name) override;
  Variant invoke(DispId id, CallKind kind, Args args) override;
  std::u16string type_name() const override { return u"Object"; }
  std::u16string member_name(DispId id) const override;

 private:
  std::shared_ptr<ModuleScope> module_;
  std::shared_ptr<EngineLink> link_;
  std::vector<std::u16string> names_;   // folded; DispId i + 1 is names_[i]
};

}  // namespace qz::vbs
