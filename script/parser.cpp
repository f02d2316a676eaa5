#include "script/parser.h"

#include <set>
#include <string>
#include <unordered_set>

#include "script/diagnostics.h"
#include "script/lexer.h"
#include "script/operators.h"

namespace qz::vbs {
namespace {

constexpr int kMaxNesting = 400;

class Parser {
 public:
  Parser(std::u16string_view src, const CompileContext& ctx) : ctx_(ctx) {
    unit_ = std::make_shared<Unit>();
    unit_->source = std::u16string(src);
    unit_->module = ctx.module;
    unit_->option_explicit = ctx.option_explicit;
    unit_->top.kind = Proc::TopLevel;
    unit_->top.unit = unit_.get();
    unit_->top.module = ctx.module;
    unit_->top.nslots = 0;
    compute_lines();
    lexed_ = lex(unit_->source);
    if (ctx.predeclared)
      for (const auto& [key, procedure] : *ctx.predeclared) declared_.insert(key);
  }

  std::shared_ptr<Unit> run() {
    if (ctx_.mode == CompileMode::Expression) {
      skip_eols();
      proc_ = &unit_->top;
      unit_->expression = parse_expr();
      skip_eols();
      if (cur().kind != Tok::Eof) error(kCeExpectedEos);
    } else {
      parse_program();
    }
    resolve_names();
    if (unit_->top.nslots < 0) unit_->top.nslots = 0;
    return unit_;
  }

 private:
  // ---- token helpers ----
  const Token& cur() const { return toks_[pos_]; }
  const Token& peek(size_t k = 1) const { return toks_[std::min(pos_ + k, toks_.size() - 1)]; }
  bool at(Tok k) const { return cur().kind == k; }
  void advance() { if (pos_ + 1 < toks_.size()) ++pos_; }
  bool accept(Tok k) { if (at(k)) { advance(); return true; } return false; }
  [[noreturn]] void error(int32_t number) { compile_error(number, cur().line, cur().col); }
  void expect(Tok k, int32_t number) { if (!accept(k)) error(number); }
  bool at_word(std::u16string_view w) const { return cur().kind == Tok::Ident && cur().key == w; }
  bool at_eos() const { return at(Tok::Eol) || at(Tok::Eof); }
  // "End If", "End Sub", "End Function", "End Property" or "End Class": these may follow a
  // statement on its line without a ':' and end it.
  bool at_closing_end() const {
    if (!at(Tok::End)) return false;
    const Token& n = peek();
    switch (n.kind) {
      case Tok::If: case Tok::Sub: case Tok::Function: case Tok::Class: return true;
      case Tok::Ident: return n.key == u"property";
      default: return false;
    }
  }
  bool at_statement_end() const { return at_eos() || at_closing_end(); }
  // "Property Get|Let|Set": a property declaration (elsewhere Property is a name).
  bool at_property_decl() const {
    if (!at_word(u"property")) return false;
    const Token& n = peek();
    return n.kind == Tok::Set || (n.kind == Tok::Ident && (n.key == u"get" || n.key == u"let"));
  }
  void skip_eols() { while (at(Tok::Eol)) advance(); }
  void end_of_statement() {
    if (single_line_ > 0 && at(Tok::Else)) return;
    if (at_closing_end()) return;
    if (!at_eos()) error(kCeExpectedEos);
    if (single_line_ > 0 && cur().line_end) return;  // the one-line If ends here
    advance_eol();
  }
  void advance_eol() { if (at(Tok::Eol)) advance(); }
  std::u16string ident(std::u16string* key = nullptr) {
    if (!at(Tok::Ident)) error(kCeExpectedIdent);
    std::u16string s(cur().text);
    if (key) *key = cur().key;
    advance();
    return s;
  }

  void compute_lines() {
    const std::u16string& s = unit_->source;
    unit_->line_starts.push_back(0);
    for (size_t i = after_line_break(s, 0); i != std::u16string_view::npos; i = after_line_break(s, i))
      unit_->line_starts.push_back(static_cast<uint32_t>(i));
  }

  template <class T>
  T* make() { return unit_->make<T>(cur().line, cur().col); }
  template <class T>
  T* make_at(const Node* where) { return unit_->make<T>(where->line, where->col); }

  struct Nest {
    Parser& p;
    explicit Nest(Parser& p) : p(p) {
      if (++p.nesting_ > kMaxNesting) {
        ScriptError e(kErrOutOfStack, std::u16string(kCompileSource), std::u16string(error_text(kErrOutOfStack)));
        e.line = p.cur().line;
        e.column = p.cur().col;
        e.compile = true;
        throw e;
      }
    }
    ~Nest() { --p.nesting_; }
  };

  // ---- program structure ----
  void parse_program() {
    proc_ = &unit_->top;
    while (true) {
      skip_eols();
      if (at(Tok::Eof)) break;
      switch (cur().kind) {
        case Tok::Class: parse_class(); break;
        case Tok::Sub: case Tok::Function: parse_procedure(true, false, nullptr); break;
        case Tok::Public: case Tok::Private: {
          bool pub = at(Tok::Public);
          advance();
          if (at_word(u"default")) error(kCeDefaultPlacement);
          if (at(Tok::Sub) || at(Tok::Function)) { parse_procedure(pub, false, nullptr); break; }
          if (at_property_decl()) error(kCeInsideClass);
          if (at(Tok::Const)) { advance(); parse_const(pub); break; }
          add_top(parse_module_vars(pub));
          break;
        }
        case Tok::Dim: advance(); add_top(parse_module_vars(true)); break;
        case Tok::Const: advance(); parse_const(true); break;
        default: {
          if (at_property_decl()) error(kCeInsideClass);
          Stmt* s = parse_statement();
          if (s) unit_->top.body.push_back(s);
        }
      }
    }
  }

  bool is_top() const { return proc_ == &unit_->top; }
  void add_top(Stmt* s) { if (s) unit_->top.body.push_back(s); }

