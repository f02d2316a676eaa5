// The sys members of the helper families, for ScriptFile's member table:
//   regular expressions  GET_RXP_MTS RXP_RPL RXP_CMP RXP_EXE RXP_Param
//   values and pointers  NewCollection CFormat IFX ObjFromPtr CStrPtr CObjPtr CVarPtr CStrConv
//                        CSendKeys CompressZLib DecompressZLib
//   strings and values   ChrS ChrWS MidS LeftS RightS ASCL TrimS RTrimS LTrimS CVal CCVar Sort
//   processes, system    PlaySound Link CShell SyncShell Env GetMemoryStatus SetPriority KBD_LED
//                        HelpFile
//   script calls         FuncRun GetModule
//   dialogs              MsgBox2 InputBox2 SetupActiveX
#pragma once
#include "com/object.h"
#include "runtime/engine_link.h"

namespace qz {

class ScriptFile;

void define_sys_helper_members(Members<ScriptFile>& m);

void define_sys_regexp_members(Members<ScriptFile>& m);
void define_sys_value_members(Members<ScriptFile>& m);
void define_sys_string_members(Members<ScriptFile>& m);
void define_sys_system_members(Members<ScriptFile>& m);

// The factory of sys.Resource (the engine's resource and module tables behind it).
Ref<Object> create_resource_service(EngineLink& engine);

}  // namespace qz
