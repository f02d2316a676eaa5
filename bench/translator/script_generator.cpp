#include "bench/translator/script_generator.h"

#include <fstream>

namespace qz::bench {

namespace {

// One block of code, about 1.3 KB, with every construct the passes rewrite.
std::string unit(int i, bool russian) {
  std::string n = std::to_string(i);
  std::string s;
  s += "Type TRec" + n + "\r\n  id As Long\r\n  name As String * 32\r\n  vals(7) As Double\r\n  pt As TPoint\r\nEnd Type\r\n";
  s += "Method Area" + n + "(r)\r\n  Area" + n + " = r.W * r.H\r\nEnd Method\r\n";
  s += "Sub Proc" + n + "(arg)\r\n";
  s += "  Dim rec As New TRec" + n + "\r\n";
  s += "  Dim pts(4) As TPoint\r\n";
  s += "  Dim count As Long\r\n";
  s += "  ' comment with $1 and a.Area" + n + "(x) in it\r\n";
  s += "  text = \"key" + n + "=value\" & _\r\n         \" more text\"\r\n";
  s += "  text =~ i/(\\w+)=(\\w+)/$2=$1/\r\n";
  s += "  If text =~ /^v(\\w)// Then Print \"first: \" & $1 & $2_1\r\n";
  s += "  total = rec.Area" + n + "(2) + box.Area" + n + "() + other.Area" + n + " \r\n";
  s += "  price = \"$$5 each\"\r\n";
  if (russian) {
    s += "  Если count = 0 Тогда Сообщение \"пусто\" Конец Если\r\n";
    s += "  Для и = 1 По 10 Шаг 2\r\n    Счётчик = Счётчик + и\r\n  Дальше\r\n";
  } else {
    s += "  If count = 0 Then MsgBox \"empty\" End If\r\n";
    s += "  For i = 1 To 10 Step 2\r\n    counter = counter + i\r\n  Next\r\n";
  }
  s += "  For k = 0 To 3\r\n    pts(k).X = k * 2 : pts(k).Y = k * 3\r\n  Next\r\n";
  s += "  Select Case arg\r\n    Case 1: result = \"one\"\r\n    Case 2: result = \"two\"\r\n    Case Else: result = \"many\"\r\n  End Select\r\n";
  s += "End Sub\r\n\r\n";
  if (i % 50 == 0) s += "Declare Function Api" + n + " Lib \"libc.so.6\" Alias \"getpid\" () As Long\r\n";
  return s;
}

void write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace

GeneratedScript generate_script(const std::string& folder, size_t target_bytes, bool russian) {
  GeneratedScript out;
  const int kIncludes = 20;
  const size_t per_include = target_bytes / 10 / kIncludes;
  int next = 0;

  for (int f = 0; f < kIncludes; ++f) {
    std::string inc = "<#Module>\r\n";
    while (inc.size() < per_include) inc += unit(next++, russian);
    inc += "<#Module>\r\n";
    write(folder + "/inc" + std::to_string(f) + ".qz", inc);
    out.total_bytes += inc.size();
  }
  std::string lib = "<#Module>\r\nFunction LibUpper(s)\r\n  LibUpper = UCase(s)\r\nEnd Function\r\n<#Module>\r\n";
  write(folder + "/benchlib.qz", lib);
  out.total_bytes += lib.size();

  std::string main = "#!/usr/bin/env quazel\r\n";
  if (russian) main += "<#--AddRus>\r\n";
  main += "<#--NoShowError>\r\n#Lib <%qz_path%\\benchlib>\r\n";
  for (int f = 0; f < kIncludes; ++f) main += "#Include \"%qz_path%\\inc" + std::to_string(f) + ".qz\"\r\n";
  main += "<#Module=Main>\r\nType TPoint\r\n  X As Long\r\n  Y As Long\r\nEnd Type\r\n";
  main += "Sub Load(arg)\r\n  Proc0 1\r\nEnd Sub\r\n";
  const size_t resource_bytes = target_bytes / 20;
  while (out.total_bytes + main.size() + resource_bytes < target_bytes) main += unit(next++, russian);
  main += "<#Module>\r\n<#res id=1 name=\"blob\":base64#>\r\n";
  std::string line(76, 'Q');
  for (size_t done = 0; done < resource_bytes; done += 78) main += line + "\r\n";
  main += "<#res#>\r\n";
  out.main_path = folder + "/main.qz";
  write(out.main_path, main);
  out.total_bytes += main.size();
  return out;
}

}  // namespace qz::bench
