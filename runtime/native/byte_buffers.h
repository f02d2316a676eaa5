// The numbered byte buffers of sys.DynAPI: 5001 buffers (0..5000) that scripts size, fill and
// hand to native calls by address, and in which records are laid out for native code.
//
// Ownership: a buffer that record marshalling takes is temporary and belongs to the native call
// that took it (owner > 0), or to the script when a script marshals directly (owner 0). A call
// releases only its own buffers, so a callback making another native call, or a script reading
// an image back after the call, still finds its bytes. Buffers the script filled itself
// (ReBuf, SetBuf, StrBuf, GetBuf) are never taken by marshalling until the script gives them up
// with UseBuf(n) = False.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

namespace qz {

struct ByteBuffer {
  std::vector<uint8_t> data;  // empty: no storage
  bool in_use = false;
  bool temporary = false;
  bool script_filled = false;
  uint32_t owner = 0;
};

class ByteBufferSet {
 public:
  static constexpr int kCount = 5001;
  // Larger sizes are refused: a script cannot make the process allocate without bound.
  static constexpr size_t kMaxBytes = size_t{1} << 28;

  ByteBufferSet();

  // The buffer numbered n (0..5000); null for any other number.
  ByteBuffer* at(int n);
  const ByteBuffer* at(int n) const;

  // FindBuf: the lowest buffer from `start` up that is not in use; -1 when none is.
  int find_free(int start) const;
  // A buffer for a record image: not in use and not filled by the script. It is marked in use
  // and temporary for `owner` and holds one zero byte. -1 when none is left.
  int take_for_image(uint32_t owner);
  // Frees a buffer: both flags off, no storage.
  void release(int n);
  // Releases every temporary buffer for whose owner `which` answers true.
  void release_temporaries(const std::function<bool(uint32_t owner)>& which);

 private:
  // The buffers come into being on first use: most runs never touch them.
  void make_buffers() const;
  mutable std::vector<ByteBuffer> buffers_;
};

}  // namespace qz