  std::vector<ArrayDim> parse_dims(bool& is_array) {
    std::vector<ArrayDim> dims;
    is_array = false;
    if (!accept(Tok::LParen)) return dims;
    is_array = true;
    if (accept(Tok::RParen)) return dims;
    while (true) {
      bool neg = accept(Tok::Minus);
      if (!at(Tok::Number) || !(cur().value.is(VT::Integer) || cur().value.is(VT::Long))) error(kCeExpectedInteger);
      int64_t ub = cur().value.is(VT::Integer) ? cur().value.as_integer() : cur().value.as_long();
      if (neg) ub = -ub;
      advance();
      if (ub < -1) ub = -1;
      dims.push_back(ArrayDim{0, static_cast<int32_t>(ub + 1)});
      if (accept(Tok::Comma)) continue;
      expect(Tok::RParen, kCeExpectedRParen);
      break;
    }
    return dims;
  }

  // The statement that makes the arrays of a Dim (null when it declares none).
  Stmt* parse_module_vars(bool pub) {
    DimArrayStmt* arrays = nullptr;
    while (true) {
      ModuleDecl d;
      d.kind = ModuleDecl::Var;
      d.is_public = pub;
      NameExpr* n = make<NameExpr>();
      d.name = ident(&d.key);
      d.dims = parse_dims(d.is_array);
      if (!declared_.insert(d.key).second) compile_error(kCeNameRedefined, cur().line, cur().col);
      if (d.is_array) add_dim_array(arrays, n, d.name, d.key, d.dims);
      add_decl(std::move(d));
      if (!accept(Tok::Comma)) break;
    }
    end_of_statement();
    return arrays;
  }
  void add_dim_array(DimArrayStmt*& s, NameExpr* n, const std::u16string& name, const std::u16string& key,
                     const std::vector<ArrayDim>& dims) {
    if (!s) s = make_at<DimArrayStmt>(n);
    n->name = name;
    n->key = key;
    register_name(n);
    s->items.push_back(DimArrayStmt::Item{n, dims});
  }

  // A module-level Var or Const; in Execute code run inside a procedure, one of its locals
  // (none when the procedure already declares the name).
  void add_decl(ModuleDecl d) {
    if (!ctx_.outer_proc) {
      unit_->decls.push_back(std::move(d));
      return;
    }
    if (ctx_.outer_proc->locals.count(d.key)) return;
    unit_->local_decls.push_back(std::move(d));
  }

  // A constant's value is one literal, optionally signed: no operators, no other constants.
  Variant parse_const_value() {
    size_t start = pos_;
    bool signed_literal = at(Tok::Minus) || at(Tok::Plus);
    Expr* e = parse_expr();
    auto* lit = dynamic_cast<LiteralExpr*>(e);
    size_t used = pos_ - start;
    if (!lit || used > (signed_literal ? 2u : 1u)) compile_error(kCeExpectedLiteral, e->line, e->col);
    return lit->value;
  }

  void parse_const(bool pub) {
    while (true) {
      std::u16string key;
      int line = cur().line, col = cur().col;
      std::u16string name = ident(&key);
      expect(Tok::Eq, kCeExpectedEq);
      Variant v = parse_const_value();
      if (is_top()) {
        if (!declared_.insert(key).second) compile_error(kCeNameRedefined, line, col);
        ModuleDecl d;
        d.kind = ModuleDecl::Const;
        d.is_public = pub;
        d.name = name;
        d.key = key;
        d.value = v;
        add_decl(std::move(d));
      } else {
        int slot = declare_local(key, line, col);
        proc_->consts.emplace_back(slot, v);
      }
      if (!accept(Tok::Comma)) break;
    }
    end_of_statement();
  }

  int declare_local(const std::u16string& key, int line, int col) {
    if (proc_->locals.count(key)) compile_error(kCeNameRedefined, line, col);
    int slot = proc_->nslots++;
    proc_->locals.emplace(key, slot);
    return slot;
  }
  int hidden_slot() { return proc_->nslots++; }

  void parse_params(Proc* p) {
    if (!accept(Tok::LParen)) return;
    if (accept(Tok::RParen)) return;
    while (true) {
      bool byref = true;
      if (accept(Tok::ByVal)) byref = false;
      else if (accept(Tok::ByRef)) byref = true;
      std::u16string key;
      int line = cur().line, col = cur().col;
      std::u16string name = ident(&key);
      if (accept(Tok::LParen)) expect(Tok::RParen, kCeExpectedRParen);
      if (p->locals.count(key)) compile_error(kCeNameRedefined, line, col);
      p->locals.emplace(key, p->nslots++);
      p->param_names.push_back(name);
      p->byref.push_back(byref);
      if (accept(Tok::Comma)) continue;
      expect(Tok::RParen, kCeExpectedRParen);
      break;
    }
  }

  // Sub, Function or (in a class) Property; the cursor is on the keyword.
  Proc* parse_procedure(bool pub, bool is_default, ClassDef* cls) {
    auto owned = std::make_unique<Proc>();
    Proc* p = owned.get();
    p->unit = unit_.get();
    p->module = ctx_.module;
    p->cls = cls;
    p->is_public = pub;
    p->is_default = is_default;
    p->line = cur().line;
    Tok end_kind;   // Ident: "End Property"
    int32_t end_err;
    if (accept(Tok::Sub)) { p->kind = Proc::Sub; end_kind = Tok::Sub; end_err = kCeExpectedSub; }
    else if (accept(Tok::Function)) { p->kind = Proc::Function; end_kind = Tok::Function; end_err = kCeExpectedFunction; }
    else {
      if (!at_word(u"property")) error(kCeExpectedProperty);
      advance();
      end_kind = Tok::Ident;
      end_err = kCeExpectedProperty;
      if (at_word(u"get")) p->kind = Proc::PropGet;
      else if (at_word(u"let")) p->kind = Proc::PropLet;
      else if (at(Tok::Set)) p->kind = Proc::PropSet;
      else error(kCeExpectedLetSetGet);
      advance();
    }
    int name_line = cur().line, name_col = cur().col;
    p->name = ident(&p->key);
    parse_params(p);
    if ((p->kind == Proc::PropLet || p->kind == Proc::PropSet) && p->nparams() == 0)
      compile_error(kCeLetSetArgs, name_line, name_col);
    if (p->has_result()) p->locals.emplace(p->key, 0);
    end_of_statement();
    // A procedure written inside a block of top-level code starts afresh: no loops to exit,
    // no With object, no one-line If around its body.
    Proc* saved = proc_;
    proc_ = p;
    int saved_do = do_depth_, saved_for = for_depth_, saved_single = single_line_;
    do_depth_ = for_depth_ = single_line_ = 0;
    std::vector<int> saved_with = std::move(with_slots_);
    with_slots_.clear();
    p->body = parse_block();
    do_depth_ = saved_do;
    for_depth_ = saved_for;
    single_line_ = saved_single;
    with_slots_ = std::move(saved_with);
    if (!at(Tok::End)) error(kCeExpectedEnd);
    advance();
    if (end_kind == Tok::Ident ? !at_word(u"property") : !at(end_kind)) error(end_err);
    advance();
    proc_ = saved;
    end_of_statement();
    unit_->procs.push_back(std::move(owned));
    if (!cls) {
      // A procedure defined again replaces the earlier one; any other name clashes.
      if (!declared_.insert(p->key).second && !forget_procedure(p->key))
        compile_error(kCeNameRedefined, name_line, name_col);
      ModuleDecl d;
      d.kind = ModuleDecl::Procedure;
      d.is_public = pub;
      d.name = p->name;
      d.key = p->key;
      d.proc = p;
      unit_->decls.push_back(std::move(d));
    }
    return p;
  }

