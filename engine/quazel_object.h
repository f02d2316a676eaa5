// Quazel (ProgID Tolvex.Quazel): the one class a host creates; its whole programmatic face.
// Hosts call every member by name: Command, FuncRun, Eval, AddObject, SetObjExe, AddCode,
// Reset, State, and ExitStatus (0, or 1 once a script error was reported: what the process
// should exit with). Instances share the engine-wide state of EngineCore.
#pragma once
#include <string_view>

#include "com/object.h"

namespace qz {

class Quazel : public NativeObject<Quazel> {
 public:
  Quazel();
  ~Quazel() override;
  static void define(Members<Quazel>& m);
  std::u16string type_name() const override { return u"Quazel"; }

  void command(std::u16string_view line);
  Variant func_run(std::u16string_view name, int16_t module, Args data);
  Variant eval(std::u16string_view code, int16_t module, int16_t as_object);
  int16_t state();
};

// Registers Tolvex.Quazel with the ProgID registry.
void register_quazel_class();

}  // namespace qz
