// The About box on Qt: name, version, description, contacts, the maker's link (lighter while
// the pointer is on it), a logo, an OK button that closes the box and opens the help file, and
// a title that, once clicked, sets a timer drawing random circles on the box.
#pragma once
#include <QWidget>

#include <functional>
#include <string>

#include "platform/window/dialog_services.h"

namespace qz {

// The box, not yet shown; it deletes itself when closed, after `closed` has run. Widgets are
// named lblTitle, lblVersion, lblDescription, lblContacts, Label1, Image2, cmdOK, Timer1.
QWidget* build_about_window(const AboutBoxTexts& texts, std::function<void(const std::u16string&)> open,
                            std::function<void()> closed);
void open_about_window(const AboutBoxTexts& texts, std::function<void(const std::u16string&)> open,
                       std::function<void()> closed);

}  // namespace qz
