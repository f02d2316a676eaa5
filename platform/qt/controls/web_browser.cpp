// Web: a browser control on the web engine module. Members navigate and read the page; the
// engine's happenings become the events of the browser table (BeforeNavigate2, NavigateComplete2,
// DocumentComplete, NavigateError, NewWindow2, FileDownload, DownloadBegin, DownloadComplete,
// ProgressChange, StatusTextChange, TitleChange). Where the events carry Cancel, the procedure's
// Cancel is the answer; for NavigateError, NewWindow2 and FileDownload a non-empty result of the
// procedure overrides it. The page view (and with it the web engine) comes when the control is
// first shown or told to go somewhere; without the module the control is an empty window whose
// navigation does nothing.
#include <QVBoxLayout>

#include "com/convert.h"
#include "platform/qt/control_registry.h"
#include "platform/qt/web_view.h"

namespace qz {

namespace {

QString qs(const Variant& v) { return QString::fromStdU16String(to_u16(v)); }

class WebBrowser final : public NativeObject<WebBrowser, QtControl> {
 public:
  static void define(Members<WebBrowser>& m) {
    define_common_members(m);
    auto go = [](WebBrowser& w, Args a) {
      w.check_alive();
      if (WebView* v = w.view()) v->navigate(qs(a[0]));
      return Variant();
    };
    m.method(u"Navigate", go);
    m.method(u"Navigate2", go);
    struct Step {
      std::u16string_view name;
      void (WebView::*call)();
    };
    for (Step s : {Step{u"GoBack", &WebView::back}, Step{u"GoForward", &WebView::forward},
                   Step{u"Refresh", &WebView::reload}, Step{u"Stop", &WebView::stop}}) {
      auto call = s.call;
      m.method(s.name, [call](WebBrowser& w, Args) {
        if (w.view_) (w.view_.get()->*call)();
        return Variant();
      });
    }
    m.method(u"GoHome", [](WebBrowser& w, Args) {
      if (WebView* v = w.view()) v->navigate(QStringLiteral("about:blank"));
      return Variant();
    });
    // The page's text as HTML, for scripts that build what they show.
    m.method(u"SetHTML", [](WebBrowser& w, Args a) {
      if (WebView* v = w.view()) v->set_html(qs(a[0]));
      return Variant();
    });
    m.getter(u"LocationURL", [](WebBrowser& w, Args) {
      return Variant(w.view_ ? w.view_->url().toStdU16String() : std::u16string());
    });
    m.getter(u"LocationName", [](WebBrowser& w, Args) {
      return Variant(w.view_ ? w.view_->title().toStdU16String() : std::u16string());
    });
    m.getter(u"Busy", [](WebBrowser& w, Args) { return Variant(w.view_ && w.view_->busy()); });
    m.getter(u"ReadyState", [](WebBrowser& w, Args) { return Variant(int32_t{w.view_ && w.view_->busy() ? 3 : 4}); });
  }
  std::u16string type_name() const override { return u"WebBrowser"; }

  WebBrowser(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<WebBrowser, QtControl>(kind, index) {
    auto* frame = new QWidget(parent);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    attach(frame);
  }

  bool on_event(QObject* watched, QEvent* event) override {
    if (watched == widget() && event->type() == QEvent::Show) view();
    return QtControl::on_event(watched, event);
  }

  // The page view, made on first use; nullptr without the web engine.
  WebView* view() {
    if (!view_ && !tried_ && !destroyed()) {
      tried_ = true;
      view_ = make_web_view(widget());
      if (view_) {
        widget()->layout()->addWidget(view_->widget());
        wire();
      }
    }
    return view_.get();
  }

  // Raises a browser event; for the events whose answer is Cancel (the last argument), returns
  // it as the procedure left it, or as a non-empty result of the procedure sets it.
  bool raise_cancellable(std::u16string_view event, std::vector<Variant>& args, bool result_decides) {
    Variant result;
    bool ran = raise_event(event, args, &result);
    Variant& cancel = args.back();
    if (ran && result_decides && !result.is_empty()) {
      try {
        cancel = Variant(to_bool(result));
      } catch (...) {
        // a result with no Boolean value leaves Cancel as it is
      }
    }
    try {
      return to_bool(cancel);
    } catch (...) {
      return false;
    }
  }

 private:
  void wire() {
    WebView& v = *view_;
    auto self = [this] { return Variant(static_cast<Object*>(this)); };
    v.before_navigate = [this, self](const QString& url) {
      std::vector<Variant> a{self(), Variant(url.toStdU16String()), Variant(int32_t{0}), Variant(u""), Variant(),
                             Variant(u""), Variant(false)};
      return raise_cancellable(u"BeforeNavigate2", a, false);
    };
    v.navigate_complete = [this, self](const QString& url) {
      std::vector<Variant> a{self(), Variant(url.toStdU16String())};
      raise_event(u"NavigateComplete2", a);
    };
    v.document_complete = [this, self](const QString& url) {
      std::vector<Variant> a{self(), Variant(url.toStdU16String())};
      raise_event(u"DocumentComplete", a);
    };
    v.navigate_error = [this, self](const QString& url, int status) {
      std::vector<Variant> a{self(), Variant(url.toStdU16String()), Variant(u""), Variant(int32_t{status}),
                             Variant(false)};
      return raise_cancellable(u"NavigateError", a, true);
    };
    v.new_window = [this] {
      std::vector<Variant> a{Variant::nothing(), Variant(false)};
      return raise_cancellable(u"NewWindow2", a, true);
    };
    v.file_download = [this](const QString&) {
      std::vector<Variant> a{Variant(false)};
      return raise_cancellable(u"FileDownload", a, true);
    };
    v.download_begin = [this] { raise_event(u"DownloadBegin"); };
    v.download_complete = [this] { raise_event(u"DownloadComplete"); };
    v.progress = [this](int p, int max) {
      std::vector<Variant> a{Variant(int32_t{p}), Variant(int32_t{max})};
      raise_event(u"ProgressChange", a);
    };
    v.status_text = [this](const QString& t) {
      std::vector<Variant> a{Variant(t.toStdU16String())};
      raise_event(u"StatusTextChange", a);
    };
    v.title_change = [this](const QString& t) {
      std::vector<Variant> a{Variant(t.toStdU16String())};
      raise_event(u"TitleChange", a);
    };
  }

  std::unique_ptr<WebView> view_;
  bool tried_ = false;
};

}  // namespace

Ref<QtControl> make_web_browser(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new WebBrowser(kind, index, parent));
}

}  // namespace qz
