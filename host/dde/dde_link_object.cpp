#include "host/dde/dde_link_object.h"

#include "com/convert.h"
#include "com/error.h"
#include "host/dde/dde_item.h"
#include "host/dde/dde_label.h"
#include "host/dde/dde_server.h"

namespace qz {

DdeObject::DdeObject(EventLoop& loop, std::u16string app) : loop_(loop), app_(std::move(app)) {
  labels_.emplace(int16_t{0}, make_ref<DdeLabel>(this, int16_t{0}));
}

DdeObject::~DdeObject() { shutdown(); }

void DdeObject::shutdown() {
  server_.reset();
  forward_ = nullptr;
  for (auto& [index, label] : labels_) label->detach();
}

void DdeObject::set_server_name(const std::u16string& topic) {
  server_.reset();
  topic_ = topic;
  if (topic.empty()) return;
  auto server = std::make_unique<dde::Server>(*this);
  std::string why;
  if (!server->listen(u16_to_utf8(app_), u16_to_utf8(topic), &why)) {
    topic_.clear();
    raise(70, u"DDE topic '" + topic + u"' cannot be served: " + utf8_to_u16(why));
  }
  server_ = std::move(server);
}

Ref<DdeLabel> DdeObject::control(int32_t index) {
  if (index < 0 || index > dde::kMaxLabelIndex) return nullptr;
  auto key = static_cast<int16_t>(index);
  auto it = labels_.find(key);
  if (it == labels_.end()) it = labels_.emplace(key, make_ref<DdeLabel>(this, key)).first;
  return it->second;
}

DdeLabel* DdeObject::find_label(int16_t index) const {
  auto it = labels_.find(index);
  return it == labels_.end() ? nullptr : it->second.get();
}

Variant DdeObject::fire(std::u16string_view procedure, std::vector<Variant> args) {
  if (!forward_) return {};
  try {
    return forward_(procedure, cur_module, args);
  } catch (...) {
    return {};  // event forwarding ignores errors
  }
}

void DdeObject::caption_changed(DdeLabel& label) {
  if (server_) server_->caption_changed(label.index(), u16_to_utf8(label.caption()));
}

void DdeObject::define(Members<DdeObject>& m) {
  m.property(
      u"ServerName", [](DdeObject& d, Args) { return Variant(d.server_name()); },
      [](DdeObject& d, Args, const Variant& v) { d.set_server_name(to_u16(v)); });
  m.method(u"ControlDDE", [](DdeObject& d, Args a) {
    // Resume-next: a bad index gives Nothing.
    try {
      Ref<DdeLabel> label = d.control(to_long(a[0]));
      return label ? Variant(label) : Variant::nothing();
    } catch (...) {
      return Variant::nothing();
    }
  });
  m.property(
      u"curModule", [](DdeObject& d, Args) { return Variant(d.cur_module); },
      [](DdeObject& d, Args, const Variant& v) { d.cur_module = to_integer(v); });
}

}  // namespace qz
