#include "platform/qt/gdi/png_skin.h"

#include <QEvent>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
#include <string>

#include "platform/path.h"
#include "platform/qt/gdi/device_contexts.h"
#include "platform/qt/gdi/layered_windows.h"
#include "platform/qt/picture.h"
#include "platform/qt/qt_control.h"
#include "platform/qt/window_table.h"

namespace qz {

namespace {

constexpr int kMaxSide = 16384;

class SkinWindow final : public QWidget {
 public:
  explicit SkinWindow(QImage image) : image_(std::move(image)) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(image_.size());
  }
  const QImage& image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, image_);
  }

 private:
  QImage image_;
};

// Keeps the skin over the form: at the window's top-left corner, shown while the form is.
class SkinTracker final : public QObject {
 public:
  SkinTracker(QWidget* form, SkinWindow* skin) : form_(form), skin_(skin) {
    form->installEventFilter(this);
    follow();
  }
  ~SkinTracker() override {
    if (form_) form_->removeEventFilter(this);
  }
  void follow() {
    if (!form_) return;
    // The skin takes the window's place, frame and all, as the window's own pixels would.
    skin_->move(form_->pos());
    if (form_->isVisible())
      skin_->show();
    else
      skin_->hide();
  }

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    switch (e->type()) {
      case QEvent::Move:
      case QEvent::Show:
      case QEvent::Hide:
        follow();
        break;
      default:
        break;
    }
    return false;
  }

 private:
  QPointer<QWidget> form_;
  SkinWindow* skin_;
};

struct Skin {
  std::unique_ptr<SkinWindow> window;
  std::unique_ptr<SkinTracker> tracker;
  QPointer<QWidget> form;
  double form_opacity = 1.0;
  DeviceContext dc = 0;
  Ref<Picture> bitmap;      // the skin, selected into `dc`
  Ref<Picture> old_bitmap;  // what `dc` held before: the 1 × 1 bitmap of a new context
  ~Skin() {
    tracker.reset();  // before the window it moves
    if (dc) delete_device_context(dc);
  }
};

std::map<WindowHandle, std::unique_ptr<Skin>>& skins() {
  static auto* m = new std::map<WindowHandle, std::unique_ptr<Skin>>();
  return *m;
}

QWidget* form_widget(WindowHandle form) {
  QtControl* c = find_window(form);
  if (!c || !c->widget() || !c->widget()->isWindow()) return nullptr;
  return c->widget();
}

Skin* find_skin(WindowHandle form) {
  auto& m = skins();
  auto it = m.find(form);
  return it == m.end() ? nullptr : it->second.get();
}

}  // namespace

SkinHandles load_form_skin(WindowHandle form, std::u16string_view path, uint8_t alpha) {
  QWidget* w = form_widget(form);
  if (!w) return {};
  std::string os = find_path(path);
  QImageReader reader(QString::fromUtf8(os.c_str()));
  reader.setDecideFormatFromContent(true);
  QSize declared = reader.size();
  if (!declared.isValid() || declared.width() > kMaxSide || declared.height() > kMaxSide) return {};
  QImage png;
  if (!reader.read(&png) || png.isNull()) return {};
  // The form's size, the PNG at its own size at the top left, the rest clear.
  QSize size = w->size().isEmpty() ? png.size() : w->size();
  QImage shown(size, QImage::Format_ARGB32_Premultiplied);
  shown.fill(Qt::transparent);
  {
    QPainter p(&shown);
    p.setOpacity(alpha / 255.0);
    p.drawImage(0, 0, png);
  }
  unload_form_skin(form);  // a second skin replaces the first
  auto skin = std::make_unique<Skin>();
  skin->dc = new_memory_context(shown);
  if (!skin->dc) return {};
  QImage blank(1, 1, QImage::Format_Mono);
  blank.fill(0);
  skin->old_bitmap = make_ref<Picture>(blank);
  skin->bitmap = make_ref<Picture>(shown);
  skin->window = std::make_unique<SkinWindow>(std::move(shown));
  skin->form = w;
  skin->form_opacity = w->windowOpacity();
  w->setWindowOpacity(0.0);
  mark_layered(w);  // as the skin's style bit stays after it goes
  skin->tracker = std::make_unique<SkinTracker>(w, skin->window.get());
  SkinHandles handles{skin->dc, skin->bitmap->handle(), skin->old_bitmap->handle()};
  // A form that goes takes its skin with it.
  QObject::connect(w, &QObject::destroyed, skin->window.get(), [form] { skins().erase(form); });
  skins()[form] = std::move(skin);
  return handles;
}

bool unload_form_skin(WindowHandle form) {
  auto& m = skins();
  auto it = m.find(form);
  if (it == m.end()) return false;
  if (it->second->form) it->second->form->setWindowOpacity(it->second->form_opacity);
  m.erase(it);
  return true;
}

QImage form_skin_image(WindowHandle form) {
  Skin* s = find_skin(form);
  return s ? s->window->image() : QImage();
}

QWidget* form_skin_window(WindowHandle form) {
  Skin* s = find_skin(form);
  return s ? s->window.get() : nullptr;
}

}  // namespace qz
