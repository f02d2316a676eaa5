// An element of the host's lblDDE array: a label whose Caption is the text of a DDE item. As a
// source item it is read, poked and linked by clients of this program's server; as a
// destination it links to another program's item through LinkTopic ("App|Topic"), LinkItem
// and LinkMode (0 none, 1 automatic, 2 manual, 3 notify), with LinkRequest, LinkPoke and
// LinkExecute. LinkTimeout is in tenths of a second (default 50; -1 the longest).
#pragma once
#include <memory>
#include <string>

#include "com/object.h"

namespace qz {

class DdeObject;
namespace dde {
class Connection;
struct Message;
}

class DdeLabel : public NativeObject<DdeLabel> {
 public:
  DdeLabel(DdeObject* owner, int16_t index);
  ~DdeLabel() override;
  static void define(Members<DdeLabel>& m);
  std::u16string type_name() const override { return u"Label"; }

  int16_t index() const { return index_; }
  const std::u16string& caption() const { return caption_; }
  // Sets the text and tells the server's links; `from_link` also runs DDE_Change.
  void set_caption(std::u16string text, bool from_link);

  void set_link_mode(int32_t mode);
  void set_link_item(std::u16string item);
  void set_link_topic(std::u16string topic);
  void link_request();
  void link_poke();
  void link_execute(const std::u16string& command);

  // The owner went: the label's own link ends and events go nowhere from now on.
  void detach();

 private:
  Variant fire(std::u16string_view procedure, std::vector<Variant> extra = {});
  int timeout_ms() const;
  void open_link(int32_t mode);
  void close_link(bool tell_server);
  void on_link_message(dde::Message& m);
  void on_link_closed(const std::string& why);
  // Sends `request` on the open conversation; raises the reply's error or a DDE error.
  dde::Message call(const dde::Message& request);

  DdeObject* owner_;
  int16_t index_;
  std::u16string caption_;
  std::u16string link_topic_;
  std::u16string link_item_;
  int16_t link_mode_ = 0;
  int32_t link_timeout_ = 50;
  Variant tag_ = Variant(std::u16string());
  std::shared_ptr<dde::Connection> link_;
};

}  // namespace qz