  // Drops the module-level declaration of procedure `key`; false when `key` is no procedure.
  bool forget_procedure(const std::u16string& key) {
    auto& decls = unit_->decls;
    for (auto it = decls.begin(); it != decls.end(); ++it) {
      if (it->key != key) continue;
      if (it->kind != ModuleDecl::Procedure) return false;
      decls.erase(it);
      return true;
    }
    // Declared by the code before this unit: this procedure replaces it when the unit loads.
    if (ctx_.predeclared) {
      auto it = ctx_.predeclared->find(key);
      return it != ctx_.predeclared->end() && it->second;
    }
    return false;
  }

  void parse_class() {
    advance();
    auto owned = std::make_unique<ClassDef>();
    ClassDef* c = owned.get();
    c->unit = unit_.get();
    c->module = ctx_.module;
    int name_line = cur().line, name_col = cur().col;
    std::u16string key;
    c->name = ident(&key);
    end_of_statement();
    auto member = [&](const std::u16string& name, const std::u16string& k, bool pub) -> ClassMember& {
      auto it = c->index.find(k);
      if (it != c->index.end()) return c->members[it->second];
      c->index.emplace(k, static_cast<int>(c->members.size()));
      c->members.push_back(ClassMember{name, pub});
      return c->members.back();
    };
    while (true) {
      skip_eols();
      if (at(Tok::End)) break;
      if (at(Tok::Eof)) error(kCeExpectedEnd);
      bool pub = true, is_default = false, explicit_access = false;
      if (at(Tok::Public) || at(Tok::Private)) {
        pub = at(Tok::Public);
        explicit_access = true;
        advance();
        if (at_word(u"default")) {
          if (!pub) error(kCeDefaultPublic);
          is_default = true;
          advance();
        }
      }
      if (at(Tok::Sub) || at(Tok::Function) || at_property_decl()) {
        int line = cur().line, col = cur().col;
        Proc* p = parse_procedure(pub, is_default, c);
        ClassMember& m = member(p->name, p->key, pub);
        bool clash = false;
        switch (p->kind) {
          case Proc::Sub: case Proc::Function: clash = m.method || m.get || m.let || m.set || m.field >= 0; m.method = p; break;
          case Proc::PropGet: clash = m.get || m.method || m.field >= 0; m.get = p; break;
          case Proc::PropLet: clash = m.let || m.method || m.field >= 0; m.let = p; break;
          case Proc::PropSet: clash = m.set || m.method || m.field >= 0; m.set = p; break;
          default: break;
        }
        if (clash) compile_error(kCeNameRedefined, line, col);
        if (p->kind == Proc::PropGet || p->kind == Proc::PropLet || p->kind == Proc::PropSet) m.is_public = m.is_public && pub;
        if (is_default) {
          if (p->kind == Proc::PropLet || p->kind == Proc::PropSet) compile_error(kCeDefaultGet, line, col);
          int idx = c->index[p->key];
          if (c->default_member >= 0 && c->default_member != idx) compile_error(kCeMultipleDefault, line, col);
          c->default_member = idx;
        }
        if (p->key == u"class_initialize" || p->key == u"class_terminate") {
          if (p->kind != Proc::Sub || p->nparams() != 0) compile_error(kCeInitTermArgs, line, col);
          (p->key == u"class_initialize" ? c->initialize : c->terminate) = p;
        }
        continue;
      }
      if (is_default) error(kCeDefaultPlacement);
      if (at(Tok::Dim)) { advance(); pub = true; }
      else if (!explicit_access) error(kCeExpectedStatement);
      if (at(Tok::Const)) error(kCeExpectedStatement);
      while (true) {
        int line = cur().line, col = cur().col;
        std::u16string fkey;
        std::u16string fname = ident(&fkey);
        bool is_array = false;
        std::vector<ArrayDim> dims = parse_dims(is_array);
        if (c->index.count(fkey)) compile_error(kCeNameRedefined, line, col);
        ClassMember& m = member(fname, fkey, pub);
        m.field = c->nfields++;
        if (is_array) c->arrays.push_back(FixedArray{m.field, dims});
        if (!accept(Tok::Comma)) break;
      }
      end_of_statement();
    }
    advance();  // End
    expect(Tok::Class, kCeExpectedClass);
    end_of_statement();
    if (!declared_.insert(key).second) compile_error(kCeNameRedefined, name_line, name_col);
    ModuleDecl d;
    d.kind = ModuleDecl::Class;
    d.name = c->name;
    d.key = key;
    d.cls = c;
    unit_->decls.push_back(std::move(d));
    unit_->classes.push_back(std::move(owned));
  }

  // ---- statements ----
  bool at_block_end() const {
    switch (cur().kind) {
      case Tok::End: case Tok::Loop: case Tok::Next: case Tok::Wend: case Tok::Else: case Tok::ElseIf:
      case Tok::Case: case Tok::Eof:
        return true;
      default:
        return false;
    }
  }

  Block parse_block() {
    Block b;
    while (true) {
      skip_eols();
      if (at_block_end()) break;
      Stmt* s = parse_statement();
      if (s) b.push_back(s);
    }
    return b;
  }

