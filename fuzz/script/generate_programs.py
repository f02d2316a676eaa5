#!/usr/bin/env python3
"""Writes random well-formed VBScript programs for the language fuzzer.

Random bytes seldom make a program that gets far into procedures, loops and classes; these do.
Each program declares globals, a class, a few procedures that call only earlier ones (plus
one bounded recursion), and a Main that calls them and leaves its results in the globals. The
fuzzer runs each on the syntax tree and as compiled procedures and compares how they end.

Usage: generate_programs.py OUT_DIR [COUNT] [SEED]
Then: fuzz_script -runs=0 OUT_DIR   (or use OUT_DIR as a seed corpus)
"""
import os
import random
import sys

# The fuzzer skips programs whose text holds a clock word; names here avoid them.
GLOBALS = ["g0", "g1", "g2", "g3", "gs"]
INTS = ["0", "1", "2", "3", "7", "-1", "-5", "255", "32767", "-32768", "32766", "65535",
        "2147483647", "-2147483648", "100000", "&H7FFF", "&HFFFF", "&H80000000"]
DOUBLES = ["0.5", "1.5", "-2.5", "3.25", "1E+20", "1E300", "0.1", "2.5", "-0.5"]
STRINGS = ['""', '"a"', '"abc"', '"12"', '" 3 "', '"x y"', '"-4.5"', '"True"', '"#"']
OTHERS = ["True", "False", "Empty", "Null", "CByte(200)", "CInt(5)", "CLng(40000)", "CDbl(7)",
          "CSng(1.5)", "CCur(2.5)", "CBool(1)"]
BINARY = ["+", "-", "*", "/", "\\", "Mod", "^", "&", "=", "<>", "<", ">", "<=", ">=", "And",
          "Or", "Xor", "Eqv", "Imp", "Is"]
UNARY_FUNCS = ["CInt", "CLng", "CDbl", "CStr", "Len", "Abs", "Fix", "Int", "Sgn", "TypeName",
               "VarType", "IsEmpty", "IsNull", "IsNumeric", "CBool", "CByte", "Hex", "Oct",
               "LCase", "UCase", "Trim", "Asc", "Chr", "IsArray", "IsObject", "CSng", "Round"]


