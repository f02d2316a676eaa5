#include "platform/window/event_tables.h"

#include "com/convert.h"
#include "com/str.h"

namespace qz {

namespace {

using T = EventArgType;
using M = EventArgMode;

// Kinds in the order of the form's arrays. Notes on rows that differ from the plain rule:
// - Over/Out of Command, Frame and Pic come from hover tracking with the mouse move's arguments.
// - Form Unload: the result is the cancel code (0 unloads, 2 hides, else refused).
// - Web NavigateError, NewWindow2 and FileDownload: a non-empty result sets Cancel.
// - OLE Validate: the Cancel the procedure leaves is the answer; OLE Resize passes the height
//   before the width.
// - SkinShape raises MouseOver/MouseOut itself (suffixes "_MouseOver", "_MouseOut").
// - Every socket (Wsk) event also runs the array-wide procedure.
const std::vector<EventTable>& tables() {
  static const auto* t = new std::vector<EventTable>{
      {u"Command", u"Command", {
          {u"Click", u"Click", {}, true, false},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"KeyPress", u"KeyPress", {{u"KeyAscii", T::Int16, M::Ref}}},
          {u"MouseDown", u"MouseDown", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseMove", u"MouseMove", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseUp", u"MouseUp", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"OLEDragDrop", u"OLEDragDrop", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"OLEDragOver", u"OLEDragOver", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"Over", u"Over", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"Out", u"Out", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
      }},
      {u"Label", u"Label", {
          {u"Click", u"Click", {}, true, false},
          {u"DblClick", u"DblClick", {}},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"MouseDown", u"MouseDown", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseMove", u"MouseMove", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseUp", u"MouseUp", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"OLEDragDrop", u"OLEDragDrop", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"OLEDragOver", u"OLEDragOver", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
      }},
      {u"Pic", u"Pic", {
          {u"Click", u"Click", {}, true, false},
          {u"DblClick", u"DblClick", {}},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"KeyDown", u"KeyDown", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"KeyPress", u"KeyPress", {{u"KeyAscii", T::Int16, M::Ref}}},
          {u"KeyUp", u"KeyUp", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"MouseDown", u"MouseDown", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseMove", u"MouseMove", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseUp", u"MouseUp", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"Paint", u"Paint", {}},
          {u"Resize", u"Resize", {}},
          {u"OLEDragOver", u"OLEDragOver", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"OLEDragDrop", u"OLEDragDrop", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"Over", u"Over", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"Out", u"Out", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
      }},
      {u"Text", u"Text", {
          {u"Change", u"Change", {}},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"KeyDown", u"KeyDown", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"KeyPress", u"KeyPress", {{u"KeyAscii", T::Int16, M::Ref}}},
          {u"KeyUp", u"KeyUp", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"MouseDown", u"MouseDown", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseUp", u"MouseUp", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"Click", u"Click", {}, true, false},
          {u"DblClick", u"DblClick", {}},
          {u"OLEDragOver", u"OLEDragOver", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"OLEDragDrop", u"OLEDragDrop", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
      }},
      {u"MText", u"MText", {
          {u"Change", u"Change", {}},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"KeyDown", u"KeyDown", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"KeyPress", u"KeyPress", {{u"KeyAscii", T::Int16, M::Ref}}},
          {u"KeyUp", u"KeyUp", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"MouseDown", u"MouseDown", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseUp", u"MouseUp", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"Click", u"Click", {}, true, false},
          {u"DblClick", u"DblClick", {}},
          {u"OLEDragOver", u"OLEDragOver", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"OLEDragDrop", u"OLEDragDrop", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
      }},
      {u"TextBox", u"TextBox", {
          {u"Change", u"Change", {}},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"KeyDown", u"KeyDown", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"KeyPress", u"KeyPress", {{u"KeyAscii", T::Int16, M::Ref}}},
          {u"KeyUp", u"KeyUp", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"MouseDown", u"MouseDown", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseUp", u"MouseUp", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"Click", u"Click", {}, true, false},
          {u"DblClick", u"DblClick", {}},
          {u"OLEDragOver", u"OLEDragOver", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"OLEDragDrop", u"OLEDragDrop", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
      }},
      {u"Combo", u"Combo", {
          {u"Change", u"Change", {}},
          {u"Click", u"Click", {}, true, false},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"DropDown", u"DropDown", {}},
          {u"KeyDown", u"KeyDown", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"KeyUp", u"KeyUp", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"OLEDragDrop", u"OLEDragDrop", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"OLEDragOver", u"OLEDragOver", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"Scroll", u"Scroll", {}},
      }},
      {u"LCombo", u"LCombo", {
          {u"Change", u"Change", {}},
          {u"Click", u"Click", {}, true, false},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"DropDown", u"DropDown", {}},
          {u"KeyDown", u"KeyDown", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"KeyUp", u"KeyUp", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"OLEDragDrop", u"OLEDragDrop", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"OLEDragOver", u"OLEDragOver", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"Scroll", u"Scroll", {}},
      }},
      {u"Check", u"Check", {
          {u"Click", u"Click", {}, true, false},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"KeyPress", u"KeyPress", {{u"KeyAscii", T::Int16, M::Ref}}},
          {u"MouseDown", u"MouseDown", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseUp", u"MouseUp", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
      }},
      {u"COption", u"cOption", {
          {u"Click", u"Click", {}, true, false},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"KeyPress", u"KeyPress", {{u"KeyAscii", T::Int16, M::Ref}}},
          {u"MouseDown", u"MouseDown", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseUp", u"MouseUp", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
      }},
      {u"List", u"List", {
          {u"Click", u"Click", {}, true, false},
          {u"DblClick", u"DblClick", {}},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"ItemCheck", u"ItemCheck", {{u"Item", T::Int16, M::Ref}}},
          {u"KeyDown", u"KeyDown", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"KeyUp", u"KeyUp", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"OLEDragDrop", u"OLEDragDrop", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"OLEDragOver", u"OLEDragOver", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"Scroll", u"Scroll", {}},
      }},
      {u"HScroll", u"HScroll", {
          {u"Change", u"Change", {}},
          {u"Scroll", u"Scroll", {}},
          {u"KeyDown", u"KeyDown", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"KeyUp", u"KeyUp", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
      }},
      {u"VScroll", u"VScroll", {
          {u"Change", u"Change", {}},
          {u"Scroll", u"Scroll", {}},
          {u"KeyDown", u"KeyDown", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"KeyUp", u"KeyUp", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
      }},
      {u"CTimer", u"cTimer", {
          {u"Timer", u"Timer", {}},
      }},
      {u"CDrive", u"cDrive", {
          {u"Change", u"Change", {}},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"KeyDown", u"KeyDown", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"KeyUp", u"KeyUp", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"OLEDragDrop", u"OLEDragDrop", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"OLEDragOver", u"OLEDragOver", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"Scroll", u"Scroll", {}},
      }},
      {u"CDir", u"cDir", {
          {u"Change", u"Change", {}},
          {u"Click", u"Click", {}, true, false},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"KeyDown", u"KeyDown", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"KeyUp", u"KeyUp", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"OLEDragDrop", u"OLEDragDrop", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"OLEDragOver", u"OLEDragOver", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"Scroll", u"Scroll", {}},
      }},
      {u"CFile", u"cFile", {
          {u"Click", u"Click", {}, true, false},
          {u"DblClick", u"DblClick", {}},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"KeyPress", u"KeyPress", {{u"KeyAscii", T::Int16, M::Ref}}},
          {u"OLEDragDrop", u"OLEDragDrop", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"OLEDragOver", u"OLEDragOver", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"PathChange", u"PathChange", {}},
          {u"PatternChange", u"PatternChange", {}},
          {u"Scroll", u"Scroll", {}},
      }},
      {u"CImage", u"cImage", {
          {u"Click", u"Click", {}, true, false},
          {u"DblClick", u"DblClick", {}},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"MouseDown", u"MouseDown", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseMove", u"MouseMove", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseUp", u"MouseUp", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"OLEDragDrop", u"OLEDragDrop", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"OLEDragOver", u"OLEDragOver", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
      }},
      {u"Wsk", u"Wsk", {
          {u"Connect", u"Connect", {}, true, false},
          {u"ConnectionRequest", u"ConnectionRequest", {{u"requestID", T::Int32, M::Copy}}, true, false},
          {u"DataArrival", u"DataArrival", {{u"bytesTotal", T::Int32, M::Copy}}, true, false},
          {u"SendProgress", u"SendProgress", {{u"bytesSent", T::Int32, M::Copy}, {u"bytesRemaining", T::Int32, M::Copy}}, true, false},
          {u"SendComplete", u"SendComplete", {}, true, false},
          {u"Close", u"Close", {}, true, false},
          {u"Error", u"Error", {{u"Number", T::Int16, M::Copy}, {u"Description", T::String, M::Ref}, {u"Scode", T::Int32, M::Copy}}, true, false},
      }},
      {u"SkinShape", u"SkinShape", {
          {u"KeyUp", u"KeyUp", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"Click", u"Click", {}, true, false},
          {u"DblClick", u"DblClick", {}},
          {u"KeyDown", u"KeyDown", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"MouseDown", u"MouseDown", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseUp", u"MouseUp", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseMove", u"MouseMove", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseOut", u"MouseOut", {}},
          {u"MouseOver", u"MouseOver", {}},
          {u"Paint", u"Paint", {}},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
      }},
      {u"Web", u"Web", {
          {u"BeforeNavigate2", u"BeforeNavigate2", {{u"pDisp", T::Object, M::Copy}, {u"URL", T::Variant, M::Ref}, {u"Flags", T::Variant, M::Ref}, {u"TargetFrameName", T::Variant, M::Ref}, {u"PostData", T::Variant, M::Ref}, {u"Headers", T::Variant, M::Ref}, {u"Cancel", T::Bool, M::Ref}}},
          {u"NavigateComplete2", u"NavigateComplete2", {{u"pDisp", T::Object, M::Copy}, {u"URL", T::Variant, M::Ref}}},
          {u"NewWindow2", u"NewWindow2", {{u"ppDisp", T::Object, M::Ref}, {u"Cancel", T::Bool, M::Ref}}, false, true},
          {u"DocumentComplete", u"DocumentComplete", {{u"pDisp", T::Object, M::Copy}, {u"URL", T::Variant, M::Ref}}},
          {u"NavigateError", u"NavigateError", {{u"pDisp", T::Object, M::Copy}, {u"URL", T::Variant, M::Ref}, {u"Frame", T::Variant, M::Ref}, {u"StatusCode", T::Variant, M::Ref}, {u"Cancel", T::Bool, M::Ref}}, false, true},
          {u"FileDownload", u"FileDownload", {{u"Cancel", T::Bool, M::Ref}}, false, true},
          {u"DownloadBegin", u"DownloadBegin", {}},
          {u"DownloadComplete", u"DownloadComplete", {}},
          {u"ProgressChange", u"ProgressChange", {{u"Progress", T::Int32, M::Copy}, {u"ProgressMax", T::Int32, M::Copy}}},
          {u"StatusTextChange", u"StatusTextChange", {{u"Text", T::String, M::Copy}}},
          {u"TitleChange", u"TitleChange", {{u"Text", T::String, M::Copy}}},
          {u"UpdatePageStatus", u"UpdatePageStatus", {{u"pDisp", T::Object, M::Copy}, {u"nPage", T::Variant, M::Ref}, {u"fDone", T::Variant, M::Ref}}},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
      }},
      {u"OLE", u"OLE", {
          {u"Click", u"Click", {}, true, false},
          {u"DblClick", u"DblClick", {}},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"GotFocus", u"GotFocus", {}},
          {u"KeyDown", u"KeyDown", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"KeyPress", u"KeyPress", {{u"KeyAscii", T::Int16, M::Ref}}},
          {u"KeyUp", u"KeyUp", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"LostFocus", u"LostFocus", {}},
          {u"MouseDown", u"MouseDown", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseMove", u"MouseMove", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseUp", u"MouseUp", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"ObjectMove", u"ObjectMove", {{u"Left", T::Float, M::Ref}, {u"Top", T::Float, M::Ref}, {u"Width", T::Float, M::Ref}, {u"Height", T::Float, M::Ref}}},
          {u"Resize", u"Resize", {{u"HeightNew", T::Float, M::Ref}, {u"WidthNew", T::Float, M::Ref}}},
          {u"Updated", u"Updated", {{u"Code", T::Int16, M::Ref}}},
          {u"Validate", u"Validate", {{u"Cancel", T::Bool, M::Ref}}},
      }},
      {u"Frame", u"Frame", {
          {u"Click", u"Click", {}, true, false},
          {u"DblClick", u"DblClick", {}},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"MouseDown", u"MouseDown", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseMove", u"MouseMove", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseUp", u"MouseUp", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"OLEDragDrop", u"OLEDragDrop", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"OLEDragOver", u"OLEDragOver", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"Over", u"Over", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"Out", u"Out", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
      }},
      {u"ProgressBar", u"ProgressBar", {
          {u"Click", u"Click", {}, true, false},
          {u"DblClick", u"DblClick", {}},
          {u"KeyPress", u"KeyPress", {{u"KeyAscii", T::Int16, M::Ref}}},
          {u"MouseDown", u"MouseDown", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseMove", u"MouseMove", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseUp", u"MouseUp", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
      }},
      {u"Form", u"Form", {
          {u"Activate", u"Activate", {}},
          {u"Click", u"Click", {}},
          {u"DblClick", u"DblClick", {}},
          {u"DragDrop", u"DragDrop", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"DragOver", u"DragOver", {{u"Source", T::Object, M::Back}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"GotFocus", u"GotFocus", {}},
          {u"KeyDown", u"KeyDown", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"KeyPress", u"KeyPress", {{u"KeyAscii", T::Int16, M::Ref}}},
          {u"KeyUp", u"KeyUp", {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}}},
          {u"LostFocus", u"LostFocus", {}},
          {u"MouseDown", u"MouseDown", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseMove", u"MouseMove", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"MouseUp", u"MouseUp", {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"OLECompleteDrag", u"OLECompleteDrag", {{u"Effect", T::Int32, M::Ref}}},
          {u"OLEDragDrop", u"OLEDragDrop", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}}},
          {u"OLEDragOver", u"OLEDragOver", {{u"Data", T::Object, M::Back}, {u"Effect", T::Int32, M::Ref}, {u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}, {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}, {u"State", T::Int16, M::Ref}}},
          {u"OLEGiveFeedback", u"OLEGiveFeedback", {{u"Effect", T::Int32, M::Ref}, {u"DefaultCursors", T::Bool, M::Ref}}},
          {u"OLESetData", u"OLESetData", {{u"Data", T::Object, M::Back}, {u"DataFormat", T::Int16, M::Ref}}},
          {u"OLEStartDrag", u"OLEStartDrag", {{u"Data", T::Object, M::Back}, {u"AllowedEffects", T::Int32, M::Ref}}},
          {u"Paint", u"Paint", {}},
          {u"Resize", u"Resize", {}},
          {u"Unload", u"Unload", {}, false, true},
      }},
      {u"Tray", u"Tray", {
          {u"MouseMove", u"MouseMove", {}},
          {u"MouseDown", u"MouseDown", {{u"Button", T::Int16, M::Copy}}},
          {u"MouseUp", u"MouseUp", {{u"Button", T::Int16, M::Copy}}},
          {u"DblClick", u"DblClick", {}},
          {u"Animation", u"Animation", {{u"Position", T::Int32, M::Copy}}},
      }},

  };
  return *t;
}

}  // namespace

const EventTable* find_event_table(std::u16string_view kind) {
  for (const EventTable& t : tables())
    if (iequals(t.kind, kind)) return &t;
  return nullptr;
}

const EventSpec* find_event(const EventTable& t, std::u16string_view event) {
  for (const EventSpec& e : t.events)
    if (iequals(e.name, event)) return &e;
  return nullptr;
}

void coerce_event_args(const EventSpec& e, Variant* args, size_t count) {
  for (size_t i = 0; i < count && i < e.args.size(); ++i) {
    try {
      switch (e.args[i].type) {
        case T::Int16: args[i] = Variant(to_integer(args[i])); break;
        case T::Int32: args[i] = Variant(to_long(args[i])); break;
        case T::Float: args[i] = Variant(to_single(args[i])); break;
        case T::String: args[i] = Variant(to_str(args[i])); break;
        case T::Bool: args[i] = Variant(to_bool(args[i])); break;
        case T::Object: case T::Variant: break;
      }
    } catch (...) {
      // A value that does not convert is handed on as it came.
    }
  }
}

}  // namespace qz
