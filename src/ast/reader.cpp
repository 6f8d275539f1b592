#include "ast/reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "support/large_stack.h"

namespace vrel::ast {
namespace {

// Values nested deeper than this are refused even on the largest stack.
constexpr std::size_t kMaxDepth = 1'000'000;
static_assert(kMaxDepth * kStackBytesPerLevel + kStackBytesReserved <= kLargeStackBytes,
              "the large stack holds the walks of the deepest tree accepted");

// Fields whose C++ type alone does not say what they may hold.
struct NameField {};  // an identifier
struct CharField {};  // the text of one character
struct TextField {};  // any text

template <class Field>
struct ValueOfField {
  using type = Field;
};
template <>
struct ValueOfField<NameField> {
  using type = Name;
};
template <>
struct ValueOfField<CharField> {
  using type = Text;
};
template <>
struct ValueOfField<TextField> {
  using type = Text;
};
template <class Field>
using ValueOf = typename ValueOfField<Field>::type;

// Reading the fields `Fields` builds the struct `T`.
template <class T, class... Fields>
constexpr bool kBuilds =
    std::is_same_v<storage::FieldsOf<T>, storage::TypeList<ValueOf<Fields>...>>;

template <class Field>
struct Tag {};

// Where a value stands. An argument (the field right after a constructor name) must be a single
// token or start with a bracket, so a constructor applied to a field needs parentheses there.
enum class Position { Value, Argument };

// The name of each constructor of a variant type, paired with its tag.
struct Constructor {
  NamePattern name;
  std::size_t tag;
};
template <class Alt, class Type>
constexpr Constructor named(std::string_view name) {
  return {namePattern(name), Type::template tagOf<Alt>()};
}

// A table names every constructor of `Type`, each once, each name short enough for a key.
template <class Type, std::size_t N>
constexpr bool namesEveryConstructor(const std::array<Constructor, N>& table) {
  if (N != std::variant_size_v<typename Type::Variant>) return false;
  std::array<bool, N> seen{};
  for (const Constructor& c : table) {
    if (c.name.length == 0 || c.tag >= N || seen[c.tag]) return false;
    seen[c.tag] = true;
  }
  return true;
}

constexpr NamePattern kProg = namePattern("Prog");
constexpr NamePattern kFuncDef = namePattern("FuncDef");
constexpr NamePattern kVarDef = namePattern("VarDef");
static_assert(kProg.length != 0 && kFuncDef.length != 0 && kVarDef.length != 0);
constexpr std::array kLocalDef{named<LFunc, LocalDef>("LFunc"), named<LVar, LocalDef>("LVar")};
constexpr std::array kType{named<TPrim, Type>("TPrim"), named<TArr, Type>("TArr")};
constexpr std::array kRetType{named<Rnothing, RetType>("Rnothing"), named<Rtype, RetType>("Rtype")};
// Each type's constructors are tried in the order of how often programs use them.
constexpr std::array kStmt{named<Sassign, Stmt>("Sassign"), named<Scall, Stmt>("Scall"),
                           named<Sifelse, Stmt>("Sifelse"), named<Sif, Stmt>("Sif"),
                           named<Sblock, Stmt>("Sblock"),   named<Swhile, Stmt>("Swhile"),
                           named<Sreturn, Stmt>("Sreturn"), named<Sskip, Stmt>("Sskip")};
constexpr std::array kExprOpt{named<EOnone, ExprOpt>("EOnone"), named<EOexpr, ExprOpt>("EOexpr")};
constexpr std::array kExpr{named<Elval, Expr>("Elval"),   named<Enum, Expr>("Enum"),
                           named<Ebinop, Expr>("Ebinop"), named<Ecall, Expr>("Ecall"),
                           named<Eparen, Expr>("Eparen"), named<Eunop, Expr>("Eunop"),
                           named<Echar, Expr>("Echar")};
constexpr std::array kCond{named<Brelop, Cond>("Brelop"), named<Blogop, Cond>("Blogop"),
                           named<Bnot, Cond>("Bnot"), named<Btrue, Cond>("Btrue"),
                           named<Bfalse, Cond>("Bfalse")};
constexpr std::array kLValue{named<LPrim, LValue>("LPrim"), named<LArr, LValue>("LArr"),
                             named<Lstr, LValue>("Lstr")};
static_assert(namesEveryConstructor<LocalDef>(kLocalDef));
static_assert(namesEveryConstructor<Type>(kType));
static_assert(namesEveryConstructor<RetType>(kRetType));
static_assert(namesEveryConstructor<Stmt>(kStmt));
static_assert(namesEveryConstructor<ExprOpt>(kExprOpt));
static_assert(namesEveryConstructor<Expr>(kExpr));
static_assert(namesEveryConstructor<Cond>(kCond));
static_assert(namesEveryConstructor<LValue>(kLValue));

// The name of each member of an enumeration.
template <class E>
struct Enumerator {
  NamePattern name;
  E value;
};

// A table names every member of `E` (numbered from 0 up to `last`), each once, each name short
// enough for a key.
template <class E, std::size_t N>
constexpr bool namesEveryMember(const std::array<Enumerator<E>, N>& table, E last) {
  if (N != static_cast<std::size_t>(last) + 1) return false;
  std::array<bool, N> seen{};
  for (const Enumerator<E>& e : table) {
    auto i = static_cast<std::size_t>(e.value);
    if (e.name.length == 0 || i >= N || seen[i]) return false;
    seen[i] = true;
  }
  return true;
}

constexpr std::array<Enumerator<PassMode>, 2> kPassMode{
    {{namePattern("ByVal"), PassMode::ByVal}, {namePattern("ByRef"), PassMode::ByRef}}};
constexpr std::array<Enumerator<DataType>, 2> kDataType{
    {{namePattern("Dinteger"), DataType::Dinteger}, {namePattern("Dbyte"), DataType::Dbyte}}};
constexpr std::array<Enumerator<UnOp>, 3> kUnOp{{{namePattern("UOplus"), UnOp::UOplus},
                                                 {namePattern("UOminus"), UnOp::UOminus},
                                                 {namePattern("UOarrsz"), UnOp::UOarrsz}}};
constexpr std::array<Enumerator<BinOp>, 13> kBinOp{{{namePattern("BOplus"), BinOp::BOplus},
                                                    {namePattern("BOminus"), BinOp::BOminus},
                                                    {namePattern("BOtimes"), BinOp::BOtimes},
                                                    {namePattern("BOdiv"), BinOp::BOdiv},
                                                    {namePattern("BOmod"), BinOp::BOmod},
                                                    {namePattern("BOeq"), BinOp::BOeq},
                                                    {namePattern("BOne"), BinOp::BOne},
                                                    {namePattern("BOlt"), BinOp::BOlt},
                                                    {namePattern("BOgt"), BinOp::BOgt},
                                                    {namePattern("BOle"), BinOp::BOle},
                                                    {namePattern("BOge"), BinOp::BOge},
                                                    {namePattern("BOand"), BinOp::BOand},
                                                    {namePattern("BOor"), BinOp::BOor}}};
constexpr std::array<Enumerator<RelOp>, 6> kRelOp{{{namePattern("ROeq"), RelOp::ROeq},
                                                   {namePattern("ROne"), RelOp::ROne},
                                                   {namePattern("ROlt"), RelOp::ROlt},
                                                   {namePattern("ROgt"), RelOp::ROgt},
                                                   {namePattern("ROle"), RelOp::ROle},
                                                   {namePattern("ROge"), RelOp::ROge}}};
constexpr std::array<Enumerator<LogOp>, 2> kLogOp{
    {{namePattern("LOand"), LogOp::LOand}, {namePattern("LOor"), LogOp::LOor}}};
static_assert(namesEveryMember(kPassMode, PassMode::ByRef));
static_assert(namesEveryMember(kDataType, DataType::Dbyte));
static_assert(namesEveryMember(kUnOp, UnOp::UOarrsz));
static_assert(namesEveryMember(kBinOp, BinOp::BOor));
static_assert(namesEveryMember(kRelOp, RelOp::ROge));
static_assert(namesEveryMember(kLogOp, LogOp::LOor));

bool isIdentifier(std::string_view s) {
  auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (s.empty() || !letter(s[0])) return false;
  for (char c : s.substr(1))
    if (!letter(c) && !digit(c) && c != '_') return false;
  return true;
}

// Type-directed recursive descent into the words of a `TreeStore`. Reading a value pushes its
// field words (tree_store.h) onto `words_`; a node or a list moves the words of its parts into
// the store and leaves its own index in their place. Every function returns false on malformed
// text.
class Reader {
 public:
  Reader(ByteSource& source, TreeStore& store, std::size_t maxDepth, NodeIndex* index)
      : scan_(source), store_(store), maxDepth_(maxDepth), index_(index) {}

