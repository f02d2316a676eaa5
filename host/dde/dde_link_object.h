// sys.DDE: the host's DDE side. ServerName is the topic under which this program serves DDE
// conversations (setting it opens the server's socket, an empty text closes it); ControlDDE(n)
// gives element n of the label array lblDDE, made on demand; curModule is the script module
// whose DDE_* procedures receive the labels' link events. The wire protocol is described in
// dde_protocol.h.
//
// Events, each run as a procedure of module curModule with the label's index first:
//   DDE_LinkOpen(Index)          a link to or from the label is opening; a non-zero result
//                                refuses it
//   DDE_LinkClose(Index)         a link of the label ended (either side closed it)
//   DDE_Change(Index)            the label's text came over a link (a client's Poke on the
//                                server; an automatic link's update or a LinkRequest on the client)
//   DDE_LinkNotify(Index)        a notify link's source text changed
//   DDE_LinkError(Index, LinkErr) the conversation of a linking label broke (LinkErr 8)
//   DDE_LinkExecute(CmdStr)      a client's LinkExecute on this server; non-zero refuses it
#pragma once
#include <map>
#include <memory>
#include <string>

#include "com/object.h"
#include "host/event_forward.h"
#include "platform/event_loop.h"

namespace qz {

class DdeLabel;
namespace dde {
class Server;
}

class DdeObject : public NativeObject<DdeObject> {
 public:
  // `app` is the application name clients address this program by (its title).
  DdeObject(EventLoop& loop, std::u16string app);
  ~DdeObject() override;
  static void define(Members<DdeObject>& m);
  std::u16string type_name() const override { return u"clsDDE"; }

  void set_forward(EventForward forward) { forward_ = std::move(forward); }

  const std::u16string& server_name() const { return topic_; }
  // Opens (or, for an empty topic, closes) the server; raises a script error when the socket
  // cannot be served.
  void set_server_name(const std::u16string& topic);

  // The run is over: the server closes and the labels' links end, without events.
  void shutdown();

  // Element `index` of lblDDE, made when missing; null for an index out of range.
  Ref<DdeLabel> control(int32_t index);
  // The element when it exists.
  DdeLabel* find_label(int16_t index) const;

  int16_t cur_module = 1;

  // Runs DDE_<event> in module cur_module; Empty when nothing answers.
  Variant fire(std::u16string_view procedure, std::vector<Variant> args);
  // A label's text changed: links served from it hear of it.
  void caption_changed(DdeLabel& label);

  EventLoop& loop() { return loop_; }
  const std::u16string& app() const { return app_; }

 private:
  EventLoop& loop_;
  std::u16string app_;
  std::u16string topic_;
  std::map<int16_t, Ref<DdeLabel>> labels_;
  std::unique_ptr<dde::Server> server_;
  EventForward forward_;
};

}  // namespace qz
