// The web engine module: a WebView on Qt WebEngine. It holds the page and turns the engine's
// happenings into the view's callbacks; nothing else of the window system lives here.
#include <unistd.h>

#include <QPointer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "platform/qt/web_view.h"

namespace qz {

namespace {

class Page final : public QWebEnginePage {
 public:
  Page(QWebEngineProfile* profile, WebView& view, QObject* parent) : QWebEnginePage(profile, parent), view_(view) {}

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool main_frame) override {
    if (!main_frame || !view_.before_navigate) return true;
    return !view_.before_navigate(url.toString());
  }
  // A new window opens in this view unless the script refuses it.
  QWebEnginePage* createWindow(WebWindowType) override {
    if (view_.new_window && view_.new_window()) return nullptr;
    return this;
  }

 private:
  WebView& view_;
};

class EngineView final : public WebView {
 public:
  explicit EngineView(QWidget* parent) : view_(new QWebEngineView(parent)) {
    auto* page = new Page(QWebEngineProfile::defaultProfile(), *this, view_);
    view_->setPage(page);
    QObject::connect(page, &QWebEnginePage::loadStarted, view_, [this] {
      busy_ = true;
      if (download_begin) download_begin();
    });
    QObject::connect(page, &QWebEnginePage::loadProgress, view_, [this](int p) {
      if (progress) progress(p, 100);
    });
    QObject::connect(page, &QWebEnginePage::loadingChanged, view_, [this](const QWebEngineLoadingInfo& info) {
      if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) return;
      busy_ = false;
      const QString url = info.url().toString();
      if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus) {
        if (navigate_complete) navigate_complete(url);
        if (document_complete) document_complete(url);
      } else if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus) {
        if (navigate_error && navigate_error(url, info.errorCode())) view_->stop();
      }
      if (download_complete) download_complete();
    });
    QObject::connect(page, &QWebEnginePage::titleChanged, view_, [this](const QString& t) {
      if (title_change) title_change(t);
    });
    QObject::connect(page, &QWebEnginePage::linkHovered, view_, [this](const QString& link) {
      if (status_text) status_text(link);
    });
    QObject::connect(QWebEngineProfile::defaultProfile(), &QWebEngineProfile::downloadRequested, view_,
                     [this](QWebEngineDownloadRequest* d) {
                       if (d->page() != view_->page()) return;
                       if (file_download && file_download(d->url().toString())) d->cancel();
                       else d->accept();
                     });
  }
  ~EngineView() override { delete view_.data(); }

  QWidget* widget() override { return view_; }
  void navigate(const QString& url) override { view_->setUrl(QUrl::fromUserInput(url)); }
  void set_html(const QString& html) override { view_->setHtml(html); }
  void back() override { view_->back(); }
  void forward() override { view_->forward(); }
  void reload() override { view_->reload(); }
  void stop() override { view_->stop(); }
  QString url() const override { return view_->url().toString(); }
  QString title() const override { return view_->title(); }
  bool busy() const override { return busy_; }

 private:
  QPointer<QWebEngineView> view_;
  bool busy_ = false;
};

}  // namespace

}  // namespace qz

extern "C" __attribute__((visibility("default"))) qz::WebView* quazel_web_create(QWidget* parent) {
  // The engine's helper processes refuse to start sandboxed as root.
  if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  return new qz::EngineView(parent);
}
