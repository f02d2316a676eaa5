// sys: the object properties of the service tree and the members that report on the process's
// standard handles. Standard handles are file descriptors here: -10, -11 and -12 name standard
// input, output and error, as the platform's standard-device numbers do.
#include <fcntl.h>
#include <unistd.h>

#include "com/convert.h"
#include "com/error.h"
#include "platform/output.h"
#include "runtime/script_file.h"
#include "runtime/sys_services.h"

namespace qz {

namespace {

int std_device_fd(int32_t device) {
  switch (device) {
    case -10: return STDIN_FILENO;
    case -11: return STDOUT_FILENO;
    case -12: return STDERR_FILENO;
    default: return -1;
  }
}

bool fd_open(int fd) { return fd >= 0 && ::fcntl(fd, F_GETFD) != -1; }

void define_field(Members<ScriptFile>& m, std::u16string_view name, SysField f) {
  m.getter(name, [f](ScriptFile& s, Args) { return s.field(f); });
  m.setter(name, [f](ScriptFile& s, Args, const Variant& v) {
    const Variant& val = v.deref();
    if (!val.is_object()) raise(kErrTypeMismatch);
    s.set_field(f, val);
  });
}

}  // namespace

void define_sys_root_members(Members<ScriptFile>& m) {
  for (const SysService& s : sys_services()) define_field(m, s.name, s.field);

  // The NT family is the one whose behaviour the services follow on Linux.
  m.method(u"IsNT", [](ScriptFile&, Args) { return Variant(true); });
  m.method(u"IsStdOut", [](ScriptFile&, Args) { return Variant(stdout_available()); });
  m.method(u"GetStdPipe", [](ScriptFile&, Args a) {
    int fd = std_device_fd(to_long(a[0]));
    return Variant(static_cast<int32_t>(fd_open(fd) ? fd : -1));
  });
  m.method(u"SetStdPipe", [](ScriptFile&, Args a) {
    int fd = std_device_fd(to_long(a[0]));
    int handle = to_long(a[1]);
    bool ok = fd >= 0 && fd_open(handle) && (handle == fd || ::dup2(handle, fd) == fd);
    return Variant(static_cast<int32_t>(ok ? 1 : 0));
  });
}

}  // namespace qz
