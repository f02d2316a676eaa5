#include "platform/qt/qt_dialogs.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QUrl>

#include "platform/event_loop.h"
#include "platform/qt/about_window.h"
#include "platform/qt/error_dialog.h"
#include "platform/qt/gui_application.h"
#include "platform/qt/qt_control.h"

namespace qz {

namespace {

QString qs(std::u16string_view s) { return QString::fromStdU16String(std::u16string(s)); }

constexpr const char* kAnswerProperty = "quazelAnswer";

class QtDialogs final : public DialogServices {
 public:
  int message_box(std::u16string_view prompt, int buttons, std::u16string_view title) override {
    std::unique_ptr<QMessageBox> box(build_message_box(prompt, buttons, title));
    run_dialog(*box);
    return answer_of(*box);
  }

  std::optional<std::u16string> input_box(std::u16string_view prompt, std::u16string_view title,
                                          std::u16string_view default_text) override {
    QInputDialog d;
    d.setWindowTitle(qs(title));
    d.setLabelText(qs(prompt));
    d.setTextValue(qs(default_text));
    if (run_dialog(d) != QDialog::Accepted) return std::nullopt;
    return d.textValue().toStdU16String();
  }

  std::optional<FontSpec> choose_font(const FontSpec& initial, int32_t& color) override {
    QFont f(qs(initial.name));
    if (initial.size > 0) f.setPointSizeF(initial.size);
    f.setWeight(initial.weight >= 700 ? QFont::Bold : QFont::Normal);
    f.setItalic(initial.italic);
    f.setUnderline(initial.underline);
    f.setStrikeOut(initial.strikethrough);
    QFontDialog d(f);
    if (run_dialog(d) != QDialog::Accepted) return std::nullopt;
    QFont chosen = d.selectedFont();
    FontSpec out;
    out.name = chosen.family().toStdU16String();
    out.size = chosen.pointSizeF();
    out.weight = chosen.bold() ? 700 : 400;
    out.italic = chosen.italic();
    out.underline = chosen.underline();
    out.strikethrough = chosen.strikeOut();
    (void)color;  // the dialog has no colour choice: the colour comes back as it went in
    return out;
  }

  std::optional<int32_t> choose_color(std::array<int32_t, 16>& custom) override {
    for (int i = 0; i < 16; ++i) QColorDialog::setCustomColor(i, to_qcolor(custom[static_cast<size_t>(i)]));
    QColorDialog d;
    int r = run_dialog(d);
    for (int i = 0; i < 16; ++i) custom[static_cast<size_t>(i)] = from_qcolor(QColorDialog::customColor(i));
    if (r != QDialog::Accepted) return std::nullopt;
    return from_qcolor(d.selectedColor());
  }

