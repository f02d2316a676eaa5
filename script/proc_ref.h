// GetRef's result: an object whose default member calls a script procedure.
#pragma once
#include <memory>

#include "com/object.h"
#include "script/ast.h"

namespace qz::vbs {

struct EngineLink;

class ProcRef final : public Object {
 public:
  ProcRef(Proc* proc, std::shared_ptr<Unit> keep, std::shared_ptr<EngineLink> link)
      : proc_(proc), keep_(std::move(keep)), link_(std::move(link)) {}
  DispId find_member(std::u16string_view) override { return kDispUnknown; }
  Variant invoke(DispId id, CallKind kind, Args args) override;
  std::u16string type_name() const override { return u"Object"; }
  Proc* proc() const { return proc_; }

 private:
  Proc* proc_;
  std::shared_ptr<Unit> keep_;
  std::shared_ptr<EngineLink> link_;
};

}  // namespace qz::vbs
