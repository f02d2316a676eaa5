// sys.File.Zip: the archive object scripts edit (open, add, remove, extract, write back).
#pragma once
#include <functional>
#include <string>

#include "com/object.h"

namespace qz {

// `script_folder` gives the folder Extract writes to when the script names none (ending with
// a separator); without it the current folder is used.
Ref<Object> new_zip_object(std::function<std::u16string()> script_folder = nullptr);

}  // namespace qz
