// Labels: a caption the user cannot edit. The label takes its own mouse events (a click on it is
// the label's, not the form's); AutoSize fits the label to its caption: across without WordWrap,
// downwards at its width with it.
#include <QLabel>

#include "platform/qt/control_registry.h"
#include "platform/qt/controls/shared_members.h"

namespace qz {

namespace {

class Label final : public NativeObject<Label, QtControl> {
 public:
  static void define(Members<Label>& m) {
    using namespace shared_members;
    define_common_members(m);
    define_caption(m, [](Label& c) { return c.label()->text(); },
                   [](Label& c, const QString& s) {
                     c.label()->setText(s);
                     c.fit();
                   });
    define_alignment(m, [](Label& c) { return c.alignment_; }, [](Label& c, int16_t a) { c.set_alignment(a); });
    m.property(u"AutoSize", alive<Label>([](Label& c, Args) { return Variant(c.auto_size_); }),
               alive_let<Label>([](Label& c, Args, const Variant& v) {
                 c.auto_size_ = to_bool(v);
                 c.fit();
               }));
    m.property(u"WordWrap", alive<Label>([](Label& c, Args) { return Variant(c.label()->wordWrap()); }),
               alive_let<Label>([](Label& c, Args, const Variant& v) {
                 c.label()->setWordWrap(to_bool(v));
                 c.fit();
               }));
    define_border_style(m, [](Label& c) { return c.label()->frameShape() != QFrame::NoFrame; },
                        [](Label& c, bool on) {
                          c.label()->setFrameStyle(on ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
                          c.fit();
                        });
    m.default_member(u"Caption");
  }
  std::u16string type_name() const override { return u"Label"; }

  Label(std::u16string_view kind, int16_t index, QWidget* parent) : NativeObject<Label, QtControl>(kind, index) {
    auto* l = new QLabel(QStringLiteral("label"), parent);
    l->setTextFormat(Qt::PlainText);
    shared_members::own_mouse_events(l);
    attach(l);
    set_alignment(0);
    set_twips_rect(shared_members::kDesignRect);
  }

  QLabel* label() const { return static_cast<QLabel*>(widget()); }

  void copy_settings_from(QtControl& model) override {
    QtControl::copy_settings_from(model);
    auto* m = dynamic_cast<Label*>(&model);
    if (!m || !m->label()) return;
    label()->setText(m->label()->text());
    label()->setWordWrap(m->label()->wordWrap());
    label()->setFrameStyle(m->label()->frameStyle());
    set_alignment(m->alignment_);
    auto_size_ = m->auto_size_;
    fit();
  }

  bool on_event(QObject* watched, QEvent* event) override {
    if (watched == widget() && event->type() == QEvent::FontChange) fit();
    return QtControl::on_event(watched, event);
  }

 private:
  void set_alignment(int16_t a) {
    alignment_ = a;
    label()->setAlignment(shared_members::horizontal_alignment(a) | Qt::AlignTop);
  }
  void fit() {
    if (!auto_size_ || destroyed()) return;
    QLabel* l = label();
    QSize s = l->wordWrap() ? QSize(l->width(), l->heightForWidth(l->width())) : l->sizeHint();
    QRect r = twips_rect();
    r.setSize(QSize(s.width() * kTwipsPerPixel, s.height() * kTwipsPerPixel));
    set_twips_rect(r);
  }

  int16_t alignment_ = 0;
  bool auto_size_ = false;
};

}  // namespace

Ref<QtControl> make_label(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new Label(kind, index, parent));
}

}  // namespace qz
