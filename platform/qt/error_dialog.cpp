#include "platform/qt/error_dialog.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <memory>

#include "platform/qt/qt_dialogs.h"

namespace qz {

namespace {

QString qs(const std::u16string& s) { return QString::fromStdU16String(s); }

// A label that acts on a click, with the pointer of a link.
class ClickLabel final : public QLabel {
 public:
  ClickLabel(const QString& text, QWidget* parent, std::function<void()> clicked)
      : QLabel(text, parent), clicked_(std::move(clicked)) {
    setCursor(Qt::PointingHandCursor);
  }

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && clicked_) clicked_();
  }

 private:
  std::function<void()> clicked_;
};

QLabel* label(QWidget* parent, const char* name, const std::u16string& text) {
  auto* l = new QLabel(qs(text), parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setWordWrap(true);
  return l;
}

QFrame* separator(QWidget* parent) {
  auto* line = new QFrame(parent);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

void information(const std::u16string& text, const char* title) {
  std::unique_ptr<QMessageBox> box(build_message_box(text, 64, QString::fromLatin1(title).toStdU16String()));
  run_dialog(*box);
}

}  // namespace

QDialog* build_error_dialog(const ScriptErrorReport& r, std::function<void(const std::u16string&)> send) {
  auto* d = new QDialog();
  d->setWindowTitle(qs(r.caption));
  auto* layout = new QVBoxLayout(d);
  auto* top = new QHBoxLayout();
  auto* image = new QLabel(d);
  image->setObjectName(QStringLiteral("Image1"));
  image->setPixmap(d->style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
  top->addWidget(image);
  QLabel* intro = label(d, "Label1", r.intro);
  intro->setText(intro->text().trimmed());
  top->addWidget(intro, 1);
  layout->addLayout(top);
  layout->addWidget(label(d, "Label2", r.lost_work));
  layout->addWidget(separator(d));
  layout->addWidget(label(d, "Label3", r.tell));
  layout->addWidget(label(d, "Label4", r.created));
  auto* see = new QHBoxLayout();
  QLabel* see_label = label(d, "Label5", r.see);
  see_label->setWordWrap(false);
  see->addWidget(see_label);
  auto* link = new ClickLabel(qs(r.click_here), d, [r] {
    std::unique_ptr<QDialog> details(build_error_details(r));
    run_dialog(*details);
  });
  link->setObjectName(QStringLiteral("Label6"));
  QFont f = link->font();
  f.setUnderline(true);
  link->setFont(f);
  see->addWidget(link);
  see->addStretch(1);
  layout->addLayout(see);
  auto* buttons = new QHBoxLayout();
  buttons->addStretch(1);
  auto* send_button = new QPushButton(qs(r.send), d);
  send_button->setObjectName(QStringLiteral("Command1"));
  auto* close_button = new QPushButton(qs(r.dont_send), d);
  close_button->setObjectName(QStringLiteral("Command2"));
  close_button->setDefault(true);
  buttons->addWidget(send_button);
  buttons->addWidget(close_button);
  layout->addLayout(buttons);
  std::u16string mail = r.mail_link;
  QObject::connect(send_button, &QPushButton::clicked, d, [d, send, mail] {
    if (send) send(mail);
    d->accept();
  });
  QObject::connect(close_button, &QPushButton::clicked, d, &QDialog::reject);
  return d;
}

QDialog* build_error_details(const ScriptErrorReport& r) {
  auto* d = new QDialog();
  d->setWindowTitle(qs(r.details_caption));
  auto* layout = new QVBoxLayout(d);
  QLabel* title = label(d, "Label1", r.details_title);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  layout->addWidget(title);
  layout->addWidget(separator(d));
  layout->addWidget(label(d, "Label2", r.header));
  std::u16string type = r.type, other = r.source_lines;
  auto* type_label = new ClickLabel(qs(r.type), d, [type] { information(type, "Type Error"); });
  type_label->setObjectName(QStringLiteral("Label3"));
  type_label->setWordWrap(true);
  layout->addWidget(type_label);
  auto* code_label = new ClickLabel(qs(r.details_code), d, [other] { information(other, "Other Error Code"); });
  code_label->setObjectName(QStringLiteral("Label4"));
  code_label->setWordWrap(true);
  layout->addWidget(code_label);
  layout->addWidget(separator(d));
  auto* bottom = new QHBoxLayout();
  bottom->addWidget(label(d, "Label7", r.details_version));
  bottom->addStretch(1);
  auto* close = new QPushButton(qs(r.details_close), d);
  close->setObjectName(QStringLiteral("Command1"));
  close->setDefault(true);
  QObject::connect(close, &QPushButton::clicked, d, &QDialog::accept);
  bottom->addWidget(close);
  layout->addLayout(bottom);
  return d;
}

}  // namespace qz
