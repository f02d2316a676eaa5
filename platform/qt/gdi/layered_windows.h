// Layered windows (sys.GDI.SetAlpha/IsAlpha, PNG skins): a whole-window opacity, or black made
// transparent (the colour key, taken from what the window shows when it is set).
#pragma once
#include <cstdint>

#include "platform/window/window_system.h"

class QWidget;

namespace qz {

bool window_is_layered(WindowHandle window);
// flags 2: `alpha` is the opacity; 1: black becomes transparent. False for no top-level window.
bool set_layered_window(WindowHandle window, uint8_t alpha, int32_t flags);
// Marks a top-level widget layered (the skin does, as its style bit would).
void mark_layered(QWidget* window);

}  // namespace qz
