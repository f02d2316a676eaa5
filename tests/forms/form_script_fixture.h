// A script form in a script control, for tests that drive it through the window system: the
// form's module holds the procedures a test gives it, which append to the global `log`.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "com/convert.h"
#include "forms/control_kinds.h"
#include "forms/event_forwarding.h"
#include "forms/script_form.h"
#include "script/script_control.h"
#include "tests/forms/gui_fixture.h"

namespace qz {

class FormScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    install_offscreen_window_system();
    control = make_ref<ScriptControl>();
    control->add_code(u"Dim log, answer\r\n");
    set_forms_script_control([this] { return control.get(); });
    form = create_script_form(2, u"Form1");
    control->add_object(u"Form1", form);
    module = control->add_module(u"2_mdl_form_");
  }
  void TearDown() override {
    unload_all_script_forms();
    set_forms_script_control(nullptr);
    settle();
  }
  // Script text with "\n" ending lines, as the engine hands it over.
  static std::u16string crlf(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : text) {
      if (c == u'\n') out += u"\r\n";
      else out.push_back(c);
    }
    return out;
  }
  // Procedures of the form's module; "\n" ends lines.
  void code(std::u16string text) { module->add_code(crlf(text)); }
  void add(std::vector<Variant> args) { form->call(u"Add", std::move(args)); }
  ToolkitWindow* element(std::u16string_view kind, int16_t index) {
    return form->array(*find_control_kind(kind)).element(index);
  }
  QWidget* widget(std::u16string_view kind, int16_t index) { return widget_of(element(kind, index)); }
  QWidget* form_widget() { return widget_of(&form->window()); }
  std::u16string log() { return to_u16(control->eval(u"log")); }
  void clear_log() { control->execute_statement(u"log = \"\""); }

  Ref<ScriptControl> control;
  Ref<ScriptForm> form;
  ScriptModule* module = nullptr;
};

}  // namespace qz