  // The words of the main `FuncDef`, moved into the store; nothing when the text is malformed.
  std::optional<Word> prog() {
    if (!read(Tag<Prog>{}, Position::Value)) return std::nullopt;
    return store_.appendRecord(words_);
  }

 private:
  template <class Field>
  bool read(Tag<Field> field, Position position) {
    if (depth_ == maxDepth_) throw NestingTooDeep(names_);
    ++depth_;
    std::size_t opens = scan_.acceptOpens();
    bool ok = core(field, opens > 0 ? Position::Value : position);
    --depth_;
    return ok && scan_.acceptCloses(opens);
  }

  // Param and FuncCall are plain tuples: their own parentheses come first.
  bool read(Tag<Param>, Position) { return tuple<Param, NameField, Type, PassMode>(); }
  bool read(Tag<FuncCall>, Position) { return tuple<FuncCall, NameField, List<Expr>>(); }

  // A tuple in its parentheses, its components' words pushed in order. The opening parentheses
  // cannot be told apart from redundant ones around the tuple or around its first component
  // until the first component has been read: those that close before the first "," belong to
  // the component, the innermost one left open is the tuple's own, and the others must close
  // after it.
  template <class T, class First, class... Rest>
  bool tuple() {
    static_assert(kBuilds<T, First, Rest...>, "the components are the struct's fields");
    std::size_t opens = scan_.acceptOpens();
    if (opens == 0 || !core(Tag<First>{}, Position::Value)) return false;
    std::size_t outer = opens - 1 - scan_.acceptClosesUpTo(opens - 1);
    return (... && (scan_.accept(',') && read(Tag<Rest>{}, Position::Value))) &&
           scan_.accept(')') && scan_.acceptCloses(outer);
  }

