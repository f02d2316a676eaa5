// Which script form hears which window message (AttachMsg / DetachMsg). The toolkit makes the
// messages of watched windows from its events (platform/window/window_messages.h) and hands them
// to one hook here, which runs each subscribed form's WindowProc. An entry never outlives its
// window (WM_DESTROY drops every entry of the window) or its form (unload and the engine's
// reset withdraw the form's entries).
#pragma once
#include <cstdint>

#include "platform/window/window_system.h"

namespace qz {

class ScriptForm;

// Subscribes `form` to `message` on `window`; a second subscription of the same is one.
void subscribe_message(ScriptForm* form, WindowHandle window, int32_t message);
void unsubscribe_message(ScriptForm* form, WindowHandle window, int32_t message);
// Every entry of the form goes.
void withdraw_subscriptions(ScriptForm* form);
// Every entry goes (the engine's reset).
void clear_subscriptions();
// How many entries there are (for tests).
size_t subscription_count();

}  // namespace qz
