// sys.Console: a text console on the process's terminal. ConsoleOpen starts it (there is no
// separate console window to make: the terminal is the console; the title goes to the
// terminal window), PrintText writes coloured text, Locate moves the cursor, ReadText and
// ReadChar read a line or one key. Before ConsoleOpen and after ConsoleClose the members
// show nothing and read nothing, as a process without a console would.
#pragma once
#include "com/object.h"

namespace qz {

class EngineLink;

Ref<Object> new_console_object();
// The factory of sys.Console.
Ref<Object> create_console_service(EngineLink& engine);

}  // namespace qz