  // The node `Alt` of `Type` whose field words are those pushed since `mark`.
  template <class Type, class Alt>
  bool node(std::size_t mark) {
    std::span<const Word> fields(words_.data() + mark, words_.size() - mark);
    Word at = store_.appendNode(static_cast<Word>(Type::template tagOf<Alt>()), fields);
    words_.resize(mark + 1);
    words_[mark] = at;
    if (index_ != nullptr) {
      index_->nodes.push_back({at, pendingNames_.back()});
      pendingNames_.pop_back();
    }
    return true;
  }

  // A constructor name has been read: the `names_`-th of the text.
  void named(bool node) {
    if (index_ != nullptr && node) pendingNames_.push_back(names_);
    ++names_;
  }

  // A node whose fields form a tuple.
  template <class Type, class Alt, class... Components>
  bool tupleNode() {
    std::size_t mark = words_.size();
    return tuple<Alt, Components...>() && node<Type, Alt>(mark);
  }

  // A node whose one field is not a tuple: the field as an argument.
  template <class Type, class Alt, class Field>
  bool fieldNode() {
    static_assert(kBuilds<Alt, Field>, "the field is the struct's field");
    std::size_t mark = words_.size();
    return read(Tag<Field>{}, Position::Argument) && node<Type, Alt>(mark);
  }

  // A node without a field.
  template <class Type, class Alt>
  bool nullaryNode() {
    static_assert(kBuilds<Alt>, "the struct has no field");
    return node<Type, Alt>(words_.size());
  }