class Gen:
    def __init__(self, rng):
        self.r = rng
        self.procs = []      # (name, is_function, params)
        self.depth = 0
        self.consts = 0

    def pick(self, xs):
        return self.r.choice(xs)

    def literal(self):
        k = self.r.random()
        if k < 0.45:
            return self.pick(INTS)
        if k < 0.6:
            return self.pick(DOUBLES)
        if k < 0.8:
            return self.pick(STRINGS)
        return self.pick(OTHERS)

    def var(self, scope):
        return self.pick(scope)

    def expr(self, scope, depth=0):
        k = self.r.random()
        if depth > 2 or k < 0.3:
            return self.literal() if self.r.random() < 0.4 else self.var(scope)
        if k < 0.6:
            return f"({self.expr(scope, depth + 1)} {self.pick(BINARY[:19])} {self.expr(scope, depth + 1)})"
        if k < 0.68:
            return f"{self.pick(['-', 'Not '])}{self.expr(scope, depth + 1)}"
        if k < 0.78:
            return f"{self.pick(UNARY_FUNCS)}({self.expr(scope, depth + 1)})"
        if k < 0.84:
            return f"arr({self.r.randint(-1, 6)})"
        if k < 0.9:
            return self.pick(["obj.Value", "obj.Total(2)", "obj.Count", "obj.Twice(" + self.var(scope) + ")",
                              "obj.Items(1)"])
        funcs = [p for p in self.procs if p[1]]
        if funcs:
            name, _, params = self.pick(funcs)
            return f"{name}({', '.join(self.argument(scope) for _ in params)})"
        return self.var(scope)

    def weighted(self, choices):
        """One of (weight, make) pairs, chosen by weight, made."""
        k = self.r.random() * sum(w for w, _ in choices)
        for weight, make in choices:
            k -= weight
            if k < 0:
                return make()
        return choices[-1][1]()

    def argument(self, scope):
        return self.weighted([(0.4, lambda: self.var(scope)),
                              (0.1, lambda: f"({self.var(scope)})"),   # by value through parentheses
                              (0.1, lambda: f"arr({self.r.randint(0, 5)})"),
                              (0.05, lambda: "obj.Value"),
                              (0.35, lambda: self.expr(scope, 2))])

    def target(self, scope):
        return self.weighted([(0.75, lambda: self.var(scope)),
                              (0.15, lambda: f"arr({self.r.randint(-1, 6)})"),
                              (0.1, lambda: self.pick(["obj.Value", "obj.Count", "obj.Items(2)"]))])

    def shape(self, scope, p):
        # The shapes compiled code runs in place: appends, counters, aliases.
        v = self.var(scope)
        form = self.pick(["{v} = {v} & {e}", "{v} = {e} & {v}", "{v} = {v} + 1", "If Len({v}) < 40 Then {v} = {v} & {v}",
                          "{v} = {v} - {e}", "{v} = {v} * 2", "la({i}) = la({i}) + {e}",
                          "la({i}) = la({i}) & {v}", "For Each {w} In la : gs = gs & {w} : Next",
                          "For Each {w} In Array({e}, 1, \"z\") : {v} = {v} & {w} : Next",
                          "Twin {v}, {v}", "Twin arr({i}), arr({i})", "Twin {v}, la({i})",
                          "{v} = UBound(la) & LBound(la)", "{v} = Mid({v}, 2) & Left({e}, 1)",
                          "{v} = InStr({v} & \"ab\", \"b\")", "{v} = Replace({v} & \"\", \"1\", \"22\")",
                          "{v} = Join(Split({v} & \" q\", \" \"), \"+\")",
                          "Set tmp = obj : tmp.Add {v} : {v} = tmp.Total({i}) : tmp.Count = tmp.Count + 1",
                          "Set tmp = obj : tmp.Items({i}) = {v} : {v} = tmp.Items({i}) & tmp.Value",
                          "Set tmp = New Box : tmp.Bump {v} : {v} = tmp.Mix({v}, {e})",
                          "{v} = obj.Mix({e}, {v}) : obj.Bump obj.Count",
                          "For x = {e} To 3 Step 0.75 : {v} = {v} & x : If x > 9 Then Exit For",
                          "m({i}, 1) = {e} : {v} = m({i}, 1) & m(1, {i})",
                          "Touch {v} : {v} = {v} & g0",
                          "{v} = Pair(arr({i}), {v}) & arr({i})",
                          "Const c{n} = {lit} : {v} = c{n} + {v}",
                          "Set tmp = New Node : tmp.Tag = {e} : Set tmp = Nothing",
                          "Set tmp = MakeNode({v}) : {v} = tmp.Tag & {v}",
                          "{v} = MakeNode({e}).Tag & {v}",
                          "Set la({i}) = MakeNode({v}) : {v} = {v} & IsObject(la({i}))",
                          "Set x = MakeNode({i}) : Set arr({i}) = x : {v} = x Is arr({i})",
                          "Set tmp = MakeNode({i}) : Set tmp.Link = MakeNode({v}) : {v} = tmp.Link.Tag",
                          "Execute \"{v} = {v} & 1\" : {v} = Eval(\"{v} & 2\")",
                          "Execute \"Dim q{n} : q{n} = {v}\" : {v} = {v} & Eval(\"q{n}\")",
                          "ExecuteGlobal \"g1 = g1 & 3\" : {v} = {v} & g1",
                          "Select Case {e}\n{p}Case 1 : {v} = {v} & 1\n{p}Case Else : {v} = {v} & 2\n{p}End Select",
                          "ReDim dyn({i} + 2) : dyn(1) = {v} : {v} = UBound(dyn) & dyn(1)",
                          "ReDim Preserve dyn({i} + 3) : {v} = {v} & dyn(1)",
                          "Erase la : {v} = la(0) & {v}",
                          "ReDim Preserve m2(2, {i} + 2) : m2(1, 1) = {v} : {v} = m2(1, 1) & UBound(m2, 2)",
                          "If tmp Is Nothing Then {v} = {v} & 0 Else {v} = {v} & IsObject(tmp)",
                          "{v} = StrComp({v} & \"\", \"A\", 1) & {v}",
                          "{v} = Trio()({i}) : Call Twin(({v}), {v})"])
        self.consts += 1
        text = form.format(v=v, w=self.var(scope), e=self.expr(scope, 2), i=self.r.randint(-1, 3), n=self.consts, p=p,
                           lit=self.pick(INTS + DOUBLES + STRINGS))
        if text.startswith("For x"):
            return [p + text, p + "Next"]
        return [p + text]

    def block(self, scope, n, loop_depth, in_func, indent):
        lines = []
        for _ in range(n):
            lines.extend(self.statement(scope, loop_depth, in_func, indent))
        return lines

    def statement(self, scope, loop_depth, in_func, ind):
        p = "  " * ind
        k = self.r.random()
        deep = self.depth >= 3
        self.depth += 1
        try:
            if k < 0.3 or deep:
                if self.r.random() < 0.4:
                    return self.shape(scope, p)
                return [f"{p}{self.target(scope)} = {self.expr(scope)}"]
            if k < 0.4:
                counter = self.pick([v for v in scope if v.startswith("i")] or scope)
                start, stop = self.r.randint(-3, 3), self.r.randint(-3, 6)
                step = self.pick(["", "", " Step 2", " Step -1", " Step 0.5", " Step -2", " Step " +
                                  self.pick(["1", "g0", "0"])])
                if "g0" in step or step.endswith(" 0"):
                    # A step that may be zero or of any sign: keep the body tiny and exit early.
                    return [f"{p}For {counter} = {start} To {stop}{step}",
                            f"{p}  If {counter} > 20 Or {counter} < -20 Then Exit For",
                            f"{p}  gs = gs & {counter}",
                            f"{p}Next"]
                body = self.block(scope, self.r.randint(1, 3), loop_depth + 1, in_func, ind + 1)
                if self.r.random() < 0.2:
                    body.append(f"{p}  If {self.expr(scope, 2)} Then Exit For")
                return [f"{p}For {counter} = {start} To {stop}{step}"] + body + [f"{p}Next"]
            if k < 0.47:
                form = self.pick(["Do While n{0} < {1}", "Do Until n{0} >= {1}", "Do", "While n{0} < {1}"])
                level = loop_depth
                head = form.format(level, self.r.randint(0, 4))
                body = [f"{p}  n{level} = n{level} + 1"] + self.block(scope, self.r.randint(1, 2), loop_depth + 1,
                                                                       in_func, ind + 1)
                if form == "Do":
                    tail = f"Loop While n{level} < {self.r.randint(0, 4)}"
                elif form.startswith("While"):
                    tail = "Wend"
                else:
                    tail = "Loop"
                if not form.startswith("While") and self.r.random() < 0.3:
                    body.append(f"{p}  If {self.expr(scope, 2)} Then Exit Do")
                return [f"{p}n{level} = 0", f"{p}{head}"] + body + [f"{p}{tail}"]
            def arm(head, n=1):   # a clause line and the statements under it
                return [f"{p}{head}"] + self.block(scope, n, loop_depth, in_func, ind + 1)
            if k < 0.57:
                lines = arm(f"If {self.expr(scope)} Then", self.r.randint(1, 2))
                if self.r.random() < 0.4:
                    lines += arm(f"ElseIf {self.expr(scope)} Then")
                if self.r.random() < 0.5:
                    lines += arm("Else")
                return lines + [f"{p}End If"]
            if k < 0.62:
                lines = [f"{p}Select Case {self.expr(scope)}"]
                for _ in range(self.r.randint(1, 3)):
                    lines += arm(f"Case {self.literal()}, {self.expr(scope, 2)}")
                if self.r.random() < 0.5:
                    lines += arm("Case Else")
                return lines + [f"{p}End Select"]
            if k < 0.75 and self.procs:
                name, is_func, params = self.pick(self.procs)
                args = ", ".join(self.argument(scope) for _ in params)
                form = self.r.random()
                if is_func and form < 0.4:
                    return [f"{p}{self.target(scope)} = {name}({args})"]
                if form < 0.7:
                    return [f"{p}{name} {args}".rstrip()]
                return [f"{p}Call {name}({args})"]
            if k < 0.8:
                return [f"{p}{self.pick(['On Error Resume Next', 'On Error GoTo 0', 'Err.Clear'])}"]
            if k < 0.84:
                return [f"{p}gs = gs & \"|\" & Err.Number"]
            if k < 0.88:
                call = self.pick(["obj.Add {}", "obj.Bump {}", "Call obj.Add({})", "Call obj.Bump({})"])
                return [p + call.format(self.argument(scope))]
            if k < 0.91:
                return [f"{p}ReDim Preserve arr({self.r.randint(3, 8)})"]
            if k < 0.93:
                return [f"{p}Err.Raise {self.pick(['5', '6', '9', '13', '1000', '-1'])}"]
            if k < 0.95 and in_func:
                return [f"{p}Exit {in_func}"]
            if k < 0.97:
                return [f"{p}With obj", f"{p}  .Value = {self.expr(scope, 2)}", f"{p}  .Add .Count", f"{p}End With"]
            return [f"{p}Set tmp = obj", f"{p}tmp.Value = {self.expr(scope, 2)}", f"{p}Set tmp = Nothing"]
        finally:
            self.depth -= 1

    def procedure(self, index):
        is_func = self.r.random() < 0.6
        name = f"{'F' if is_func else 'S'}{index}"
        params = [f"{self.pick(['', 'ByVal ', 'ByRef '])}p{j}" for j in range(self.r.randint(0, 3))]
        plain = [q.split()[-1] for q in params]
        locals_ = ["a", "b", "i", "j"]
        scope = plain + locals_ + GLOBALS
        kind = "Function" if is_func else "Sub"
        lines = [f"{kind} {name}({', '.join(params)})", "  Dim a, b, i, j, n0, n1, n2, n3, n4, tmp, la(3), m(3, 3), x, dyn(), m2()",
                 "  ReDim m2(2, 2)"]
        if is_func and self.r.random() < 0.3:
            lines.append(f"  {name} = {self.literal()} : {name} = {name} & {self.expr(scope, 2)}")
        if self.r.random() < 0.3:
            lines.append("  On Error Resume Next")
        lines += self.block(scope, self.r.randint(2, 5), 0, kind, 1)
        if is_func:
            lines.append(f"  {name} = {self.expr(scope)}")
        lines.append(f"End {kind}")
        self.procs.append((name, is_func, plain))
        return lines

    def program(self):
        out = ["Dim g0, g1, g2, g3, gs, arr(), obj, n0, n1, n2, n3, n4, tmp, rec, la(3), m(3, 3), x, dyn(), m2()",
               "ReDim m2(2, 2)",
               "ReDim arr(5)",
               "Class Box",
               "  Public Value, Count",
               "  Private mItems(4)",
               "  Private Sub Class_Initialize()",
               "    Value = 1 : Count = 0",
               "  End Sub",
               "  Public Sub Add(x)",
               "    Count = Count + 1",
               "    Value = Value & x",
               "  End Sub",
               "  Public Sub Bump(ByRef x)",
               "    x = x + 1 : Count = Count + 1",
               "  End Sub",
               "  Public Function Total(k)",
               "    Total = Count * k + Twice(k)",
               "  End Function",
               "  Public Function Twice(v)",
               "    Twice = v + v",
               "  End Function",
               "  Public Function Mix(a, ByVal b)",
               "    Add a : Bump b : Items(1) = Count",
               "    Mix = Me.Value & Items(1) & Twice(b)",
               "    If Count > 3 Then Exit Function",
               "    Mix = Mix & Total(a)",
               "  End Function",
               "  Public Property Get Items(k)",
               "    Items = mItems(k)",
               "  End Property",
               "  Public Property Let Items(k, v)",
               "    mItems(k) = v",
               "  End Property",
               "End Class",
               "Sub Twin(ByRef x, ByRef y)",
               "  x = x & \"t\" : If Len(y) < 40 Then y = y & y",
               "  x = x + Len(y)",
               "End Sub",
               "Sub Touch(ByRef x)",
               "  g0 = g0 & \"!\" : x = x & \"?\"",
               "End Sub",
               "Function Pair(ByRef x, ByVal y)",
               "  x = y : y = 0 : Pair = x",
               "End Function",
               "Class Node",
               "  Public Tag, Link",
               "  Private Sub Class_Terminate()",
               "    gs = gs & \"~\" & Tag",
               "  End Sub",
               "End Class",
               "Function MakeNode(t)",
               "  Set MakeNode = New Node",
               "  MakeNode.Tag = t",
               "End Function",
               "Function Trio()",
               "  Trio = Array(1, \"two\", 3.5)",
               "End Function",
               "Function Deep(k)",
               "  If k <= 0 Then Deep = 0 Else Deep = k + Deep(k - 1)",
               "End Function"]
        for i in range(self.r.randint(2, 5)):
            out += self.procedure(i)
        scope = GLOBALS + ["n0", "tmp"]
        out += ["Set obj = New Box", "g0 = " + self.literal(), "g1 = " + self.literal(), "gs = \"\""]
        if self.r.random() < 0.7:
            out.append("On Error Resume Next")
        out += self.block(scope, self.r.randint(2, 5), 0, None, 0)
        out.append("rec = Deep(" + str(self.r.randint(0, 30)) + ")")
        out.append("Sub Main()")
        out.append("  On Error Resume Next" if self.r.random() < 0.7 else "  g3 = 0")
        for name, is_func, params in self.procs:
            args = ", ".join(self.argument(GLOBALS) for _ in params)
            out.append(f"  g2 = g2 & \"/\" & {name}({args})" if is_func else f"  {name} {args}".rstrip())
            out.append("  gs = gs & \"|\" & Err.Number")
        out += ["  g3 = obj.Value & \":\" & obj.Count", "End Sub"]
        return "\r\n".join(out) + "\r\n"


def main():
    folder = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 1
    os.makedirs(folder, exist_ok=True)
    written = 0
    n = 0
    while written < count:
        text = Gen(random.Random(seed * 1000003 + n)).program()
        n += 1
        if len(text.encode()) > 4000:
            continue
        with open(os.path.join(folder, f"program_{seed}_{n}.vbs"), "w", newline="") as f:
            f.write(text)
        written += 1


if __name__ == "__main__":
    main()
