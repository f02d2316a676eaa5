// Where a DDE server's socket lives. The socket of application `app` serving `topic` is
//     <folder>/<name(app)>|<name(topic)>
// with <folder> = $XDG_RUNTIME_DIR/quazel/dde when that variable holds an absolute path, else
// /tmp/quazel-<uid>/dde. DDE names compare without regard to case, so a name is written in
// lower case (ASCII letters only; other text as it is), with every byte outside
// [a-z0-9._-] and every byte of a non-ASCII character written as %XX. A path that would not
// fit a socket address becomes <folder>/h<16 hex digits>, the FNV-1a hash of "app|topic" in
// that written form; the Connect message carries the real names, so a hash collision is
// refused rather than served.
#pragma once
#include <sys/un.h>

#include <optional>
#include <string>
#include <string_view>

namespace qz::dde {

// The folder of the sockets (not created).
std::string socket_folder();

// Creates the folder (mode 0700). Under /tmp the folder must be a real folder owned by this
// user, since anyone can create one there first. False, with a reason, when it is unusable.
bool ensure_socket_folder(std::string* why);

// The socket path for `app` and `topic` (UTF-8).
std::string socket_path(std::string_view app, std::string_view topic);

// The socket address of `path`; false when it does not fit.
bool fill_socket_address(const std::string& path, sockaddr_un& addr);

// A label's "App|Topic": the parts before and after the first "|"; nothing without one, or
// when either part is empty.
struct LinkAddress {
  std::string app;
  std::string topic;
};
std::optional<LinkAddress> parse_link_topic(std::string_view text);

// DDE names compare without regard to ASCII case.
bool same_name(std::string_view a, std::string_view b);

}  // namespace qz::dde
