// Window messages on Qt: the process's message hook, and the making of messages from the Qt
// events of watched windows (the table is in platform/window/window_messages.h).
#pragma once
#include "platform/window/window_system.h"

class QEvent;

namespace qz {

class QtControl;

void set_window_message_hook(MessageHook hook);
// Hands one message to the hook; nothing when no hook is set. Never throws.
void send_window_message(const WindowMessage& m);
// The messages that a Qt event of a watched control's widget makes, sent in order.
void send_event_messages(QtControl& control, QEvent* event);

}  // namespace qz