  // The tag of the constructor named next, from `table`; nothing when the name is not there or
  // a constructor with a field stands as an argument.
  template <class Type, std::size_t N>
  std::optional<std::size_t> constructor(const std::array<Constructor, N>& table,
                                         Position position) {
    std::uint64_t word = scan_.nameWord();
    for (const Constructor& c : table) {
      if (!scan_.acceptName(word, c.name)) continue;
      if (position == Position::Argument && hasField<Type>(c.tag)) return std::nullopt;
      named(true);
      return c.tag;
    }
    return std::nullopt;
  }

  template <class Type>
  static bool hasField(std::size_t tag) {
    return []<class... Alts>(std::variant<Alts...>*, std::size_t t) {
      constexpr std::array<bool, sizeof...(Alts)> kHasField{(storage::wordsOf<Alts>() > 0)...};
      return kHasField[t];
    }(static_cast<typename Type::Variant*>(nullptr), tag);
  }

  // A single-constructor type's name.
  bool keyword(const NamePattern& name, Position position) {
    if (position != Position::Value || !scan_.acceptName(scan_.nameWord(), name)) return false;
    named(false);
    return true;
  }

  // A member of an enumeration, named as it is declared.
  template <class E, std::size_t N>
  bool enumerator(const std::array<Enumerator<E>, N>& table) {
    std::uint64_t word = scan_.nameWord();
    for (const Enumerator<E>& e : table) {
      if (!scan_.acceptName(word, e.name)) continue;
      words_.push_back(static_cast<Word>(e.value));
      named(false);
      return true;
    }
    return false;
  }

  bool core(Tag<std::int32_t>, Position) {
    auto value = scan_.integer(readingSize_ ? &sizeDigits_ : nullptr);
    if (!value) return false;
    words_.push_back(static_cast<Word>(*value));
    return true;
  }
  bool core(Tag<TextField>, Position) {
    return text([](std::string_view) { return true; });
  }
  bool core(Tag<CharField>, Position) {
    return text([](std::string_view s) { return s.size() == 1; });
  }
  bool core(Tag<NameField>, Position) { return text(isIdentifier); }

  template <class Valid>
  bool text(Valid valid) {
    std::string_view text;
    if (!scan_.string(text_, text) || !valid(text)) return false;
    words_.push_back(intern(text));
    return true;
  }

  // The store's record of `text`. Short texts read straight from the scanner's buffer, which has
  // eight bytes to read from where any text starts, are looked up first among the recent ones.
  Word intern(std::string_view text) {
    if (text.size() > sizeof(std::uint64_t) || text.data() == text_.data()) {
      return store_.intern(text);
    }
    std::uint64_t bytes = 0;
    if (!text.empty()) {
      std::memcpy(&bytes, text.data(), sizeof bytes);
      int unused = 8 * static_cast<int>(sizeof bytes - text.size());
      bytes =
          std::endian::native == std::endian::little ? bytes << unused >> unused : bytes >> unused;
    }
    std::uint64_t hash = (bytes ^ text.size()) * 0x9E3779B97F4A7C15u;
    RecentText& recent = recent_[hash >> (64 - kRecentBits)];
    if (recent.record == kNoRecord || recent.bytes != bytes || recent.size != text.size()) {
      recent = {bytes, text.size(), store_.intern(text)};
    }
    return recent.record;
  }

  template <class Element>
  bool core(Tag<List<Element>>, Position) {
    if (!scan_.accept('[')) return false;
    if (scan_.accept(']')) {
      words_.push_back(store_.emptyList());
      return true;
    }
    std::size_t mark = words_.size();
    std::size_t count = 0;
    do {
      if (!read(Tag<Element>{}, Position::Value)) return false;
      ++count;
    } while (scan_.accept(','));
    if (!scan_.accept(']')) return false;
    std::span<const Word> elements(words_.data() + mark, words_.size() - mark);
    Word at = store_.appendList(count, elements);
    words_.resize(mark + 1);
    words_[mark] = at;
    return true;
  }

  bool core(Tag<PassMode>, Position) { return enumerator(kPassMode); }
  bool core(Tag<DataType>, Position) { return enumerator(kDataType); }
  bool core(Tag<UnOp>, Position) { return enumerator(kUnOp); }
  bool core(Tag<BinOp>, Position) { return enumerator(kBinOp); }
  bool core(Tag<RelOp>, Position) { return enumerator(kRelOp); }
  bool core(Tag<LogOp>, Position) { return enumerator(kLogOp); }