  Stmt* parse_statement() {
    Nest nest(*this);
    switch (cur().kind) {
      case Tok::Dim: advance(); return parse_local_dim();
      case Tok::Const:
        advance();
        parse_const(true);
        return nullptr;
      case Tok::Public: case Tok::Private:
        if (is_top()) error(kCeExpectedStatement);
        error(kCeExpectedStatement);
      case Tok::ReDim: return parse_redim();
      case Tok::Erase: return parse_erase();
      case Tok::If: return parse_if();
      case Tok::Select: return parse_select();
      case Tok::For: return parse_for();
      case Tok::Do: return parse_do();
      case Tok::While: return parse_while();
      case Tok::With: return parse_with();
      case Tok::Exit: return parse_exit();
      case Tok::On: return parse_on_error();
      case Tok::Option: {
        advance();
        if (!at_word(u"explicit")) error(kCeSyntax);
        advance();
        unit_->option_explicit = true;
        end_of_statement();
        return nullptr;
      }
      case Tok::Stop: advance(); end_of_statement(); return nullptr;
      case Tok::Call: {
        int line = cur().line, col = cur().col;
        advance();
        Expr* target = parse_postfix(parse_primary());
        if (!target->callable()) compile_error(kCeExpectedIdent, line, col);
        auto* s = unit_->make<CallStmt>(line, col);
        s->target = target;
        end_of_statement();
        return s;
      }
      case Tok::Set: {
        int line = cur().line, col = cur().col;
        advance();
        Expr* target = parse_postfix(parse_primary());
        if (!target->assignable()) compile_error(kCeExpectedIdent, line, col);
        expect(Tok::Eq, kCeExpectedEq);
        auto* s = unit_->make<AssignStmt>(line, col);
        s->target = target;
        s->value = parse_expr();
        s->is_set = true;
        end_of_statement();
        return s;
      }
      case Tok::Sub: case Tok::Function:
        // Top-level code may define a procedure inside a block: it is global whether or not
        // the block runs.
        if (!is_top()) error(kCeExpectedStatement);
        parse_procedure(true, false, nullptr);
        return nullptr;
      case Tok::Class:
        error(kCeExpectedStatement);
      case Tok::Loop: error(kCeLoopWithoutDo);
      case Tok::Next: error(kCeUnexpectedNext);
      case Tok::Ident: case Tok::Dot:
        if (at_property_decl()) error(kCeExpectedStatement);
        if (at_word(u"let") && peek().kind == Tok::Ident) advance();
        return parse_assign_or_call();
      default:
        error(kCeExpectedStatement);
    }
  }

  Stmt* parse_local_dim() {
    if (is_top()) return parse_module_vars(true);
    DimArrayStmt* arrays = nullptr;
    while (true) {
      int line = cur().line, col = cur().col;
      NameExpr* n = make<NameExpr>();
      std::u16string key;
      std::u16string name = ident(&key);
      bool is_array = false;
      std::vector<ArrayDim> dims = parse_dims(is_array);
      declare_local(key, line, col);
      if (is_array) add_dim_array(arrays, n, name, key, dims);
      if (!accept(Tok::Comma)) break;
    }
    end_of_statement();
    return arrays;
  }

  Stmt* parse_redim() {
    auto* s = make<ReDimStmt>();
    advance();
    if (at_word(u"preserve")) { s->preserve = true; advance(); }
    while (true) {
      auto* target = static_cast<NameExpr*>(parse_name_only());
      target->declares = true;
      redimmed_.emplace(proc_, target->key);
      expect(Tok::LParen, kCeExpectedLParen);
      ReDimStmt::Item item{target, {}};
      while (true) {
        item.bounds.push_back(parse_expr());
        if (accept(Tok::Comma)) continue;
        expect(Tok::RParen, kCeExpectedRParen);
        break;
      }
      s->items.push_back(std::move(item));
      if (!accept(Tok::Comma)) break;
    }
    end_of_statement();
    return s;
  }

  Stmt* parse_erase() {
    auto* s = make<EraseStmt>();
    advance();
    while (true) {
      s->targets.push_back(parse_name_only());
      if (!accept(Tok::Comma)) break;
    }
    end_of_statement();
    return s;
  }

  // A plain name (ReDim, Erase, For): no arguments.
  Expr* parse_name_only() {
    auto* n = make<NameExpr>();
    n->name = ident(&n->key);
    register_name(n);
    return n;
  }

  Stmt* parse_if() {
    auto* s = make<IfStmt>();
    advance();
    Expr* cond = parse_expr();
    expect(Tok::Then, kCeExpectedThen);
    if (!at_eos() || cur().colon) {
      // One-line form: statements up to Else or the line's end ("Then :" starts one too).
      ++single_line_;
      Block then_part = parse_line_statements();
      s->arms.emplace_back(cond, std::move(then_part));
      s->arm_at.push_back(*s);
      if (accept(Tok::Else)) s->otherwise = parse_line_statements();
      --single_line_;
      if (at(Tok::End) && peek().kind == Tok::If) { advance(); advance(); }
      if (!at_statement_end() && !(single_line_ > 0 && at(Tok::Else))) error(kCeExpectedEos);
      if (single_line_ == 0) advance_eol();
      return s;
    }
    advance_eol();
    s->arms.emplace_back(cond, parse_block());
    s->arm_at.push_back(*s);
    while (true) {
      if (at(Tok::ElseIf)) {
        Node where;
        where.line = cur().line;
        where.col = cur().col;
        s->arm_at.push_back(where);
        advance();
        Expr* c = parse_expr();
        expect(Tok::Then, kCeExpectedThen);
        if (!at_eos()) {
          // "ElseIf x Then stmt" on one line belongs to the block form too.
          ++single_line_;
          Block b = parse_line_statements();
          --single_line_;
          s->arms.emplace_back(c, std::move(b));
          Block more = parse_block();
          for (Stmt* st : more) s->arms.back().second.push_back(st);
          continue;
        }
        advance_eol();
        s->arms.emplace_back(c, parse_block());
        continue;
      }
      if (accept(Tok::Else)) {
        s->otherwise = parse_block();
        if (!at(Tok::End)) error(kCeExpectedEnd);
      }
      break;
    }
    if (!at(Tok::End)) error(kCeExpectedEnd);
    advance();
    expect(Tok::If, kCeExpectedIf);
    end_of_statement();
    return s;
  }

