// The parsed program as a compact tree. A node is 16 bytes: its kind, the token text it names (if
// any), its first child and its next sibling; nodes live in blocks and are named by their index.
// Token texts live in a byte pool. The parser makes nodes bottom-up and links each one once, so
// the tree costs a few nodes per construct whatever its depth, and the layout writer turns it
// into text in one walk. That walk may consume the tree as it goes: a block of nodes or texts
// goes back to the system once the walk is done with everything in it, so that the memory the
// text and its reader need next is memory the process has just given back.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "support/source_location.h"

namespace vrel::frontend {

using NodeId = std::uint32_t;  // 0 names no node
using TextId = std::uint64_t;  // where a token text is kept: its pool block and offset

// One kind per node shape of the AST text; the layout writer holds each kind's template.
enum class NodeKind : std::uint8_t {
  kProg,         // child: the main function
  kFuncDef,      // text: name; children: result, parameters, locals, body
  kEmptyList,    //
  kList,         // children: the elements
  kParamByVal,   // text: name; child: type
  kParamByRef,   // text: name; child: type
  kRnothing,     //
  kRtype,        // child: type
  kLVar,         // child: variable definition
  kLFunc,        // child: function definition
  kVarScalar,    // text: name; child: data type
  kVarArray,     // text: name; children: data type, size
  kSize,         // text: the size's digits
  kTPrim,        // child: data type
  kTArr,         // child: element type
  kDinteger,     //
  kDbyte,        //
  kSskip,        //
  kSblock,       // child: statement list
  kSassign,      // children: l-value, expression
  kCall,         // text: name; child: argument list (a call before it becomes kScall or kEcall)
  kScall,        // text: name; child: argument list
  kSif,          // children: condition, statement
  kSifelse,      // children: condition, then-statement, else-statement
  kSwhile,       // children: condition, statement
  kSreturn,      // child: expression
  kSreturnNone,  //
  kEnum,         // text: the digits
  kEchar,        // text: the constant's source text
  kElvalPrim,    // text: name (an LPrim inside Elval)
  kElvalArr,     // text: name; child: index (an LArr inside Elval)
  kElvalStr,     // text: the constant's source text (an Lstr inside Elval)
  kEcall,        // text: name; child: argument list
  kEparen,       // child: expression
  kEunopPlus,    // child: operand
  kEunopMinus,   // child: operand
  kEbinopPlus,   // children: left, right
  kEbinopMinus,  // children: left, right
  kEbinopTimes,  // children: left, right
  kEbinopDiv,    // children: left, right
  kEbinopMod,    // children: left, right
  kBtrue,        //
  kBfalse,       //
  kNest,         // child: a parenthesised condition, one level deeper
  kBrelopEq,     // children: left, right
  kBrelopNe,     // children: left, right
  kBrelopLt,     // children: left, right
  kBrelopGt,     // children: left, right
  kBrelopLe,     // children: left, right
  kBrelopGe,     // children: left, right
  kBnot,         // child: condition
  kBlogopAnd,    // children: left, right
  kBlogopOr,     // children: left, right
  kLPrim,        // text: name
  kLArr,         // text: name; child: index
  kLstr,         // text: the constant's source text
};
inline constexpr std::size_t kNodeKindCount = static_cast<std::size_t>(NodeKind::kLstr) + 1;

struct Node {
  std::uint64_t kind : 8;
  std::uint64_t text : 56;
  NodeId first_child;
  NodeId next_sibling;

  NodeKind node_kind() const { return static_cast<NodeKind>(kind); }
};
static_assert(sizeof(Node) == 16);

class SyntaxTree {
 public:
  static constexpr std::size_t kNodesPerBlock = std::size_t{1} << 16;
  static constexpr std::size_t kTextBlockSize = std::size_t{1} << 20;
  // A text longer than this gets a block of its own, so the shared blocks waste little.
  static constexpr std::size_t kLongText = kTextBlockSize / 16;
  // Bytes that can be read from the start of any text no longer than this (see OutputBlocks).
  static constexpr std::size_t kTextReadAhead = 32;

  SyntaxTree() = default;
  SyntaxTree(const SyntaxTree&) = delete;
  SyntaxTree& operator=(const SyntaxTree&) = delete;
  ~SyntaxTree() { release(); }

  // Keeps a copy of `size` bytes (NUL bytes included). Throws std::bad_alloc when memory runs out.
  TextId add_text(const char* bytes, std::size_t size);
  std::string_view text(TextId id) const;

  // A new node whose children are `children` in order; each child must not be linked yet.
  NodeId add(NodeKind kind, std::initializer_list<NodeId> children = {}, TextId text = 0);
  // A new node whose children are the siblings that start at `first` (a list's elements).
  NodeId add_over(NodeKind kind, NodeId first);
  // Puts `element` in front of the siblings that start at `rest`; returns `element`.
  NodeId prepend(NodeId element, NodeId rest);
  // Changes the kind of a node into the kind of the construct that wraps it.
  void set_kind(NodeId id, NodeKind kind) { at(id).kind = static_cast<std::uint8_t>(kind); }

  const Node& operator[](NodeId id) const {
    return reinterpret_cast<const Node*>(
        node_blocks_[id / kNodesPerBlock].bytes)[id % kNodesPerBlock];
  }
  std::size_t node_count() const { return next_node_ - 1; }

  // The walk will not look at node `id`, or at text `id`, again. A block goes back to the system
  // once this has been said of every node or text in it; nodes and texts added later (the texts
  // of tokens after the main function) go into fresh blocks.
  void done_with_node(NodeId id);
  void done_with_text(TextId id);

  // Frees every node and text; ids given out before are no longer valid.
  void release();

  // Whether the parser keeps the source span of every node, for positions beside the AST text.
  bool keeps_spans() const { return keep_spans_; }
  void keep_spans(bool keep) { keep_spans_ = keep; }
  void set_span(NodeId id, SourceSpan span) {
    if (spans_.size() <= id) spans_.resize(std::max<std::size_t>(2 * spans_.size(), id + 1024));
    spans_[id] = span;
  }
  SourceSpan span(NodeId id) const { return id < spans_.size() ? spans_[id] : SourceSpan{}; }

 private:
  // A block of memory straight from the system, so that it goes back there when freed. Every
  // block is of one of these sizes: a node block, a shared text block, or a long text.
  struct Block {
    char* bytes = nullptr;
    std::size_t size = 0;
    std::uint32_t in_use = 0;  // nodes or texts the walk has not yet been done with
  };
  static char* map_block(std::size_t size);
  static void unmap_block(Block& block);

  Node& at(NodeId id) {
    return reinterpret_cast<Node*>(node_blocks_[id / kNodesPerBlock].bytes)[id % kNodesPerBlock];
  }
  char* new_text_block(std::size_t size);

  std::vector<Block> node_blocks_;
  std::uint64_t next_node_ = 1;
  std::vector<Block> text_blocks_;
  std::size_t shared_block_ = 0;  // index of the block that short texts go into
  std::size_t shared_used_ = kTextBlockSize;
  bool keep_spans_ = false;
  std::vector<SourceSpan> spans_;  // by node, while spans are kept
};

// The tree of the source being parsed.
extern SyntaxTree program_tree;

}  // namespace vrel::frontend
