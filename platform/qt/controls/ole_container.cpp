// OLE containers. There is no object linking and embedding here: the container is an empty
// framed window that keeps what the script says about its object (Class, SourceDoc,
// SourceItem) and raises the container's events. A new size raises Resize with the
// new height and width in twips; the values the procedure leaves in them become the size.
#include <QFrame>
#include <QResizeEvent>

#include "platform/qt/control_registry.h"

namespace qz {

namespace {

class OleContainer final : public NativeObject<OleContainer, QtControl> {
 public:
  static void define(Members<OleContainer>& m) {
    define_common_members(m);
    for (auto field : {std::pair{u"Class", &OleContainer::class_}, std::pair{u"SourceDoc", &OleContainer::source_doc_},
                       std::pair{u"SourceItem", &OleContainer::source_item_}}) {
      auto member = field.second;
      m.property(field.first, [member](OleContainer& c, Args) { c.check_alive(); return Variant(c.*member); },
                 [member](OleContainer& c, Args, const Variant& v) {
                   c.check_alive();
                   c.*member = to_u16(v);
                 });
    }
    // No object is ever held: the container is empty (OLEType 3, "none").
    m.getter(u"OLEType", [](OleContainer& c, Args) { c.check_alive(); return Variant(int16_t{3}); });
  }
  std::u16string type_name() const override { return u"OLE"; }

  OleContainer(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<OleContainer, QtControl>(kind, index) {
    auto* w = new QFrame(parent);
    w->setFrameShape(QFrame::Box);
    w->setFocusPolicy(Qt::StrongFocus);
    attach(w);
  }

  void copy_settings_from(QtControl& model) override {
    QtControl::copy_settings_from(model);
    if (auto* m = dynamic_cast<OleContainer*>(&model)) {
      class_ = m->class_;
      source_doc_ = m->source_doc_;
      source_item_ = m->source_item_;
    }
  }

  bool on_event(QObject* watched, QEvent* event) override {
    if (watched == widget() && event->type() == QEvent::Resize && !resizing_ && visible()) {
      QSize now = static_cast<QResizeEvent*>(event)->size();
      std::vector<Variant> a{Variant(static_cast<float>(now.height() * kTwipsPerPixel)),
                             Variant(static_cast<float>(now.width() * kTwipsPerPixel))};
      raise_event(u"Resize", a);
      if (destroyed()) return false;
      apply_answer(a, now);
      return false;
    }
    return QtControl::on_event(watched, event);
  }

 private:
  void apply_answer(const std::vector<Variant>& a, QSize now) {
    int h = now.height(), w = now.width();
    try {
      h = static_cast<int>(std::lround(to_double(a[0]) / kTwipsPerPixel));
      w = static_cast<int>(std::lround(to_double(a[1]) / kTwipsPerPixel));
    } catch (...) {
      return;
    }
    if (QSize(w, h) == now || w < 0 || h < 0 || w > 32767 || h > 32767) return;
    resizing_ = true;
    widget()->resize(w, h);
    resizing_ = false;
  }

  std::u16string class_, source_doc_, source_item_;
  bool resizing_ = false;
};

}  // namespace

Ref<QtControl> make_ole_container(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new OleContainer(kind, index, parent));
}

}  // namespace qz