  // Statements separated by ':' up to Else or the end of the line (one-line If).
  Block parse_line_statements() {
    Block b;
    while (true) {
      if (at(Tok::Eof) || (at(Tok::Eol) && cur().line_end) || at(Tok::Else)) break;
      if (at(Tok::Eol)) { advance(); continue; }
      if (at_closing_end()) break;
      Stmt* st = parse_line_statement();
      if (st) b.push_back(st);
    }
    return b;
  }

  // Statement parsers leave a real line end in place while single_line_ > 0.
  Stmt* parse_line_statement() { return parse_statement(); }

  Stmt* parse_select() {
    auto* s = make<SelectStmt>();
    advance();
    expect(Tok::Case, kCeExpectedCase);
    s->test = parse_expr();
    end_of_statement();
    skip_eols();
    while (accept(Tok::Case)) {
      if (accept(Tok::Else)) {
        s->has_else = true;
        end_of_statement();
        s->otherwise = parse_block();
        break;
      }
      SelectStmt::Case c;
      while (true) {
        c.values.push_back(parse_expr());
        if (!accept(Tok::Comma)) break;
      }
      end_of_statement();
      c.body = parse_block();
      s->cases.push_back(std::move(c));
    }
    if (!at(Tok::End)) error(kCeExpectedEnd);
    advance();
    expect(Tok::Select, kCeExpectedSelect);
    end_of_statement();
    return s;
  }

  Stmt* parse_for() {
    int line = cur().line, col = cur().col;
    advance();
    if (accept(Tok::Each)) {
      auto* s = unit_->make<ForEachStmt>(line, col);
      s->var = parse_name_only();
      expect(Tok::In, kCeExpectedIn);
      s->collection = parse_expr();
      end_of_statement();
      ++for_depth_;
      s->body = parse_block();
      --for_depth_;
      expect(Tok::Next, kCeExpectedNext);
      if (at(Tok::Ident)) advance();
      end_of_statement();
      return s;
    }
    auto* s = unit_->make<ForStmt>(line, col);
    if (!at(Tok::Ident)) error(kCeInvalidForVar);
    s->var = parse_name_only();
    expect(Tok::Eq, kCeExpectedEq);
    s->from = parse_expr();
    expect(Tok::To, kCeExpectedTo);
    s->to = parse_expr();
    if (at_word(u"step")) { advance(); s->step = parse_expr(); }
    end_of_statement();
    ++for_depth_;
    s->body = parse_block();
    --for_depth_;
    expect(Tok::Next, kCeExpectedNext);
    if (at(Tok::Ident)) {
      advance();
      // "Next i, j" closes two loops: not supported by the language; reject the comma.
    }
    end_of_statement();
    return s;
  }

  Stmt* parse_do() {
    auto* s = make<DoStmt>();
    advance();
    if (at(Tok::While) || at(Tok::Until)) {
      s->until = at(Tok::Until);
      advance();
      s->cond = parse_expr();
      s->test_first = true;
    }
    end_of_statement();
    ++do_depth_;
    s->body = parse_block();
    --do_depth_;
    if (!at(Tok::Loop)) error(kCeExpectedLoop);
    advance();
    if (at(Tok::While) || at(Tok::Until)) {
      if (s->cond) error(kCeExpectedEos);
      s->until = at(Tok::Until);
      advance();
      s->cond = parse_expr();
      s->test_first = false;
    }
    end_of_statement();
    return s;
  }

  Stmt* parse_while() {
    auto* s = make<DoStmt>();
    advance();
    s->cond = parse_expr();
    s->test_first = true;
    end_of_statement();
    // Exit Do does not apply to While...Wend.
    int saved = do_depth_;
    do_depth_ = 0;
    s->body = parse_block();
    do_depth_ = saved;
    expect(Tok::Wend, kCeExpectedWend);
    end_of_statement();
    return s;
  }

  Stmt* parse_with() {
    auto* s = make<WithStmt>();
    advance();
    s->object = parse_expr();
    s->slot = hidden_slot();
    end_of_statement();
    with_slots_.push_back(s->slot);
    s->body = parse_block();
    with_slots_.pop_back();
    if (!at(Tok::End)) error(kCeExpectedEnd);
    advance();
    expect(Tok::With, kCeExpectedWith);
    end_of_statement();
    return s;
  }

  Stmt* parse_exit() {
    auto* s = make<ExitStmt>();
    advance();
    switch (cur().kind) {
      case Tok::Do: if (do_depth_ == 0) error(kCeInvalidExit); s->flow = Flow::ExitDo; break;
      case Tok::For: if (for_depth_ == 0) error(kCeInvalidExit); s->flow = Flow::ExitFor; break;
      case Tok::Sub: if (proc_->kind != Proc::Sub) error(kCeInvalidExit); s->flow = Flow::ExitProc; break;
      case Tok::Function: if (proc_->kind != Proc::Function) error(kCeInvalidExit); s->flow = Flow::ExitProc; break;
      default:
        if (!at_word(u"property")) error(kCeInvalidExit);
        if (proc_->kind != Proc::PropGet && proc_->kind != Proc::PropLet && proc_->kind != Proc::PropSet) error(kCeInvalidExit);
        s->flow = Flow::ExitProc;
        break;
    }
    advance();
    end_of_statement();
    return s;
  }

  Stmt* parse_on_error() {
    auto* s = make<OnErrorStmt>();
    advance();
    if (!at_word(u"error")) error(kCeSyntax);
    advance();
    if (at_word(u"resume")) {
      advance();
      expect(Tok::Next, kCeSyntax);
      s->resume_next = true;
    } else if (at_word(u"goto")) {
      advance();
      if (!at(Tok::Number) || to_double_literal(cur().value) != 0) error(kCeSyntax);
      advance();
      s->resume_next = false;
    } else {
      error(kCeSyntax);
    }
    end_of_statement();
    return s;
  }
  static double to_double_literal(const Variant& v) {
    if (v.is(VT::Integer)) return v.as_integer();
    if (v.is(VT::Long)) return v.as_long();
    if (v.is(VT::Double)) return v.as_double();
    return 1;
  }

