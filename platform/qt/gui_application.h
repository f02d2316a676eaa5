// The one QApplication of the process. It is made on the first use of a window, on the display
// the environment names (X11 or Wayland) or, without one, on Qt's offscreen platform, and from
// then on the engine's event loop waits inside Qt's dispatcher, so window input, the engine's
// timers, sockets and signals are all handled on the one thread.
#pragma once

namespace qz {

class EventLoop;

// Makes the application (once) and hands `loop`'s waiting to Qt. Returns false when Qt cannot
// start (no platform plug-in).
bool start_gui_application(EventLoop* loop);
EventLoop* gui_event_loop();
// True when windows are drawn off screen.
bool gui_offscreen();

// A Qt callback changed what the engine's loop waits for (a pop-up menu closed): its wait
// returns to let it look again instead of sleeping on.
void wake_engine_loop();

}  // namespace qz