  std::optional<std::u16string> choose_folder(std::u16string_view title) override {
    QFileDialog d(nullptr, qs(title));
    d.setFileMode(QFileDialog::Directory);
    d.setOption(QFileDialog::ShowDirsOnly);
    if (run_dialog(d) != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
    return d.selectedFiles().front().toStdU16String();
  }

  std::optional<std::u16string> choose_file(const FileDialogRequest& r) override {
    QFileDialog d(nullptr, qs(r.title), qs(r.initial_folder));
    d.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d.setFileMode(r.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QStringList filters = file_name_filters(r.filter);
    if (!filters.isEmpty()) {
      d.setNameFilters(filters);
      int i = r.filter_index > 0 ? r.filter_index - 1 : 0;
      if (i < filters.size()) d.selectNameFilter(filters[i]);
    }
    if (!r.default_extension.empty()) d.setDefaultSuffix(qs(r.default_extension));
    if (!r.file_name.empty()) d.selectFile(qs(r.file_name));
    if (run_dialog(d) != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
    return d.selectedFiles().front().toStdU16String();
  }

  std::optional<PrinterSetup> choose_printer(const PrinterSetup& current,
                                             const std::vector<std::u16string>& printers) override {
    QDialog d;
    d.setWindowTitle(QStringLiteral("Print Setup"));
    auto* form = new QFormLayout(&d);
    auto* name = new QComboBox(&d);
    for (const std::u16string& p : printers) name->addItem(qs(p));
    name->setCurrentText(qs(current.device));
    auto* copies = new QSpinBox(&d);
    copies->setRange(1, 9999);
    copies->setValue(current.copies);
    auto* orientation = new QComboBox(&d);
    orientation->addItems({QStringLiteral("Portrait"), QStringLiteral("Landscape")});
    orientation->setCurrentIndex(current.orientation == 2 ? 1 : 0);
    auto* duplex = new QComboBox(&d);
    duplex->addItems({QStringLiteral("One-sided"), QStringLiteral("Long edge"), QStringLiteral("Short edge")});
    duplex->setCurrentIndex(current.duplex >= 1 && current.duplex <= 3 ? current.duplex - 1 : 0);
    form->addRow(QStringLiteral("Printer"), name);
    form->addRow(QStringLiteral("Copies"), copies);
    form->addRow(QStringLiteral("Orientation"), orientation);
    form->addRow(QStringLiteral("Two-sided"), duplex);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    form->addRow(buttons);
    if (run_dialog(d) != QDialog::Accepted) return std::nullopt;
    PrinterSetup out;
    out.device = name->currentText().toStdU16String();
    out.copies = static_cast<int16_t>(copies->value());
    out.orientation = static_cast<int16_t>(orientation->currentIndex() + 1);
    out.duplex = static_cast<int16_t>(duplex->currentIndex() + 1);
    return out;
  }

  void show_script_error(const ScriptErrorReport& report, std::function<void(const std::u16string&)> send) override {
    std::unique_ptr<QDialog> d(build_error_dialog(report, std::move(send)));
    run_dialog(*d);
  }

  void show_about_box(const AboutBoxTexts& texts, std::function<void(const std::u16string&)> open,
                      std::function<void()> closed) override {
    open_about_window(texts, std::move(open), std::move(closed));
  }
};

}  // namespace

int run_dialog(QDialog& dialog) {
  bool done = false;
  int result = QDialog::Rejected;
  QMetaObject::Connection c = QObject::connect(&dialog, &QDialog::finished, [&](int r) {
    done = true;
    result = r;
  });
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.show();
  dialog.raise();
  dialog.activateWindow();
  EventLoop* loop = gui_event_loop();
  while (!done && dialog.isVisible() && !(loop && loop->quitting())) {
    if (loop) loop->run_once();
    else QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  QObject::disconnect(c);
  if (!done) result = dialog.result();
  return result;
}

QMessageBox* build_message_box(std::u16string_view prompt, int buttons, std::u16string_view title) {
  auto* box = new QMessageBox();
  box->setWindowTitle(qs(title));
  box->setText(qs(prompt));
  switch (buttons & 0x70) {
    case 16: box->setIcon(QMessageBox::Critical); break;
    case 32: box->setIcon(QMessageBox::Question); break;
    case 48: box->setIcon(QMessageBox::Warning); break;
    case 64: box->setIcon(QMessageBox::Information); break;
    default: break;
  }
  struct Button {
    const char* text;
    int answer;
    QMessageBox::ButtonRole role;
  };
  static const std::vector<Button> kSets[7] = {
      {{"OK", 1, QMessageBox::AcceptRole}},
      {{"OK", 1, QMessageBox::AcceptRole}, {"Cancel", 2, QMessageBox::RejectRole}},
      {{"&Abort", 3, QMessageBox::RejectRole}, {"&Retry", 4, QMessageBox::AcceptRole}, {"&Ignore", 5, QMessageBox::AcceptRole}},
      {{"&Yes", 6, QMessageBox::YesRole}, {"&No", 7, QMessageBox::NoRole}, {"Cancel", 2, QMessageBox::RejectRole}},
      {{"&Yes", 6, QMessageBox::YesRole}, {"&No", 7, QMessageBox::NoRole}},
      {{"&Retry", 4, QMessageBox::AcceptRole}, {"Cancel", 2, QMessageBox::RejectRole}},
      {{"Cancel", 2, QMessageBox::RejectRole}, {"&Try Again", 10, QMessageBox::AcceptRole}, {"&Continue", 11, QMessageBox::AcceptRole}},
  };
  const std::vector<Button>& set = kSets[(buttons & 7) < 7 ? (buttons & 7) : 0];
  std::vector<QPushButton*> made;
  for (const Button& b : set) {
    QPushButton* p = box->addButton(QString::fromUtf8(b.text), b.role);
    p->setProperty(kAnswerProperty, b.answer);
    made.push_back(p);
  }
  size_t def = static_cast<size_t>((buttons >> 8) & 3);
  box->setDefaultButton(made[def < made.size() ? def : 0]);
  // Escape answers Cancel where there is one; a box without it cannot be escaped but by OK.
  for (QPushButton* p : made)
    if (p->property(kAnswerProperty).toInt() == 2) box->setEscapeButton(p);
  if (made.size() == 1) box->setEscapeButton(made[0]);
  return box;
}

int answer_of(QMessageBox& box) {
  QAbstractButton* b = box.clickedButton();
  if (b) return b->property(kAnswerProperty).toInt();
  QAbstractButton* escape = box.escapeButton();
  return escape ? escape->property(kAnswerProperty).toInt() : 2;
}

QStringList file_name_filters(std::u16string_view filter) {
  QStringList parts = qs(filter).split(QLatin1Char('|'));
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty() && parts[i + 1].isEmpty()) continue;
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    out << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
  }
  return out;
}

DialogServices& qt_dialog_services() {
  static QtDialogs dialogs;
  return dialogs;
}

}  // namespace qz
