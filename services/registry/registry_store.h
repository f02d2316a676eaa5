// The registry's file-backed store: one file per root key (named after it) in the registry
// folder. Each change reads the file, applies the change and writes a new file that replaces
// the old one by rename, while holding an exclusive lock on the folder's lock file, so
// processes that change the store at the same time neither lose nor mix their changes.
// Readers need no lock: a rename gives them either the old file or the new one.
#pragma once
#include <functional>
#include <stdexcept>
#include <string>

#include "services/registry/registry_hive.h"
#include "services/registry/registry_path.h"

namespace qz {

// A store file that cannot be read, parsed or written; the message says which and why.
class RegistryStoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// $XDG_CONFIG_HOME/quazel/registry/ (when that variable holds an absolute path), else
// ~/.config/quazel/registry/. Read on every call.
std::string registry_folder();

class RegistryStore {
 public:
  explicit RegistryStore(std::string folder = registry_folder());

  // The root key's tree as it is now; an empty tree when nothing was stored yet.
  RegHive load(RegRoot root) const;
  // Applies `change` to the current tree under the lock and stores the result when `change`
  // returns true. A file that does not parse is never overwritten.
  void update(RegRoot root, const std::function<bool(RegHive&)>& change);

  std::string file_of(RegRoot root) const;

 private:
  std::string folder_;  // ends with "/"
};

}  // namespace qz
