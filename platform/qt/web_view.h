// A web page view as the browser control drives it. The real one is Qt WebEngine in a module of
// its own (libquazel_web.so), loaded the first time a browser control is made, so forms that
// never browse do not load the web engine. The view reports what happens as callbacks; those
// whose answer may cancel the step return true to cancel.
#pragma once
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

namespace qz {

class WebView {
 public:
  virtual ~WebView() = default;
  virtual QWidget* widget() = 0;
  virtual void navigate(const QString& url) = 0;
  virtual void set_html(const QString& html) = 0;
  virtual void back() = 0;
  virtual void forward() = 0;
  virtual void reload() = 0;
  virtual void stop() = 0;
  virtual QString url() const = 0;
  virtual QString title() const = 0;
  virtual bool busy() const = 0;

  // Before the main frame goes to `url`: true cancels.
  std::function<bool(const QString& url)> before_navigate;
  std::function<void(const QString& url)> navigate_complete, document_complete;
  // A page that failed to load (`status` the HTTP or network error number): true stops the
  // error page from showing.
  std::function<bool(const QString& url, int status)> navigate_error;
  // The page asks for a new window: true refuses it (otherwise it opens in this view).
  std::function<bool()> new_window;
  // A download is offered: true refuses it.
  std::function<bool(const QString& url)> file_download;
  std::function<void()> download_begin, download_complete;
  std::function<void(int progress, int maximum)> progress;
  std::function<void(const QString& text)> status_text, title_change;
};

using WebViewFactory = std::function<std::unique_ptr<WebView>(QWidget* parent)>;
// A view on `parent`; nullptr when the web engine module cannot be loaded.
std::unique_ptr<WebView> make_web_view(QWidget* parent);
// Tests put a view of their own in its place; nullptr goes back to the module.
void set_web_view_factory(WebViewFactory factory);

// The module's entry point: a new view on `parent`, owned by the caller.
using WebModuleEntry = WebView* (*)(QWidget* parent);
constexpr const char* kWebModuleEntry = "quazel_web_create";

}  // namespace qz