  // `name = name & ...`: both names are resolved in the same place, so the same spelling
  // means the same variable.
  static void find_self_append(AssignStmt* s) {
    auto* target = dynamic_cast<NameExpr*>(s->target);
    if (!target || target->has_parens || !target->args.empty()) return;
    std::vector<Expr*> tails;
    Expr* e = s->value;
    while (auto* b = dynamic_cast<BinaryExpr*>(e)) {
      if (b->op != Op::Concat) return;
      tails.push_back(b->b);
      e = b->a;
    }
    auto* head = dynamic_cast<NameExpr*>(e);
    if (tails.empty() || !head || head->has_parens || !head->args.empty() || head->key != target->key) return;
    s->append_head = head;
    s->append_tails.assign(tails.rbegin(), tails.rend());
  }

  Stmt* parse_assign_or_call() {
    int line = cur().line, col = cur().col;
    Expr* lhs = parse_postfix(parse_primary());
    if (accept(Tok::Eq)) {
      if (!lhs->assignable()) compile_error(kCeSyntax, line, col);
      auto* s = unit_->make<AssignStmt>(line, col);
      s->target = lhs;
      s->value = parse_expr();
      find_self_append(s);
      if (auto* n = dynamic_cast<NameExpr*>(lhs); n && !n->has_parens && n->args.empty()) s->plain_name = n;
      end_of_statement();
      return s;
    }
    if (!lhs->callable()) compile_error(kCeExpectedStatement, line, col);
    auto* s = unit_->make<CallStmt>(line, col);
    s->target = lhs;
    std::vector<Expr*>* args = nullptr;
    bool* parens = nullptr;
    if (auto* n = dynamic_cast<NameExpr*>(lhs)) { args = &n->args; parens = &n->has_parens; }
    else if (auto* m = dynamic_cast<MemberExpr*>(lhs)) { args = &m->args; parens = &m->has_parens; }
    bool stmt_end = at_statement_end() || (single_line_ > 0 && at(Tok::Else));
    if (stmt_end) {
      // "foo(a, b)" as a statement: only Call may put a list in parentheses.
      if (args && *parens && args->size() > 1) compile_error(kCeParensOnSubCall, line, col);
      // "foo (x)": the parentheses belong to the argument, which is passed by value.
      if (args && *parens && args->size() == 1 && (*args)[0]) {
        auto* p = make_at<ParenExpr>((*args)[0]);
        p->inner = (*args)[0];
        (*args)[0] = p;
      }
      end_of_statement();
      return s;
    }
    if (!args) error(kCeExpectedEos);
    if (*parens) {
      // "foo (a) + 1, b": the parenthesised part starts the first argument.
      if (args->size() != 1 || !(*args)[0]) error(kCeExpectedEos);
      auto* p = make_at<ParenExpr>((*args)[0]);
      p->inner = (*args)[0];
      args->clear();
      *parens = false;
      injected_ = p;
      Expr* first = parse_expr();
      args->push_back(first);
      if (accept(Tok::Comma)) parse_bare_args(*args);
    } else {
      parse_bare_args(*args);
    }
    end_of_statement();
    return s;
  }

  // Arguments of a call statement without parentheses: "foo 1, , x".
  void parse_bare_args(std::vector<Expr*>& args) {
    while (true) {
      if (at(Tok::Comma)) { args.push_back(nullptr); advance(); continue; }
      if (at_statement_end() || (single_line_ > 0 && at(Tok::Else))) { args.push_back(nullptr); break; }
      args.push_back(parse_expr());
      if (!accept(Tok::Comma)) break;
      if (at_statement_end()) { args.push_back(nullptr); break; }
    }
  }

  // ---- expressions ----
  Expr* parse_expr() { Nest nest(*this); return parse_imp(); }

  Expr* binary(Op op, Expr* a, Expr* b, const Token& at_tok) {
    if (a->is_literal() && b->is_literal()) {
      try {
        Variant v = binary_op(op, literal_value(a), literal_value(b));
        auto* lit = unit_->make<LiteralExpr>(a->line, a->col);
        lit->value = std::move(v);
        return lit;
      } catch (const ScriptError&) {
        // Left for run time, where the error is raised with its position.
      }
    }
    auto* e = unit_->make<BinaryExpr>(at_tok.line, at_tok.col);
    e->op = op;
    e->a = a;
    e->b = b;
    return e;
  }
  static Variant literal_value(Expr* e) {
    while (auto* p = dynamic_cast<ParenExpr*>(e)) e = p->inner;
    return static_cast<LiteralExpr*>(e)->value;
  }

