// The script control's helper objects as scripts see them: Modules, Error, Procedures and
// a module's CodeObject.
#pragma once
#include <memory>
#include <vector>

#include "com/object.h"
#include "script/script_control.h"

namespace qz {

namespace vbs {
struct EngineLink;
struct ModuleScope;

// A module's public variables and procedures as members.
class CodeObject final : public Object {
 public:
  CodeObject(std::shared_ptr<EngineLink> link, std::shared_ptr<ModuleScope> module)
      : link_(std::move(link)), module_(std::move(module)) {}
  DispId find_member(std::u16string_view name) override;
  Variant invoke(DispId id, CallKind kind, Args args) override;
  std::u16string type_name() const override { return u"Object"; }
  std::u16string member_name(DispId id) const override;

 private:
  std::shared_ptr<EngineLink> link_;
  std::shared_ptr<ModuleScope> module_;
  std::vector<std::u16string> names_;  // DispId - 1 -> key
};
}  // namespace vbs

Ref<Object> new_modules_object(ScriptControl* control);
Ref<Object> new_error_info_object(ScriptControl* control);
Ref<Object> new_procedures_object(std::vector<ScriptModule::ProcedureInfo> procs);

}  // namespace qz
