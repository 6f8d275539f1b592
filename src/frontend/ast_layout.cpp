#include "frontend/ast_layout.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace vrel::frontend {
namespace {

// One step of a node's template, at `level` steps of indentation below the node's own.
enum class Op : std::uint8_t {
  kEnd,       // the node is complete
  kNone,      // nothing (a run of lines before the elements of a list)
  kLine,      // `text` on a line
  kQuoted,    // the node's token text between double quotes on a line
  kToken,     // the node's token text on a line
  kChild,     // the next child's fragment
  kElements,  // every remaining child's fragment, separated by "," lines at the node's level
};

struct Step {
  Op op = Op::kEnd;
  std::uint8_t level = 0;
  std::string_view text;
};

constexpr std::size_t kMaxSteps = 12;
using Template = std::array<Step, kMaxSteps>;

constexpr Step line(std::string_view text, std::uint8_t level = 0) {
  return {Op::kLine, level, text};
}
constexpr Step quoted(std::uint8_t level = 1) {
  return {Op::kQuoted, level, {}};
}
constexpr Step token(std::uint8_t level = 1) {
  return {Op::kToken, level, {}};
}
constexpr Step child(std::uint8_t level = 1) {
  return {Op::kChild, level, {}};
}

constexpr Template leaf(std::string_view text) {
  return {line(text)};
}
constexpr Template wrap(std::string_view head, std::string_view tail = ")") {
  return {line(head), child(), line(tail)};
}
constexpr Template pair(std::string_view head) {
  return {line(head), child(), line(","), child(), line(")")};
}
constexpr Template named(std::string_view head) {
  return {line(head), quoted(), line(")")};
}
// A call tuple inside the line that opens it: "Scall(" or "Ecall(", or none for a bare call.
constexpr Template call(std::string_view head) {
  if (head.empty()) return {quoted(), line(","), child()};
  return {line(head), quoted(2), line(",", 1), child(2), line(")")};
}
// An l-value inside "Elval(": `head` is "LPrim(", "LArr(" or "Lstr(".
constexpr Template elval(std::string_view head, bool indexed) {
  if (indexed) {
    return {line("Elval("), line(head, 1), quoted(2), line(",", 1),
            child(2),       line(")", 1),  line(")")};
  }
  return {line("Elval("), line(head, 1), quoted(2), line(")", 1), line(")")};
}

constexpr std::size_t index(NodeKind kind) {
  return static_cast<std::size_t>(kind);
}

constexpr std::array<Template, kNodeKindCount> kTemplates = [] {
  std::array<Template, kNodeKindCount> t{};
  using K = NodeKind;
  t[index(K::kProg)] = wrap("Prog(");
  t[index(K::kFuncDef)] = {line("FuncDef("), quoted(), line(","), child(), line(","), child(),
                           line(","),        child(),  line(","), child(), line(")")};
  t[index(K::kEmptyList)] = leaf("[]");
  t[index(K::kList)] = {line("["), {Op::kElements, 1, {}}, line("]")};
  t[index(K::kParamByVal)] = {line("("), quoted(),         line(","), child(),
                              line(","), line("ByVal", 1), line(")")};
  t[index(K::kParamByRef)] = {line("("), quoted(),         line(","), child(),
                              line(","), line("ByRef", 1), line(")")};
  t[index(K::kRnothing)] = leaf("Rnothing");
  t[index(K::kRtype)] = wrap("Rtype(");
  t[index(K::kLVar)] = wrap("LVar(");
  t[index(K::kLFunc)] = wrap("LFunc(");
  t[index(K::kVarScalar)] = {line("VarDef("), line("TPrim(", 1), child(2),
                             line(")", 1),    line(","),         quoted(),
                             line(","),       line("0", 1),      line(")")};
  t[index(K::kVarArray)] = {line("VarDef("), line("TArr(", 1), line("TPrim(", 2), child(3),
                            line(")", 2),    line(")", 1),     line(","),         quoted(),
                            line(","),       child(),          line(")")};
  t[index(K::kSize)] = {token(0)};
  t[index(K::kTPrim)] = wrap("TPrim(");
  t[index(K::kTArr)] = wrap("TArr(");
  t[index(K::kDinteger)] = leaf("Dinteger");
  t[index(K::kDbyte)] = leaf("Dbyte");
  t[index(K::kSskip)] = leaf("Sskip");
  t[index(K::kSblock)] = wrap("Sblock(");
  t[index(K::kSassign)] = pair("Sassign(");
  t[index(K::kCall)] = call("");
  t[index(K::kScall)] = call("Scall(");
  t[index(K::kSif)] = pair("Sif(");
  t[index(K::kSifelse)] = {line("Sifelse("), child(), line(","), child(),
                           line(","),        child(), line(")")};
  t[index(K::kSwhile)] = pair("Swhile(");
  t[index(K::kSreturn)] = wrap("Sreturn(EOexpr(", "))");
  t[index(K::kSreturnNone)] = leaf("Sreturn(EOnone)");
  t[index(K::kEnum)] = {line("Enum("), token(), line(")")};
  t[index(K::kEchar)] = named("Echar(");
  t[index(K::kElvalPrim)] = elval("LPrim(", false);
  t[index(K::kElvalArr)] = elval("LArr(", true);
  t[index(K::kElvalStr)] = elval("Lstr(", false);
  t[index(K::kEcall)] = call("Ecall(");
  t[index(K::kEparen)] = wrap("Eparen(");
  t[index(K::kEunopPlus)] = wrap("Eunop(UOplus,");
  t[index(K::kEunopMinus)] = wrap("Eunop(UOminus,");
  t[index(K::kEbinopPlus)] = pair("Ebinop(BOplus,");
  t[index(K::kEbinopMinus)] = pair("Ebinop(BOminus,");
  t[index(K::kEbinopTimes)] = pair("Ebinop(BOtimes,");
  t[index(K::kEbinopDiv)] = pair("Ebinop(BOdiv,");
  t[index(K::kEbinopMod)] = pair("Ebinop(BOmod,");
  t[index(K::kBtrue)] = leaf("Btrue");
  t[index(K::kBfalse)] = leaf("Bfalse");
  t[index(K::kNest)] = {child()};
  t[index(K::kBrelopEq)] = pair("Brelop(ROeq,");
  t[index(K::kBrelopNe)] = pair("Brelop(ROne,");
  t[index(K::kBrelopLt)] = pair("Brelop(ROlt,");
  t[index(K::kBrelopGt)] = pair("Brelop(ROgt,");
  t[index(K::kBrelopLe)] = pair("Brelop(ROle,");
  t[index(K::kBrelopGe)] = pair("Brelop(ROge,");
  t[index(K::kBnot)] = wrap("Bnot(");
  t[index(K::kBlogopAnd)] = pair("Blogop(LOand,");
  t[index(K::kBlogopOr)] = pair("Blogop(LOor,");
  t[index(K::kLPrim)] = named("LPrim(");
  t[index(K::kLArr)] = {line("LArr("), quoted(), line(","), child(), line(")")};
  t[index(K::kLstr)] = named("Lstr(");
  return t;
}();

// A template made ready for writing: its fixed lines gathered into runs, each followed by one
// hole (the node's token, a child, the list elements, or the end). Flush left, a run is one copy.
struct Run {
  std::uint8_t names = 0;       // constructor names in the run's lines
  std::uint8_t first_line = 0;  // the run's lines in `lines`
  std::uint8_t line_count = 0;
  std::uint8_t left_begin = 0;  // the run's lines without indentation, in `left`
  std::uint8_t left_size = 0;
  Op hole = Op::kEnd;
  std::uint8_t level = 0;  // of the hole
};

struct Layout {
  std::array<Step, kMaxSteps> lines{};  // the fixed lines with their levels
  // The fixed lines without indentation, each with its newline, and room to read ahead.
  std::array<char, 64 + OutputBlocks::kReadAhead> left{};
  std::array<Run, kMaxSteps> runs{};
  bool leaf = true;  // without children, so written without a frame of its own
};

// Constructor names in a line of a template: each begins with a capital letter.
constexpr std::uint8_t names_in(std::string_view text) {
  std::uint8_t names = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    bool letter_before = i > 0 && ((text[i - 1] >= 'A' && text[i - 1] <= 'Z') ||
                                   (text[i - 1] >= 'a' && text[i - 1] <= 'z'));
    if (text[i] >= 'A' && text[i] <= 'Z' && !letter_before) ++names;
  }
  return names;
}

