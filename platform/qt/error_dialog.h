// The script error dialog on Qt: what happened, the report that could be mailed, the send and
// don't-send buttons, and the "click here" link to the details window (header, type and code
// lines, each line clickable for its whole text). Built without being shown, so tests can read
// it; the widgets carry the names Label1..Label6, Command1, Command2 (details: Label1..Label4,
// Label7, Command1).
#pragma once
#include <QDialog>

#include <functional>
#include <string>

#include "platform/window/dialog_services.h"

namespace qz {

// `send` gets the mail link when the report is to be sent.
QDialog* build_error_dialog(const ScriptErrorReport& report, std::function<void(const std::u16string&)> send);
QDialog* build_error_details(const ScriptErrorReport& report);

}  // namespace qz
