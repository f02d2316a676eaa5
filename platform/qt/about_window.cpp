#include "platform/qt/about_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTime>
#include <QTimer>

namespace qz {

namespace {

QString qs(const std::u16string& s) { return QString::fromStdU16String(s); }

const QColor kLinkHover(0, 0, 255);

// The box itself: it keeps the circles it draws and reports its closing.
class AboutWindow final : public QWidget {
 public:
  AboutWindow(std::function<void()> closed) : closed_(std::move(closed)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
  }
  void add_circle() {
    // Reseeded from the time of day at every tick, as the design's generator was.
    QRandomGenerator rng(static_cast<quint32>(QTime::currentTime().msecsSinceStartOfDay()));
    QColor c(int(rng.generateDouble() * 255), int(rng.generateDouble() * 255), int(rng.generateDouble() * 255));
    QPoint at(int(rng.generateDouble() * width()), int(rng.generateDouble() * height()));
    int radius = int(rng.generateDouble() * 150 / 15) + 30 / 15;  // twips to pixels
    if (circles_.size() != size()) {
      QPixmap grown(size());
      grown.fill(Qt::transparent);
      QPainter p(&grown);
      p.drawPixmap(0, 0, circles_);
      circles_ = grown;
    }
    QPainter p(&circles_);
    p.setPen(c);
    p.drawEllipse(at, radius, radius);
    ++drawn;
    update();
  }
  int drawn = 0;
  QLabel* link = nullptr;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawPixmap(0, 0, circles_);
  }
  void mouseMoveEvent(QMouseEvent*) override {
    if (link && link->palette().color(QPalette::WindowText) == kLinkHover) link->setPalette(palette());
  }
  void closeEvent(QCloseEvent* e) override {
    if (closed_) {
      auto closed = std::move(closed_);
      closed_ = nullptr;
      closed();
    }
    QWidget::closeEvent(e);
  }

 private:
  std::function<void()> closed_;
  QPixmap circles_;
};

// A label that reports clicks and the pointer entering it.
class LinkLabel final : public QLabel {
 public:
  LinkLabel(QWidget* parent, std::function<void()> clicked) : QLabel(parent), clicked_(std::move(clicked)) {
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
  }
  bool hover_colour = false;

 protected:
  void mouseReleaseEvent(QMouseEvent*) override {
    if (clicked_) clicked_();
  }
  void mouseMoveEvent(QMouseEvent*) override {
    if (!hover_colour) return;
    QPalette p = palette();
    p.setColor(QPalette::WindowText, kLinkHover);
    setPalette(p);
  }

 private:
  std::function<void()> clicked_;
};

QPixmap logo() {
  QPixmap pm(96, 96);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(40, 90, 170));
  p.setPen(Qt::NoPen);
  p.drawEllipse(4, 4, 88, 88);
  p.setPen(QPen(Qt::white, 10));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(24, 24, 44, 44);
  p.drawLine(56, 56, 76, 76);
  return pm;
}

}  // namespace

QWidget* build_about_window(const AboutBoxTexts& t, std::function<void(const std::u16string&)> open,
                            std::function<void()> closed) {
  auto* w = new AboutWindow(std::move(closed));
  w->setWindowTitle(qs(t.caption));
  auto* grid = new QGridLayout(w);
  auto web = [open, address = t.web_address] {
    if (open) open(address);
  };
  auto* image = new LinkLabel(w, web);
  image->setObjectName(QStringLiteral("Image2"));
  image->setPixmap(logo());
  grid->addWidget(image, 0, 0, 4, 1, Qt::AlignTop);
  auto* timer = new QTimer(w);
  timer->setObjectName(QStringLiteral("Timer1"));
  timer->setInterval(100);
  QObject::connect(timer, &QTimer::timeout, w, [w] { w->add_circle(); });
  auto* title = new LinkLabel(w, [timer] {
    if (!timer->isActive()) timer->start();  // more clicks do not speed it up
  });
  title->setObjectName(QStringLiteral("lblTitle"));
  title->setText(qs(t.title));
  QFont big(QStringLiteral("Arial"));
  big.setPointSize(18);
  big.setBold(true);
  title->setFont(big);
  title->setCursor(Qt::ArrowCursor);
  grid->addWidget(title, 0, 1);
  auto* version = new QLabel(qs(t.version), w);
  version->setObjectName(QStringLiteral("lblVersion"));
  grid->addWidget(version, 1, 1);
  auto* description = new QLabel(qs(t.description), w);
  description->setObjectName(QStringLiteral("lblDescription"));
  description->setWordWrap(true);
  grid->addWidget(description, 2, 1);
  auto* contacts = new QLabel(qs(t.contacts), w);
  contacts->setObjectName(QStringLiteral("lblContacts"));
  grid->addWidget(contacts, 3, 1);
  auto* maker = new LinkLabel(w, web);
  maker->setObjectName(QStringLiteral("Label1"));
  maker->setText(qs(t.maker));
  maker->hover_colour = true;
  w->link = maker;
  grid->addWidget(maker, 4, 0, 1, 2);
  auto* ok = new QPushButton(qs(t.ok), w);
  ok->setObjectName(QStringLiteral("cmdOK"));
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, w, [w, open, help = t.help_file] {
    w->close();
    if (open) open(help);
  });
  grid->addWidget(ok, 5, 1, Qt::AlignRight);
  ok->setFocus();  // Enter presses OK
  return w;
}

void open_about_window(const AboutBoxTexts& texts, std::function<void(const std::u16string&)> open,
                       std::function<void()> closed) {
  QWidget* w = build_about_window(texts, std::move(open), std::move(closed));
  w->show();
  w->raise();
}

}  // namespace qz
