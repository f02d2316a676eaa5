// The dialogs on Qt: message and input boxes, the common dialogs, and the modal run they share.
// A dialog is shown application-modal and the engine's loop runs until it closes, so script
// timers and other windows' events go on while it is open (modal loops nest).
#pragma once
#include <QDialog>
#include <QString>

#include "platform/window/dialog_services.h"

class QMessageBox;

namespace qz {

// Shows `dialog` modally and returns its result once it has been closed.
int run_dialog(QDialog& dialog);

// The message box a MsgBox style describes (buttons, icon, default button), not yet shown; its
// buttons report the platform's answer numbers through answer_of().
QMessageBox* build_message_box(std::u16string_view prompt, int buttons, std::u16string_view title);
int answer_of(QMessageBox& box);

// "Text|*.txt|All|*.*" as Qt's name filters ("Text (*.txt)", "All (*.*)").
QStringList file_name_filters(std::u16string_view filter);

DialogServices& qt_dialog_services();

}  // namespace qz
