// The engine's side of script forms for sys: the loaded forms, and the hidden form that hosts
// the picture boxes sys.CreateImage makes and hears sys.Media's completion notices.
#include "engine/engine_core.h"
#include "forms/script_form.h"

namespace qz {

namespace {

// Made on first use and never shown. The engine's reset unloads it with every other form; the
// next picture loads it again.
Ref<ScriptForm>& picture_host() {
  static auto* host = new Ref<ScriptForm>();
  return *host;
}

}  // namespace

std::vector<Ref<Object>> EngineCore::loaded_script_forms() {
  std::vector<Ref<Object>> forms;
  for (Ref<ScriptForm>& f : open_script_forms()) forms.emplace_back(f.get());
  return forms;
}

Ref<Object> EngineCore::create_picture_box(std::u16string_view name) {
  Ref<ScriptForm>& host = picture_host();
  if (!host) host = create_script_form(0, u"qz_picture_host");
  return Ref<Object>(host->create_control(u"Quazel.PictureBox", std::u16string(name)).get());
}

int32_t EngineCore::notification_window() {
  Ref<ScriptForm>& host = picture_host();
  return host && host->window_loaded() ? host->window().handle() : 0;
}

}  // namespace qz