constexpr Layout prepare(const Template& steps) {
  Layout layout;
  std::size_t lines = 0;
  std::size_t left = 0;
  std::size_t runs = 0;
  Run run;
  auto next_run = [&] {
    run = Run{};
    run.first_line = static_cast<std::uint8_t>(lines);
    run.left_begin = static_cast<std::uint8_t>(left);
  };
  for (const Step& step : steps) {
    if (step.op == Op::kLine) {
      layout.lines[lines++] = step;
      for (char c : step.text) layout.left.at(left++) = c;
      layout.left.at(left++) = '\n';
      ++run.line_count;
      run.names = static_cast<std::uint8_t>(run.names + names_in(step.text));
      run.left_size = static_cast<std::uint8_t>(left - run.left_begin);
      if (left >= 64 || run.left_size > OutputBlocks::kReadAhead) throw "run too long";
      continue;
    }
    // The elements of a list repeat their hole, so they get a run without lines of their own.
    if (step.op == Op::kElements && run.line_count > 0) {
      run.hole = Op::kNone;
      layout.runs.at(runs++) = run;
      next_run();
    }
    if (step.op == Op::kChild || step.op == Op::kElements) layout.leaf = false;
    run.hole = step.op;
    run.level = step.level;
    layout.runs.at(runs++) = run;
    if (step.op == Op::kEnd) break;
    next_run();
  }
  return layout;
}

