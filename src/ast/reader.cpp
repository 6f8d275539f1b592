#include "ast/reader.h"

#include <array>
#include <cstddef>
#include <tuple>
#include <utility>

#include "ast/text_scanner.h"

namespace vrel::ast {
namespace {

// Values nested deeper than this are refused, so that reading can never exhaust the large stack
// the compilation runs on: one level takes at most about 450 bytes of stack optimised and 900
// unoptimised, so the deepest text accepted needs under 1 GiB.
constexpr std::size_t kMaxDepth = 1'000'000;

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

template <class Field>
struct Tag {};

// Where a value stands. An argument (the field right after a constructor name) must be a single
// token or start with a bracket, so a constructor applied to a field needs parentheses there.
enum class Position { Value, Argument };

struct Constructor {
  std::string_view name;
  bool hasField;
};
constexpr std::size_t kNoConstructor = static_cast<std::size_t>(-1);

constexpr std::array<Constructor, 1> kProg{{{"Prog", true}}};
constexpr std::array<Constructor, 1> kFuncDef{{{"FuncDef", true}}};
constexpr std::array<Constructor, 1> kVarDef{{{"VarDef", true}}};
constexpr std::array<Constructor, 2> kLocalDef{{{"LFunc", true}, {"LVar", true}}};
constexpr std::array<Constructor, 2> kType{{{"TPrim", true}, {"TArr", true}}};
constexpr std::array<Constructor, 2> kRetType{{{"Rnothing", false}, {"Rtype", true}}};
constexpr std::array<Constructor, 8> kStmt{{{"Sassign", true},
                                            {"Sskip", false},
                                            {"Sblock", true},
                                            {"Scall", true},
                                            {"Sif", true},
                                            {"Sifelse", true},
                                            {"Swhile", true},
                                            {"Sreturn", true}}};
constexpr std::array<Constructor, 2> kExprOpt{{{"EOnone", false}, {"EOexpr", true}}};
constexpr std::array<Constructor, 7> kExpr{{{"Enum", true},
                                            {"Echar", true},
                                            {"Elval", true},
                                            {"Eunop", true},
                                            {"Ebinop", true},
                                            {"Ecall", true},
                                            {"Eparen", true}}};
constexpr std::array<Constructor, 5> kCond{
    {{"Btrue", false}, {"Bfalse", false}, {"Brelop", true}, {"Blogop", true}, {"Bnot", true}}};
constexpr std::array<Constructor, 3> kLValue{{{"LPrim", true}, {"LArr", true}, {"Lstr", true}}};

constexpr std::array<std::string_view, 2> kPassMode{"ByVal", "ByRef"};
constexpr std::array<std::string_view, 2> kDataType{"Dinteger", "Dbyte"};
constexpr std::array<std::string_view, 3> kUnOp{"UOplus", "UOminus", "UOarrsz"};
constexpr std::array<std::string_view, 13> kBinOp{"BOplus", "BOminus", "BOtimes", "BOdiv", "BOmod",
                                                  "BOeq",   "BOne",    "BOlt",    "BOgt",  "BOle",
                                                  "BOge",   "BOand",   "BOor"};
constexpr std::array<std::string_view, 6> kRelOp{"ROeq", "ROne", "ROlt", "ROgt", "ROle", "ROge"};
constexpr std::array<std::string_view, 2> kLogOp{"LOand", "LOor"};

bool isIdentifier(std::string_view s) {
  auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (s.empty() || !letter(s[0])) return false;
  for (char c : s.substr(1))
    if (!letter(c) && !digit(c) && c != '_') return false;
  return true;
}

// Type-directed recursive descent. `read` takes a value of a type with any redundant parentheses
// around it; `core` takes the value itself. Every function returns nothing on malformed text.
class Reader {
 public:
  explicit Reader(std::string_view text) : scan_(text) {}

  std::optional<Prog> prog() { return read(Tag<Prog>{}, Position::Value); }

 private:
  template <class Field>
  std::optional<ValueOf<Field>> read(Tag<Field> field, Position position) {
    if (depth_ == kMaxDepth) return std::nullopt;
    ++depth_;
    std::size_t opens = scan_.acceptOpens();
    auto value = core(field, opens > 0 ? Position::Value : position);
    --depth_;
    if (!value || !scan_.acceptCloses(opens)) return std::nullopt;
    return value;
  }

