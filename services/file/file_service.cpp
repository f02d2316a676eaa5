#include "services/file/file_service.h"

#include "formats/zip/zip_object.h"
#include "runtime/engine_link.h"
#include "runtime/native/sys_native.h"
#include "services/file/file_object.h"

namespace qz {

Ref<Object> create_file_service(EngineLink& engine) {
  FileServiceLinks links;
  links.new_record_helper = [&engine] { return create_dynapi_service(engine); };
  links.new_zip = [&engine] { return new_zip_object([&engine] { return engine.script_folder(); }); };
  return new_file_object(std::move(links));
}

}  // namespace qz