constexpr std::array<Layout, kNodeKindCount> kLayouts = [] {
  std::array<Layout, kNodeKindCount> layouts{};
  for (std::size_t kind = 0; kind < kNodeKindCount; ++kind) {
    // Every kind has a template, and every template ends.
    if (kTemplates[kind].front().op == Op::kEnd || kTemplates[kind].back().op != Op::kEnd) {
      throw "incomplete template";
    }
    layouts[kind] = prepare(kTemplates[kind]);
  }
  return layouts;
}();

constexpr std::array<char, 256> filled(char c) {
  std::array<char, 256> run{};
  run.fill(c);
  return run;
}

// The steps of AstLayout::kIndentSteps.
constexpr std::array<char, 256> kDeeper = filled(' ');
constexpr std::array<char, 256> kShallower = filled('\t');

// A node being laid out. What the rest of its template needs of the node is kept here, so that
// the node itself is read once, when the walk enters it.
struct Frame {
  const Layout* layout;
  const Run* run;  // the next run of the node's template
  TextId text;
  NodeId id;
  NodeId first_child;
  NodeId child;  // the next child to lay out
  std::uint32_t indent;
};

class Writer {
 public:
  // With `consumed`, tells the tree of every node and text as soon as the walk is done with it.
  Writer(const SyntaxTree& tree, SyntaxTree* consumed, AstLayout layout, OutputBlocks& out,
         std::vector<SourceSpan>* positions)
      : tree_(tree),
        consumed_(consumed),
        out_(out),
        layout_(layout),
        indented_(layout != AstLayout::kFlushLeft),
        positions_(positions) {}

  void write(NodeId root) {
    enter(root, 0);
    while (!open_.empty() && !out_.failed()) {
      Frame& frame = open_.back();
      const Run& run = *frame.run;
      std::size_t indent = frame.indent + level_indent(run.level);
      if (positions_ != nullptr) [[unlikely]]
        note_names(frame.id, run);
      switch (run.hole) {
        case Op::kNone:
        case Op::kLine:  // never a hole
          put_lines(*frame.layout, run, frame.indent);
          ++frame.run;
          break;
        case Op::kEnd:
          put_lines(*frame.layout, run, frame.indent);
          open_.pop_back();
          break;
        case Op::kQuoted:
        case Op::kToken:
          put_lines(*frame.layout, run, frame.indent);
          put_token(frame.text, run.hole, indent);
          ++frame.run;
          break;
        case Op::kChild: {
          put_lines(*frame.layout, run, frame.indent);
          NodeId next = frame.child;
          frame.child = tree_[next].next_sibling;
          ++frame.run;
          enter(next, indent);
          break;
        }
        case Op::kElements: {
          NodeId next = frame.child;
          if (next == 0) {
            ++frame.run;
            break;
          }
          if (next != frame.first_child) put_line(frame.indent, ",", false);
          frame.child = tree_[next].next_sibling;
          enter(next, indent);
          break;
        }
      }
    }
  }