  Expr* parse_imp() {
    Expr* a = parse_eqv();
    while (at(Tok::Imp)) { Token t = cur(); advance(); a = binary(Op::Imp, a, parse_eqv(), t); }
    return a;
  }
  Expr* parse_eqv() {
    Expr* a = parse_xor();
    while (at(Tok::Eqv)) { Token t = cur(); advance(); a = binary(Op::Eqv, a, parse_xor(), t); }
    return a;
  }
  Expr* parse_xor() {
    Expr* a = parse_or();
    while (at(Tok::Xor)) { Token t = cur(); advance(); a = binary(Op::Xor, a, parse_or(), t); }
    return a;
  }
  Expr* parse_or() {
    Expr* a = parse_and();
    while (at(Tok::Or)) { Token t = cur(); advance(); a = binary(Op::Or, a, parse_and(), t); }
    return a;
  }
  Expr* parse_and() {
    Expr* a = parse_not();
    while (at(Tok::And)) { Token t = cur(); advance(); a = binary(Op::And, a, parse_not(), t); }
    return a;
  }
  Expr* parse_not() {
    if (!injected_ && at(Tok::Not)) {
      Nest nest(*this);
      Token t = cur();
      advance();
      return unary(Op::Not, parse_not(), t);
    }
    return parse_compare();
  }
  Expr* unary(Op op, Expr* a, const Token& t) {
    if (a->is_literal()) {
      try {
        Variant v = unary_op(op, literal_value(a));
        auto* lit = unit_->make<LiteralExpr>(t.line, t.col);
        lit->value = std::move(v);
        return lit;
      } catch (const ScriptError&) {
      }
    }
    auto* e = unit_->make<UnaryExpr>(t.line, t.col);
    e->op = op;
    e->operand = a;
    return e;
  }
  Expr* parse_compare() {
    Expr* a = parse_concat();
    while (true) {
      Op op;
      switch (cur().kind) {
        case Tok::Eq: op = Op::Eq; break;
        case Tok::Ne: op = Op::Ne; break;
        case Tok::Lt: op = Op::Lt; break;
        case Tok::Gt: op = Op::Gt; break;
        case Tok::Le: op = Op::Le; break;
        case Tok::Ge: op = Op::Ge; break;
        case Tok::Is: op = Op::Is; break;
        default: return a;
      }
      Token t = cur();
      advance();
      Expr* b = parse_concat();
      if (op == Op::Is) {
        auto* e = unit_->make<BinaryExpr>(t.line, t.col);
        e->op = Op::Is;
        e->a = a;
        e->b = b;
        a = e;
        continue;
      }
      auto* e = unit_->make<CompareExpr>(t.line, t.col);
      e->op = op;
      e->a = a;
      e->b = b;
      e->literal_side = a->is_literal() ? 1 : (b->is_literal() ? 2 : 0);
      if (a->is_literal() && b->is_literal()) {
        try {
          Variant v = compare_op(op, literal_value(a), literal_value(b), 0);
          auto* lit = unit_->make<LiteralExpr>(t.line, t.col);
          lit->value = std::move(v);
          a = lit;
          continue;
        } catch (const ScriptError&) {
        }
      }
      a = e;
    }
  }
  Expr* parse_concat() {
    Expr* a = parse_add();
    while (at(Tok::Amp)) {
      Token t = cur();
      advance();
      Expr* b = parse_add();
      if (!append_literal(a, b)) a = binary(Op::Concat, a, b, t);
    }
    return a;
  }
  // `"text" & literal`: the literal's text is appended to the left literal's own string in
  // place, so a long chain of constants folds in time and memory in proportion to its result
  // (folding each step into a new node would keep every intermediate string alive). False
  // when the pair is not of that kind; binary() then folds or keeps it as usual.
  bool append_literal(Expr* a, Expr* b) {
    auto* lit = dynamic_cast<LiteralExpr*>(a);
    if (!lit || !lit->value.is_string() || !b->is_literal()) return false;
    const Variant tail = literal_value(b);
    if (!tail.is_string() && !tail.is_null() && !tail.is_empty()) return false;  // numbers etc.: as & converts them
    Str head = lit->value.as_str();
    const Str more = tail.is_string() ? tail.as_str() : Str();
    if (head.byte_size() + more.byte_size() > (size_t{1} << 31)) return false;  // left for run time
    lit->value = Variant();  // `head` is now the string's only holder and grows in place
    lit->value = Variant(Str::append(std::move(head), more));
    return true;
  }
  Expr* parse_add() {
    Expr* a = parse_mod();
    while (at(Tok::Plus) || at(Tok::Minus)) {
      Token t = cur();
      Op op = at(Tok::Plus) ? Op::Add : Op::Sub;
      advance();
      a = binary(op, a, parse_mod(), t);
    }
    return a;
  }
  Expr* parse_mod() {
    Expr* a = parse_intdiv();
    while (at(Tok::Mod)) { Token t = cur(); advance(); a = binary(Op::Mod, a, parse_intdiv(), t); }
    return a;
  }
  Expr* parse_intdiv() {
    Expr* a = parse_mul();
    while (at(Tok::Backslash)) { Token t = cur(); advance(); a = binary(Op::IntDiv, a, parse_mul(), t); }
    return a;
  }
  Expr* parse_mul() {
    Expr* a = parse_unary();
    while (at(Tok::Star) || at(Tok::Slash)) {
      Token t = cur();
      Op op = at(Tok::Star) ? Op::Mul : Op::Div;
      advance();
      a = binary(op, a, parse_unary(), t);
    }
    return a;
  }
  Expr* parse_unary() {
    // Not as the operand of a comparison or arithmetic operator (`a = Not b`, `1 + Not x`):
    // it takes everything up to the next logical operator as its own operand.
    if (!injected_ && at(Tok::Not)) return parse_not();
    return parse_pow();
  }
  // A sign binds tighter than ^: -3 ^ 2 is (-3) ^ 2.
  Expr* parse_pow() {
    Expr* a = injected_ ? parse_postfix(parse_primary()) : parse_pow_operand();
    while (at(Tok::Caret)) {
      Token t = cur();
      advance();
      a = binary(Op::Pow, a, parse_pow_operand(), t);
    }
    return a;
  }
  Expr* parse_pow_operand() {
    if (at(Tok::Minus) || at(Tok::Plus)) {
      Nest nest(*this);
      Token t = cur();
      bool neg = at(Tok::Minus);
      advance();
      Expr* e = parse_pow_operand();
      return neg ? unary(Op::Neg, e, t) : unary(Op::Plus, e, t);
    }
    if (at(Tok::Not)) return parse_not();
    return parse_postfix(parse_primary());
  }

  void parse_paren_args(std::vector<Expr*>& args) {
    // The cursor is after '('.
    if (accept(Tok::RParen)) return;
    while (true) {
      if (at(Tok::Comma)) { args.push_back(nullptr); advance(); continue; }
      if (at(Tok::RParen)) { args.push_back(nullptr); advance(); break; }
      args.push_back(parse_expr());
      if (accept(Tok::Comma)) {
        if (at(Tok::RParen)) { args.push_back(nullptr); advance(); break; }
        continue;
      }
      expect(Tok::RParen, kCeExpectedRParen);
      break;
    }
  }

  Expr* parse_postfix(Expr* e) {
    while (true) {
      if (at(Tok::LParen)) {
        advance();
        // "(f)(x)": arguments after a parenthesised bare name go to the name itself.
        if (auto* n = parenthesised_name(e)) e = n;
        if (auto* n = dynamic_cast<NameExpr*>(e); n && !n->has_parens) {
          n->has_parens = true;
          parse_paren_args(n->args);
          continue;
        }
        if (auto* m = dynamic_cast<MemberExpr*>(e); m && !m->has_parens) {
          m->has_parens = true;
          parse_paren_args(m->args);
          continue;
        }
        auto* ix = make_at<IndexExpr>(e);
        ix->base = e;
        parse_paren_args(ix->args);
        e = ix;
        continue;
      }
      if (at(Tok::Dot) && !(cur().space_before && !with_slots_.empty())) {
        advance();
        auto* m = make<MemberExpr>();
        if (!at(Tok::Ident)) error(kCeExpectedIdent);
        m->name = cur().text;
        advance();
        m->object = e;
        e = m;
        continue;
      }
      return e;
    }
  }