  bool core(Tag<Prog>, Position position) {
    return keyword(kProg, position) && read(Tag<FuncDef>{}, Position::Argument);
  }

  bool core(Tag<FuncDef>, Position position) {
    return keyword(kFuncDef, position) &&
           tuple<FuncDef, NameField, RetType, List<Param>, List<LocalDef>, Stmt>();
  }

  // The size, the definition's last component, is kept as digits when it does not fit.
  bool core(Tag<VarDef>, Position position) {
    if (!keyword(kVarDef, position)) return false;
    sizeDigits_.clear();
    readingSize_ = true;
    bool ok = tuple<VarDef, Type, NameField, std::int32_t>();
    readingSize_ = false;
    std::size_t zeros = std::min(sizeDigits_.find_first_not_of('0'), sizeDigits_.size() - 1);
    sizeDigits_.erase(0, zeros);
    oversized_ =
        sizeDigits_.size() > 10 || (sizeDigits_.size() == 10 && sizeDigits_ > "2147483647");
    return ok;
  }

  bool core(Tag<LocalDef>, Position position) {
    switch (constructor<LocalDef>(kLocalDef, position).value_or(kNone)) {
      case LocalDef::tagOf<LFunc>():
        return fieldNode<LocalDef, LFunc, FuncDef>();
      case LocalDef::tagOf<LVar>():
        if (!fieldNode<LocalDef, LVar, VarDef>()) return false;
        if (oversized_) store_.noteOversizedArray(words_.back(), sizeDigits_);
        return true;
    }
    return false;
  }

  bool core(Tag<Type>, Position position) {
    switch (constructor<Type>(kType, position).value_or(kNone)) {
      case Type::tagOf<TPrim>():
        return fieldNode<Type, TPrim, DataType>();
      case Type::tagOf<TArr>():
        return fieldNode<Type, TArr, Type>();
    }
    return false;
  }

  bool core(Tag<RetType>, Position position) {
    switch (constructor<RetType>(kRetType, position).value_or(kNone)) {
      case RetType::tagOf<Rnothing>():
        return nullaryNode<RetType, Rnothing>();
      case RetType::tagOf<Rtype>():
        return fieldNode<RetType, Rtype, Type>();
    }
    return false;
  }

  bool core(Tag<Stmt>, Position position) {
    switch (constructor<Stmt>(kStmt, position).value_or(kNone)) {
      case Stmt::tagOf<Sassign>():
        return tupleNode<Stmt, Sassign, LValue, Expr>();
      case Stmt::tagOf<Sskip>():
        return nullaryNode<Stmt, Sskip>();
      case Stmt::tagOf<Sblock>():
        return fieldNode<Stmt, Sblock, List<Stmt>>();
      case Stmt::tagOf<Scall>():
        return fieldNode<Stmt, Scall, FuncCall>();
      case Stmt::tagOf<Sif>():
        return tupleNode<Stmt, Sif, Cond, Stmt>();
      case Stmt::tagOf<Sifelse>():
        return tupleNode<Stmt, Sifelse, Cond, Stmt, Stmt>();
      case Stmt::tagOf<Swhile>():
        return tupleNode<Stmt, Swhile, Cond, Stmt>();
      case Stmt::tagOf<Sreturn>():
        return fieldNode<Stmt, Sreturn, ExprOpt>();
    }
    return false;
  }

  bool core(Tag<ExprOpt>, Position position) {
    switch (constructor<ExprOpt>(kExprOpt, position).value_or(kNone)) {
      case ExprOpt::tagOf<EOnone>():
        return nullaryNode<ExprOpt, EOnone>();
      case ExprOpt::tagOf<EOexpr>():
        return fieldNode<ExprOpt, EOexpr, Expr>();
    }
    return false;
  }

