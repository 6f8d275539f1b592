#include "frontend/ast_layout.h"

#include <array>
#include <string_view>
#include <vector>

namespace vrel::frontend {
namespace {

// One step of a node's template, at `level` steps of indentation below the node's own.
enum class Op : std::uint8_t {
  kEnd,       // the node is complete
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

// Every kind has a template, and every template ends.
constexpr bool complete() {
  for (const Template& steps : kTemplates) {
    if (steps.front().op == Op::kEnd || steps.back().op != Op::kEnd) return false;
  }
  return true;
}
static_assert(complete());

struct Frame {
  const Step* step;  // the next step of the node's template
  NodeId node;
  NodeId child;  // the next child to lay out
  std::size_t indent;
};

}  // namespace

void write_ast(const SyntaxTree& tree, NodeId root, AstLayout layout, OutputBlocks& out) {
  const std::size_t unit = layout == AstLayout::kIndented ? 2 : 0;
  std::vector<Frame> open;
  auto enter = [&](NodeId node, std::size_t indent) {
    const Node& n = tree[node];
    open.push_back({kTemplates[n.kind].data(), node, n.first_child, indent});
  };
  enter(root, 0);
  while (!open.empty() && !out.failed()) {
    Frame& frame = open.back();
    const Step& step = *frame.step;
    std::size_t indent = frame.indent + unit * step.level;
    switch (step.op) {
      case Op::kEnd:
        open.pop_back();
        break;
      case Op::kLine:
        out.put_line(indent, step.text);
        ++frame.step;
        break;
      case Op::kQuoted:
      case Op::kToken:
        out.put_line(indent, tree.text(tree[frame.node].text), step.op == Op::kQuoted);
        ++frame.step;
        break;
      case Op::kChild: {
        NodeId next = frame.child;
        frame.child = tree[next].next_sibling;
        ++frame.step;
        enter(next, indent);
        break;
      }
      case Op::kElements: {
        NodeId next = frame.child;
        if (next == 0) {
          ++frame.step;
          break;
        }
        if (next != tree[frame.node].first_child) out.put_line(frame.indent, ",");
        frame.child = tree[next].next_sibling;
        enter(next, indent);
        break;
      }
    }
  }
}

}  // namespace vrel::frontend
