// An instance of a script class: its fields, dispatch on the class's member table, and
// Class_Initialize / Class_Terminate at creation and when the last reference goes.
#pragma once
#include <memory>
#include <typeinfo>
#include <vector>

#include "com/object.h"
#include "script/ast.h"

namespace qz {
class ScriptEngineImpl;
}

namespace qz::vbs {

struct EngineLink;

class ClassInstance final : public Object {
 public:
  ClassInstance(ClassDef* cls, std::shared_ptr<EngineLink> link, std::shared_ptr<Unit> unit,
                std::shared_ptr<ModuleScope> module);
  ~ClassInstance() override;

  DispId find_member(std::u16string_view name) override;
  Variant invoke(DispId id, CallKind kind, Args args) override;
  std::u16string type_name() const override { return cls_->name; }
  std::u16string member_name(DispId id) const override;
  const void* member_key() const override { return cls_; }

  ClassDef* cls() const { return cls_; }
  const EngineLink* link() const { return link_.get(); }
  std::vector<Variant> fields;
  // Drops the fields without running any code (Reset breaking cycles).
  void clear_fields();
  ClassInstance* prev = nullptr;
  ClassInstance* next = nullptr;

 protected:
  void destroy() override;

 private:
  ScriptEngineImpl* engine() const;
  // Class_Terminate, then the instance and its fields go.
  void finish();
  ClassDef* cls_;
  std::shared_ptr<EngineLink> link_;
  std::shared_ptr<Unit> unit_;
  std::shared_ptr<ModuleScope> module_;
};

// `o` as a script class instance, or null. The class is final, so its type information object
// decides; comparing addresses (not names) keeps the check to two loads for other objects, and
// a copy of the type information elsewhere could only make it answer null.
inline ClassInstance* as_class_instance(Object* o) {
  return &typeid(*o) == &typeid(ClassInstance) ? static_cast<ClassInstance*>(o) : nullptr;
}

// Interpreter helpers shared by nodes and instances.
// The value a Let hands to a member of a script class: an object stays the object (a Property
// Let receives it so; a field takes the default value itself).
inline Variant class_let_value(Variant v) {
  if (v.is_byref()) v = Variant(v.deref());
  return v;
}
// Let-assignment into a variable: an object value is replaced by its default member's value.
void assign_value(Variant& dst, Variant v, bool is_set);
// Arguments applied to a value: an array element, or the default member of an object.
Variant apply_args(Variant& v, Args args);
// An array element for writing (made unique first); null for a Byte array.
Variant* array_element(Variant& arr, Args indices, LockList* locks);
// Assignment through arguments: array element or the object's default member.
void assign_indexed(Variant& target, Args indices, Variant v, bool is_set);

}  // namespace qz::vbs
