// clsFuncCall, the object scripts see as sys.DynAPI: calls exported functions of shared
// libraries (every `Declare` of a script ends here), methods of interfaces with a COM-compatible
// layout, the numbered byte buffers and the layout of records in native memory.
//
// Arguments are 64-bit words (see native_args.h). A result is the low 32 bits of the function's
// result, sign-extended, as a Long; with ResultSize = 8 it is the whole 64-bit value as a
// LongLong (for functions returning pointers or 64-bit numbers). Addresses the object hands out
// (PtrBuf, GetPtrFromClassVars, a looked-up function) are LongLong values.
//
// Libraries load by name on every call and stay loaded, one reference held per library, until
// the object goes (IsFreeLib: released right after the call that loaded it). CallType is kept
// for scripts that set it; this platform has one calling convention.
#pragma once
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "com/object.h"
#include "runtime/native/byte_buffers.h"

namespace qz {

class FuncCall : public NativeObject<FuncCall> {
 public:
  FuncCall() = default;
  ~FuncCall() override;
  static void define(Members<FuncCall>& m);
  std::u16string type_name() const override { return u"clsFuncCall"; }

  // CallFunction(library, function, arguments...): library a name or a handle, function a
  // name or an address. 0 when the library or the function cannot be had (no call made) or
  // when a record finds no free buffer. `declared` (the calls a Declare statement makes,
  // CallDeclared) raises 48 for a library that cannot be loaded and 453 for a missing
  // function instead, as a declared procedure does.
  Variant call_function(Args a, bool declared = false);
  // CallFunction2(library, name, address (by reference), count, p1..p10): a lookup that
  // stores the address for later calls; with an empty name and address 0 the previous
  // function runs again with this call's arguments. Counts outside 0..10 raise error 5.
  Variant call_function2(Args a);
  // CallFunction3(address, p1, p2, p3, p4).
  Variant call_function3(Args a);
  // CallInterface(interface, method number, count, p1..p10): method `number` of the
  // interface's table, the interface pointer as first argument. Counts above 10 raise error 5;
  // a negative count, a null or unreadable interface or a method outside our objects' three
  // (QueryInterface, AddRef, Release) give 0 or E_NOTIMPL.
  Variant call_interface(Args a);
  // QueryInterface(interface, "{iid}", new_interface (by reference)) -> HRESULT.
  Variant query_interface(Args a);

  // Records (Type objects): image address, read-back, image size. An image the script takes
  // itself (GetPtrFromClassVars) stays, across native calls, until the script's ClearBuffers.
  Variant record_address(const Variant& records);
  void record_read_back(const Variant& records);
  int32_t record_size(const Variant& records);
  // ClearBuffers: every temporary buffer not taken by a call still running.
  void clear_buffers();

  ByteBufferSet& buffers() { return buffers_; }
  int16_t cur_buf = 0;
  int32_t call_type = 0;
  bool free_lib = false;
  int32_t result_size = 4;

 private:
  // One native call: its own token for the buffers it takes, released when it ends.
  class CallScope {
   public:
    explicit CallScope(FuncCall& owner);
    ~CallScope();
    uint32_t token() const { return token_; }
   private:
    FuncCall& owner_;
    uint32_t token_;
  };

  void hold(void* library);
  void release(void* library);
  Variant result_of(int64_t raw) const;
  Variant call_words(const void* target, Args a, size_t first, size_t count, uint32_t token);

  ByteBufferSet buffers_;
  std::unordered_set<void*> held_;
  const void* repeat_target_ = nullptr;
  int32_t repeat_count_ = 0;
  uint32_t last_token_ = 0;
  std::vector<uint32_t> running_;
};

}  // namespace qz