  static NameExpr* parenthesised_name(Expr* e) {
    if (!dynamic_cast<ParenExpr*>(e)) return nullptr;
    while (auto* p = dynamic_cast<ParenExpr*>(e)) e = p->inner;
    auto* n = dynamic_cast<NameExpr*>(e);
    return n && !n->has_parens && n->args.empty() ? n : nullptr;
  }

  Expr* parse_primary() {
    if (injected_) {
      Expr* e = injected_;
      injected_ = nullptr;
      return e;
    }
    Nest nest(*this);
    const Token& t = cur();
    switch (t.kind) {
      case Tok::Number: case Tok::String: case Tok::Date: {
        auto* lit = make<LiteralExpr>();
        lit->value = t.kind == Tok::String ? Variant(Str(t.text)) : t.value;
        advance();
        return lit;
      }
      case Tok::True: case Tok::False: {
        auto* lit = make<LiteralExpr>();
        lit->value = Variant(t.kind == Tok::True);
        advance();
        return lit;
      }
      case Tok::Empty: { auto* lit = make<LiteralExpr>(); advance(); return lit; }
      case Tok::Null: { auto* lit = make<LiteralExpr>(); lit->value = Variant::null(); advance(); return lit; }
      case Tok::Nothing: { auto* lit = make<LiteralExpr>(); lit->value = Variant::nothing(); advance(); return lit; }
      case Tok::LParen: {
        auto* p = make<ParenExpr>();
        advance();
        p->inner = parse_expr();
        expect(Tok::RParen, kCeExpectedRParen);
        return p;
      }
      case Tok::New: {
        auto* n = make<NewExpr>();
        advance();
        n->name = ident(&n->key);
        n->scope = ctx_.module;
        return n;
      }
      case Tok::Dot: {
        // Outside any With the reference compiles and fails when it runs.
        auto* m = make<MemberExpr>();
        advance();
        if (!at(Tok::Ident)) error(kCeExpectedIdent);
        m->name = cur().text;
        advance();
        m->with_slot = with_slots_.empty() ? -1 : with_slots_.back();
        return m;
      }
      case Tok::Ident: {
        if (t.key == u"me") {
          auto* me = make<MeExpr>();
          advance();
          return me;
        }
        auto* n = make<NameExpr>();
        n->name = t.text;
        n->key = t.key;
        advance();
        register_name(n);
        return n;
      }
      default:
        error(kCeExpectedExpr);
    }
  }

  void register_name(NameExpr* n) {
    n->scope = ctx_.module;
    pending_.emplace_back(n, proc_);
  }

  // ---- name resolution ----
  void resolve_names() {
    for (auto& [n, p] : pending_) {
      // ReDim declares the name for the rest of its procedure.
      n->explicit_vars = unit_->option_explicit && (p == &unit_->top || !redimmed_.count({p, n->key}));
      if (p != &unit_->top) {
        bool self_call = p->has_result() && n->key == p->key && n->has_parens;
        auto it = p->locals.find(n->key);
        if (it != p->locals.end() && !self_call) {
          n->kind = NameExpr::Local;
          n->slot = it->second;
          if (!n->has_parens && n->args.empty()) n->local_slot = n->slot;
          continue;
        }
        if (resolve_member(n, p->cls)) continue;
        n->kind = NameExpr::Global;
        n->locals_of = NameExpr::OwnFrame;
        auto imp = p->implicit_locals.find(n->key);
        if (imp == p->implicit_locals.end()) imp = p->implicit_locals.emplace(n->key, p->nslots++).first;
        n->implicit_slot = imp->second;
        continue;
      }
      const Proc* outer = ctx_.outer_proc;
      if (outer) {
        auto it = outer->locals.find(n->key);
        if (it != outer->locals.end()) { n->kind = NameExpr::OuterLocal; n->slot = it->second; continue; }
      }
      if (resolve_member(n, ctx_.outer_class)) continue;
      n->kind = NameExpr::Global;
      if (outer) {
        n->locals_of = NameExpr::OuterFrame;
        // A name the procedure uses without declaring it is its local when nothing else has it.
        auto imp = outer->implicit_locals.find(n->key);
        if (imp != outer->implicit_locals.end()) {
          n->implicit_slot = imp->second;
          n->implicit_outer = true;
        }
      }
    }
  }
  bool resolve_member(NameExpr* n, ClassDef* c) {
    if (!c) return false;
    auto it = c->index.find(n->key);
    if (it == c->index.end()) return false;
    const ClassMember& m = c->members[it->second];
    if (m.field >= 0) { n->kind = NameExpr::Field; n->slot = m.field; }
    else { n->kind = NameExpr::MeMember; n->slot = it->second; }
    return true;
  }

  CompileContext ctx_;
  std::shared_ptr<Unit> unit_;
  LexedText lexed_;
  const std::vector<Token>& toks_ = lexed_.tokens;
  size_t pos_ = 0;
  Proc* proc_ = nullptr;
  std::vector<int> with_slots_;
  int do_depth_ = 0;
  int for_depth_ = 0;
  int single_line_ = 0;
  int nesting_ = 0;
  Expr* injected_ = nullptr;
  std::unordered_set<std::u16string> declared_;
  std::vector<std::pair<NameExpr*, Proc*>> pending_;
  std::set<std::pair<const Proc*, std::u16string>> redimmed_;
};

}  // namespace

std::shared_ptr<Unit> compile(std::u16string_view source, const CompileContext& ctx) {
  return Parser(source, ctx).run();
}

std::unordered_map<std::u16string, bool> declared_names(const Unit& u) {
  std::unordered_map<std::u16string, bool> out;
  for (const ModuleDecl& d : u.decls) out[d.key] = d.kind == ModuleDecl::Procedure;
  return out;
}

std::u16string Unit::line_text(int line) const {
  if (line < 1 || static_cast<size_t>(line) > line_starts.size()) return {};
  size_t b = line_starts[line - 1];
  size_t e = b;
  while (e < source.size() && source[e] != u'\r' && source[e] != u'\n') ++e;
  return source.substr(b, e - b);
}

}  // namespace qz::vbs