  bool core(Tag<Expr>, Position position) {
    switch (constructor<Expr>(kExpr, position).value_or(kNone)) {
      case Expr::tagOf<Enum>():
        return fieldNode<Expr, Enum, std::int32_t>();
      case Expr::tagOf<Echar>():
        return fieldNode<Expr, Echar, CharField>();
      case Expr::tagOf<Elval>():
        return fieldNode<Expr, Elval, LValue>();
      case Expr::tagOf<Eunop>():
        return tupleNode<Expr, Eunop, UnOp, Expr>();
      case Expr::tagOf<Ebinop>():
        return tupleNode<Expr, Ebinop, BinOp, Expr, Expr>();
      case Expr::tagOf<Ecall>():
        return fieldNode<Expr, Ecall, FuncCall>();
      case Expr::tagOf<Eparen>():
        return fieldNode<Expr, Eparen, Expr>();
    }
    return false;
  }

  bool core(Tag<Cond>, Position position) {
    switch (constructor<Cond>(kCond, position).value_or(kNone)) {
      case Cond::tagOf<Btrue>():
        return nullaryNode<Cond, Btrue>();
      case Cond::tagOf<Bfalse>():
        return nullaryNode<Cond, Bfalse>();
      case Cond::tagOf<Brelop>():
        return tupleNode<Cond, Brelop, RelOp, Expr, Expr>();
      case Cond::tagOf<Blogop>():
        return tupleNode<Cond, Blogop, LogOp, Cond, Cond>();
      case Cond::tagOf<Bnot>():
        return fieldNode<Cond, Bnot, Cond>();
    }
    return false;
  }

  bool core(Tag<LValue>, Position position) {
    switch (constructor<LValue>(kLValue, position).value_or(kNone)) {
      case LValue::tagOf<LPrim>():
        return fieldNode<LValue, LPrim, NameField>();
      case LValue::tagOf<LArr>():
        return tupleNode<LValue, LArr, NameField, Expr>();
      case LValue::tagOf<Lstr>():
        return fieldNode<LValue, Lstr, TextField>();
    }
    return false;
  }

  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  TextScanner scan_;
  TreeStore& store_;
  std::size_t maxDepth_;
  std::size_t depth_ = 0;
  std::vector<Word> words_;  // the words of the values being read, innermost last
  std::string text_;         // the last string literal with an escape, decoded
  NodeIndex* index_;
  bool readingSize_ = false;                 // the integer read next is an array's size
  std::string sizeDigits_;                   // the digits of the last size read
  bool oversized_ = false;                   // the last size was more than an array can have
  std::uint64_t names_ = 0;                  // constructor names read so far
  std::vector<std::uint64_t> pendingNames_;  // of the nodes being read, while indexing

  struct RecentText {
    std::uint64_t bytes = 0;
    std::size_t size = 0;
    Word record = kNoRecord;
  };
  static constexpr Word kNoRecord = ~Word{0};
  static constexpr int kRecentBits = 10;
  std::array<RecentText, std::size_t{1} << kRecentBits> recent_{};
};

// The bytes of a text in memory, handed out in blocks.
class ViewSource : public ByteSource {
 public:
  explicit ViewSource(std::string_view text) : rest_(text) {}
  std::size_t read(char* buffer, std::size_t capacity) override {
    std::size_t n = std::min(capacity, rest_.size());
    if (n > 0) std::memcpy(buffer, rest_.data(), n);
    rest_.remove_prefix(n);
    return n;
  }

 private:
  std::string_view rest_;
};

}  // namespace

std::optional<Prog> readProg(ByteSource& source, NodeIndex* index) {
  auto store = std::make_shared<TreeStore>();
  std::size_t maxDepth = std::min(kMaxDepth, nestingDepthForStack());
  std::optional<Word> main = Reader(source, *store, maxDepth, index).prog();
  if (!main) return std::nullopt;
  const Word* cursor = store->at(*main);
  FuncDef func = storage::Codec::field<FuncDef>(*store, cursor);
  return Prog{std::move(func), std::move(store)};
}

std::optional<Prog> readProg(std::string_view text, NodeIndex* index) {
  ViewSource source(text);
  return readProg(source, index);
}

}  // namespace vrel::ast