  // Param and FuncCall are plain tuples: their own parentheses come first.
  std::optional<Param> read(Tag<Param>, Position) {
    return tuple<Param, NameField, Type, PassMode>();
  }
  std::optional<FuncCall> read(Tag<FuncCall>, Position) {
    return tuple<FuncCall, NameField, std::vector<Expr>>();
  }

  // A tuple in its parentheses, built into `T`. The opening parentheses cannot be told apart from
  // redundant ones around the tuple or around its first component until the first component has
  // been read: those that close before the first "," belong to the component, the innermost one
  // left open is the tuple's own, and the others must close after it.
  template <class T, class First, class... Rest>
  std::optional<T> tuple() {
    std::size_t opens = scan_.acceptOpens();
    if (opens == 0) return std::nullopt;
    auto first = core(Tag<First>{}, Position::Value);
    if (!first) return std::nullopt;
    std::size_t outer = opens - 1 - scan_.acceptClosesUpTo(opens - 1);
    auto rest = components<Rest...>();
    if (!rest || !scan_.accept(')') || !scan_.acceptCloses(outer)) return std::nullopt;
    return std::apply(
        [&](auto&... more) {
          return T{std::move(*first), std::move(more)...};
        },
        *rest);
  }

  // The components after the first, each preceded by ",".
  template <class Head, class... Tail>
  std::optional<std::tuple<ValueOf<Head>, ValueOf<Tail>...>> components() {
    if (!scan_.accept(',')) return std::nullopt;
    auto head = read(Tag<Head>{}, Position::Value);
    if (!head) return std::nullopt;
    if constexpr (sizeof...(Tail) == 0) {
      return std::tuple<ValueOf<Head>>{std::move(*head)};
    } else {
      auto tail = components<Tail...>();
      if (!tail) return std::nullopt;
      return std::tuple_cat(std::tuple<ValueOf<Head>>{std::move(*head)}, std::move(*tail));
    }
  }

  // A constructor whose one field is not a tuple: the field as an argument.
  template <class T, class Field>
  std::optional<T> field() {
    auto value = read(Tag<Field>{}, Position::Argument);
    if (!value) return std::nullopt;
    return T{std::move(*value)};
  }

  // The index of the next constructor name in `constructors`.
  template <std::size_t N>
  std::optional<std::size_t> constructor(const std::array<Constructor, N>& constructors,
                                         Position position) {
    std::string_view name = scan_.constructorName();
    for (std::size_t i = 0; i < N; ++i) {
      if (constructors[i].name != name) continue;
      if (constructors[i].hasField && position == Position::Argument) return std::nullopt;
      return i;
    }
    return std::nullopt;
  }

  // A member of an enumeration, named as it is declared.
  template <class E, std::size_t N>
  std::optional<E> enumerator(const std::array<std::string_view, N>& names) {
    std::string_view name = scan_.constructorName();
    for (std::size_t i = 0; i < N; ++i)
      if (names[i] == name) return static_cast<E>(i);
    return std::nullopt;
  }

  std::optional<std::int32_t> core(Tag<std::int32_t>, Position) { return scan_.integer(); }
  std::optional<Text> core(Tag<TextField>, Position) { return scan_.string(); }
  std::optional<Text> core(Tag<CharField>, Position) {
    auto text = scan_.string();
    if (!text || text->size() != 1) return std::nullopt;
    return text;
  }
  std::optional<Name> core(Tag<NameField>, Position) {
    auto name = scan_.string();
    if (!name || !isIdentifier(*name)) return std::nullopt;
    return name;
  }

  template <class Element>
  std::optional<std::vector<Element>> core(Tag<std::vector<Element>>, Position) {
    if (!scan_.accept('[')) return std::nullopt;
    std::vector<Element> elements;
    if (scan_.accept(']')) return elements;
    do {
      auto element = read(Tag<Element>{}, Position::Value);
      if (!element) return std::nullopt;
      elements.push_back(std::move(*element));
    } while (scan_.accept(','));
    if (!scan_.accept(']')) return std::nullopt;
    return elements;
  }

  std::optional<PassMode> core(Tag<PassMode>, Position) { return enumerator<PassMode>(kPassMode); }
  std::optional<DataType> core(Tag<DataType>, Position) { return enumerator<DataType>(kDataType); }
  std::optional<UnOp> core(Tag<UnOp>, Position) { return enumerator<UnOp>(kUnOp); }
  std::optional<BinOp> core(Tag<BinOp>, Position) { return enumerator<BinOp>(kBinOp); }
  std::optional<RelOp> core(Tag<RelOp>, Position) { return enumerator<RelOp>(kRelOp); }
  std::optional<LogOp> core(Tag<LogOp>, Position) { return enumerator<LogOp>(kLogOp); }