 private:
  std::size_t level_indent(std::uint8_t level) const { return indented_ ? 2 * level : 0; }

  // Starts a node: one without children is written at once, any other gets a frame.
  void enter(NodeId id, std::size_t indent) {
    Node node = tree_[id];
    if (consumed_ != nullptr) consumed_->done_with_node(id);
    const Layout& layout = kLayouts[node.kind];
    if (!layout.leaf) {
      open_.push_back({&layout, layout.runs.data(), node.text, id, node.first_child,
                       node.first_child, static_cast<std::uint32_t>(indent)});
      return;
    }
    for (const Run* run = layout.runs.data();; ++run) {
      if (positions_ != nullptr) [[unlikely]]
        note_names(id, *run);
      put_lines(layout, *run, indent);
      if (run->hole == Op::kEnd) break;
      put_token(node.text, run->hole, indent + level_indent(run->level));
    }
  }

  // Flush left, a run is one short copy; the indented lines are written out of line.
  void put_lines(const Layout& layout, const Run& run, std::size_t indent) {
    if (!indented_) {
      out_.put_short(std::string_view(layout.left.data() + run.left_begin, run.left_size));
      return;
    }
    put_indented_lines(layout, run, indent);
  }

  [[gnu::noinline]] void put_indented_lines(const Layout& layout, const Run& run,
                                            std::size_t indent) {
    for (std::size_t i = run.first_line; i < run.first_line + run.line_count; ++i) {
      put_line(indent + level_indent(layout.lines[i].level), layout.lines[i].text, false);
    }
  }

  void put_token(TextId text, Op hole, std::size_t indent) {
    static_assert(SyntaxTree::kTextReadAhead >= OutputBlocks::kReadAhead);
    if (indented_) {
      put_line(indent, tree_.text(text), hole == Op::kQuoted);
    } else {
      out_.put_short_line(tree_.text(text), hole == Op::kQuoted);
    }
    if (consumed_ != nullptr) consumed_->done_with_text(text);
  }

  // Every constructor name the run writes stands for the node's source.
  void note_names(NodeId id, const Run& run) {
    if (run.names == 0) return;
    SourceSpan span = tree_.span(id);
    for (std::uint8_t i = 0; i < run.names; ++i) positions_->push_back(span);
  }

  // A line at `indent` blanks: written after them, or after the steps from the last line's.
  void put_line(std::size_t indent, std::string_view text, bool quoted) {
    if (layout_ == AstLayout::kIndented) return out_.put_line(indent, text, quoted);
    bool deeper = indent > last_indent_;
    std::size_t steps = (deeper ? indent - last_indent_ : last_indent_ - indent) / 2;
    last_indent_ = indent;
    const std::array<char, 256>& run = deeper ? kDeeper : kShallower;
    for (std::size_t n; steps > 0; steps -= n) {
      n = std::min(steps, run.size());
      out_.put(std::string_view(run.data(), n));
    }
    out_.put_line(0, text, quoted);
  }

  const SyntaxTree& tree_;
  SyntaxTree* consumed_;
  OutputBlocks& out_;
  AstLayout layout_;
  bool indented_;  // the walk counts indentation
  std::size_t last_indent_ = 0;
  std::vector<SourceSpan>* positions_;
  std::vector<Frame> open_;
};

}  // namespace

void write_ast(const SyntaxTree& tree, NodeId root, AstLayout layout, OutputBlocks& out) {
  Writer(tree, nullptr, layout, out, nullptr).write(root);
}

void write_ast_consuming(SyntaxTree& tree, NodeId root, AstLayout layout, OutputBlocks& out,
                         std::vector<SourceSpan>* positions) {
  Writer(tree, &tree, layout, out, positions).write(root);
}

}  // namespace vrel::frontend
