#include "platform/qt/gdi/opengl_context.h"

#include <dlfcn.h>

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/qt/gdi/device_contexts.h"

namespace qz {

namespace {

void* glu_library() {
  static void* lib = ::dlopen("libGLU.so.1", RTLD_NOW | RTLD_LOCAL);
  return lib;
}

class QtOpenGl final : public OpenGlServices {
 public:
  bool enable(DeviceContext dc, const PixelFormatRequest& request) override {
    QSize size = device_context_size(dc);
    if (!size.isValid() || size.isEmpty()) return false;
    disable();
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);  // the fixed-function calls
    format.setVersion(2, 1);
    format.setDepthBufferSize(std::clamp(request.depth_bits, 0, 24));
    format.setStencilBufferSize(8);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    auto context = std::make_unique<QOpenGLContext>();
    context->setFormat(format);
    if (!context->create()) return false;
    auto surface = std::make_unique<QOffscreenSurface>();
    surface->setFormat(context->format());
    surface->create();
    if (!surface->isValid() || !context->makeCurrent(surface.get())) return false;
    auto fbo = std::make_unique<QOpenGLFramebufferObject>(size, QOpenGLFramebufferObject::CombinedDepthStencil);
    if (!fbo->isValid() || !fbo->bind()) {
      context->doneCurrent();
      return false;
    }
    context->functions()->glViewport(0, 0, size.width(), size.height());
    context_ = std::move(context);
    surface_ = std::move(surface);
    fbo_ = std::move(fbo);
    return true;
  }

  void disable() override {
    if (!context_) return;
    context_->makeCurrent(surface_.get());
    fbo_.reset();
    context_->doneCurrent();
    context_.reset();
    surface_.reset();
  }

  bool current() const override { return context_ != nullptr; }

  bool swap_buffers(DeviceContext dc) override {
    if (!context_ || !device_context_exists(dc)) return false;
    context_->makeCurrent(surface_.get());
    context_->functions()->glFinish();
    QImage frame = fbo_->toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    fbo_->bind();
    QSize size = device_context_size(dc);
    return paint_on_device_context(dc, QRect(QPoint(0, 0), size), [&](QPainter& p) {
      p.setCompositionMode(QPainter::CompositionMode_Source);
      p.drawImage(0, 0, frame);
    });
  }

  void* function(const char* name) override {
    if (!context_ || !name) return nullptr;
    if (std::strncmp(name, "glu", 3) == 0) {
      void* lib = glu_library();
      return lib ? ::dlsym(lib, name) : nullptr;
    }
    return reinterpret_cast<void*>(context_->getProcAddress(name));
  }

 private:
  std::unique_ptr<QOpenGLContext> context_;
  std::unique_ptr<QOffscreenSurface> surface_;
  std::unique_ptr<QOpenGLFramebufferObject> fbo_;
};

}  // namespace

OpenGlServices& qt_opengl_services() {
  static auto* gl = new QtOpenGl();
  return *gl;
}

}  // namespace qz