  std::optional<Prog> core(Tag<Prog>, Position position) {
    if (!constructor(kProg, position)) return std::nullopt;
    return field<Prog, FuncDef>();
  }

  std::optional<FuncDef> core(Tag<FuncDef>, Position position) {
    if (!constructor(kFuncDef, position)) return std::nullopt;
    return tuple<FuncDef, NameField, RetType, std::vector<Param>, std::vector<LocalDef>, Stmt>();
  }

  std::optional<VarDef> core(Tag<VarDef>, Position position) {
    if (!constructor(kVarDef, position)) return std::nullopt;
    return tuple<VarDef, Type, NameField, std::int32_t>();
  }

  std::optional<LocalDef> core(Tag<LocalDef>, Position position) {
    switch (constructor(kLocalDef, position).value_or(kNoConstructor)) {
      case 0:
        return field<LFunc, FuncDef>();
      case 1:
        return field<LVar, VarDef>();
    }
    return std::nullopt;
  }

  std::optional<Type> core(Tag<Type>, Position position) {
    switch (constructor(kType, position).value_or(kNoConstructor)) {
      case 0:
        return field<TPrim, DataType>();
      case 1:
        return field<TArr, Type>();
    }
    return std::nullopt;
  }

  std::optional<RetType> core(Tag<RetType>, Position position) {
    switch (constructor(kRetType, position).value_or(kNoConstructor)) {
      case 0:
        return Rnothing{};
      case 1:
        return field<Rtype, Type>();
    }
    return std::nullopt;
  }

  std::optional<Stmt> core(Tag<Stmt>, Position position) {
    switch (constructor(kStmt, position).value_or(kNoConstructor)) {
      case 0:
        return tuple<Sassign, LValue, Expr>();
      case 1:
        return Sskip{};
      case 2:
        return field<Sblock, std::vector<Stmt>>();
      case 3:
        return field<Scall, FuncCall>();
      case 4:
        return tuple<Sif, Cond, Stmt>();
      case 5:
        return tuple<Sifelse, Cond, Stmt, Stmt>();
      case 6:
        return tuple<Swhile, Cond, Stmt>();
      case 7:
        return field<Sreturn, ExprOpt>();
    }
    return std::nullopt;
  }

  std::optional<ExprOpt> core(Tag<ExprOpt>, Position position) {
    switch (constructor(kExprOpt, position).value_or(kNoConstructor)) {
      case 0:
        return EOnone{};
      case 1:
        return field<EOexpr, Expr>();
    }
    return std::nullopt;
  }

  std::optional<Expr> core(Tag<Expr>, Position position) {
    switch (constructor(kExpr, position).value_or(kNoConstructor)) {
      case 0:
        return field<Enum, std::int32_t>();
      case 1:
        return field<Echar, CharField>();
      case 2:
        return field<Elval, LValue>();
      case 3:
        return tuple<Eunop, UnOp, Expr>();
      case 4:
        return tuple<Ebinop, BinOp, Expr, Expr>();
      case 5:
        return field<Ecall, FuncCall>();
      case 6:
        return field<Eparen, Expr>();
    }
    return std::nullopt;
  }

  std::optional<Cond> core(Tag<Cond>, Position position) {
    switch (constructor(kCond, position).value_or(kNoConstructor)) {
      case 0:
        return Btrue{};
      case 1:
        return Bfalse{};
      case 2:
        return tuple<Brelop, RelOp, Expr, Expr>();
      case 3:
        return tuple<Blogop, LogOp, Cond, Cond>();
      case 4:
        return field<Bnot, Cond>();
    }
    return std::nullopt;
  }

  std::optional<LValue> core(Tag<LValue>, Position position) {
    switch (constructor(kLValue, position).value_or(kNoConstructor)) {
      case 0:
        return field<LPrim, NameField>();
      case 1:
        return tuple<LArr, NameField, Expr>();
      case 2:
        return field<Lstr, TextField>();
    }
    return std::nullopt;
  }

  TextScanner scan_;
  std::size_t depth_ = 0;
};

}  // namespace

std::optional<Prog> readProg(std::string_view text) {
  return Reader(text).prog();
}

}  // namespace vrel::ast
