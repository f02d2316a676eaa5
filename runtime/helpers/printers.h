// The machine's printers as the script sees them: the printers collection (zero-based), the
// current printer, and printer objects that draw a document on pages of the window system and
// hand it to the print spooler as PDF on EndDoc. Printers are the spooler's destinations
// (`lpstat -e`); a machine without the spooler's tools has none.
#pragma once
#include <string>

#include "com/object.h"

namespace qz {

// The printers collection: Count, Item(index) from 0, For Each. Listed once per process.
Ref<Object> printers_collection();
// The current printer: the spooler's default destination until a script chooses another;
// null when there is none.
Ref<Object> current_printer();
// Makes `printer` current when it is a printer object; false (nothing changed) otherwise.
bool set_current_printer(Object* printer);
// Item `index` (from 0) of the printers collection; null when outside.
Ref<Object> printer_at(int index);

}  // namespace qz
