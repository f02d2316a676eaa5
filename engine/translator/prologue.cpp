#include "engine/translator/prologue.h"

#include <cmath>
#include <cstdio>

#include "engine/translator/text_util.h"

namespace qz::tr {

namespace {

// A single-precision value the way the language prints one: "15", "12.5".
std::u16string single_text(float v) {
  char buf[32];
  if (std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 1e7f) std::snprintf(buf, sizeof buf, "%.0f", v);
  else std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(v));
  return ascii(buf);
}

}  // namespace

std::u16string prologue_text(const TranslatorSettings& s, bool no_create_object) {
  std::u16string t;
  auto line = [&t](std::u16string_view l) { t.append(l).append(kCrLf); };
  line(u"Const qzl_Author = \"Тоберн Ю.\"");
  line(u"Const qzl_Version = \"" + num(s.version_major) + u"." + num(s.version_minor) + u"\"");
  line(u"Const qzl_Build = \"" + num(s.version_revision) + u"\"");
  line(u"Const qzl_hInstance = " + num(s.instance_handle));
  line(u"");
  line(u"Const vbUnicode = 64");
  line(u"Const vbFromUnicode = 128");
  line(u"Const vbLowerCase = 2");
  line(u"Const vbUpperCase = 1");
  line(u"Const vbSrcCopy = 13369376");
  line(u"Const vbSrcAnd = 8913094");
  line(u"Const vbSrcPaint = 15597702");
  line(u"Const vbSrcInvert = 6684742");
  line(u"Const vbPX = " + single_text(s.twips_per_pixel_x));
  line(u"Const vbPY = " + single_text(s.twips_per_pixel_y));
  line(u"Const vbModal = 1");
  line(u"");
  line(u"Const vbMD2 = 32769");
  line(u"Const vbMD4 = 32770");
  line(u"Const vbMD5 = 32771");
  line(u"Const vbSHA1 = 32772");
  line(u"");
  auto proc = [&line](std::initializer_list<std::u16string_view> lines) {
    for (auto l : lines) line(l);
  };
  if (s.stdout_usable)
    proc({u"Sub Print(prnTxt)", u"  On Error Resume Next", u"  sys.cgi.stdout prnTxt", u"End Sub"});
  else
    proc({u"Sub Print(prnObj, prnTxt)", u"  On Error Resume Next", u"  sys.cprint prnObj, prnTxt", u"End Sub"});
  proc({u"Function Str_From_Eval(pTxt)", u"  On Error Resume Next", u"  Str_From_Eval = Eval(pTxt)", u"End Function"});
  if (no_create_object) {
    proc({u"Function CreateObject(tmpArg)", u"  On Error Resume Next", u"  Set CreateObject = Nothing", u"End Function"});
    proc({u"Function GetObject(tmpArg)", u"  On Error Resume Next", u"  Set GetObject = Nothing", u"End Function"});
  }
  proc({u"Function QBColor(numClr)", u"  On Error Resume Next", u"  QBColor = sys.gdi.qbcolor16(numClr)", u"End Function"});
  proc({u"Function IIF(varIF, var1, var2)", u"  On Error Resume Next", u"  IIF = sys.ifx(varIF, var1, var2)", u"End Function"});
  proc({u"Function StrConv(varTxt, var1)", u"  On Error Resume Next", u"  StrConv = sys.cstrconv(varTxt, var1)", u"End Function"});
  proc({u"Function Format(varTxt, var1)", u"  On Error Resume Next", u"  Format = sys.cformat(varTxt, var1)", u"End Function"});
  proc({u"Function LenType(varObj)", u"  On Error Resume Next", u"  LenType = sys.dynapi.lentype(varObj)", u"End Function"});
  proc({u"Function VarPtr(var)", u"  VarPtr = sys.cvarptr(var)", u"End Function"});
  proc({u"Function StrPtr(var)", u"  StrPtr = sys.cstrptr(var)", u"End Function"});
  proc({u"Sub Doevents()", u"  sys.cdoevents", u"End Sub"});
  proc({u"Sub Sleep(numSlp)", u"  sys.csleep numSlp", u"End Sub"});
  proc({u"Function Shell(cmdLine)", u"  Shell = sys.cshell(cmdLine)", u"End Function"});
  proc({u"Function IsEnd()", u"  IsEnd = sys.isend", u"End Function"});
  proc({u"Sub EndQz()", u"  sys.endqz", u"End Sub"});
  t.append(kCrLf);
  return t;
}

}  // namespace qz::tr
