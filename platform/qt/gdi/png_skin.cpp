#include "platform/qt/gdi/png_skin.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
#include <string>

#include "platform/path.h"
#include "platform/qt/gdi/layered_windows.h"
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

struct Skin {
  std::unique_ptr<SkinWindow> window;
  QPointer<QWidget> form;
  double form_opacity = 1.0;
};

std::map<WindowHandle, Skin>& skins() {
  static auto* m = new std::map<WindowHandle, Skin>();
  return *m;
}

QWidget* form_widget(WindowHandle form) {
  QtControl* c = find_window(form);
  if (!c || !c->widget() || !c->widget()->isWindow()) return nullptr;
  return c->widget();
}

}  // namespace

bool load_form_skin(WindowHandle form, std::u16string_view path, uint8_t alpha) {
  QWidget* w = form_widget(form);
  if (!w) return false;
  std::string os = find_path(path);
  QImageReader reader(QString::fromUtf8(os.c_str()));
  reader.setDecideFormatFromContent(true);
  QSize declared = reader.size();
  if (!declared.isValid() || declared.width() > kMaxSide || declared.height() > kMaxSide) return false;
  QImage png;
  if (!reader.read(&png) || png.isNull()) return false;
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
  Skin skin;
  skin.window = std::make_unique<SkinWindow>(std::move(shown));
  skin.form = w;
  skin.form_opacity = w->windowOpacity();
  skin.window->move(w->geometry().topLeft());
  w->setWindowOpacity(0.0);
  mark_layered(w);  // as the skin's style bit stays after it goes
  if (w->isVisible()) skin.window->show();
  skins()[form] = std::move(skin);
  return true;
}

void unload_form_skin(WindowHandle form) {
  auto& m = skins();
  auto it = m.find(form);
  if (it == m.end()) return;
  if (it->second.form) it->second.form->setWindowOpacity(it->second.form_opacity);
  m.erase(it);
}

QImage form_skin_image(WindowHandle form) {
  auto& m = skins();
  auto it = m.find(form);
  return it == m.end() ? QImage() : it->second.window->image();
}

}  // namespace qz
