%{
// The Vrel grammar. The parser builds the program's syntax tree bottom-up and writes its AST text
// as soon as the main function's closing brace is read.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <new>
#include <string_view>
#include <vector>

#include "frontend/error_reporter.h"
#include "frontend/lexer.h"
#include "frontend/program_output.h"
#include "frontend/syntax_error.h"

using namespace vrel::frontend;

void vrel_yyerror(const char* message);

namespace {

using K = NodeKind;

// The parser's stacks start at 200 entries and double up to 10000; the 10000th entry overflows.
// Past the first 200 they live on the heap, at most two blocks at a time (the old one while it is
// copied), and so does the stack of the look-ahead check; they are remembered so that a parse
// left by an exception frees them as well.
std::array<void*, 4> heap_stacks{};

void* allocate_stack(std::size_t size) {
  void* block = std::malloc(size);
  if (block == nullptr) throw std::bad_alloc();
  *std::find(heap_stacks.begin(), heap_stacks.end(), nullptr) = block;
  return block;
}

void free_stack(void* block) {
  *std::find(heap_stacks.begin(), heap_stacks.end(), block) = nullptr;
  std::free(block);
}

// The span of the rule being reduced, from its first symbol to its last.
vrel::SourceSpan reduced;

NodeId node(NodeKind kind, std::initializer_list<NodeId> children = {}, TextId text = 0) {
  NodeId id = program_tree.add(kind, children, text);
  if (program_tree.keeps_spans()) program_tree.set_span(id, reduced);
  return id;
}

// A node whose span is not the whole rule's (a statement without its ";").
NodeId node_over(vrel::SourceSpan span, NodeKind kind, std::initializer_list<NodeId> children,
                 TextId text = 0) {
  NodeId id = program_tree.add(kind, children, text);
  if (program_tree.keeps_spans()) program_tree.set_span(id, span);
  return id;
}

vrel::SourceSpan from_to(const vrel::SourceSpan& first, const vrel::SourceSpan& last) {
  return {first.begin, last.end};
}

// An l-value used as an expression: its node becomes the "Elval(" form of itself.
NodeId lvalue_expr(NodeId lvalue) {
  switch (program_tree[lvalue].node_kind()) {
    case K::kLPrim:
      program_tree.set_kind(lvalue, K::kElvalPrim);
      break;
    case K::kLArr:
      program_tree.set_kind(lvalue, K::kElvalArr);
      break;
    default:
      program_tree.set_kind(lvalue, K::kElvalStr);
      break;
  }
  return lvalue;
}

// A call used as a statement or an expression.
NodeId call_as(NodeKind kind, NodeId call) {
  program_tree.set_kind(call, kind);
  return call;
}

}  // namespace

#define YYINITDEPTH 200
#define YYMAXDEPTH 10000
#define YYMALLOC allocate_stack
#define YYFREE free_stack
#define YYLLOC_DEFAULT(Current, Rhs, N)                       \
  do {                                                        \
    if (N) {                                                  \
      (Current).begin = YYRHSLOC(Rhs, 1).begin;               \
      (Current).end = YYRHSLOC(Rhs, N).end;                   \
    } else {                                                  \
      (Current).begin = (Current).end = YYRHSLOC(Rhs, 0).end; \
    }                                                         \
    reduced = (Current);                                      \
  } while (0)
%}

%code requires {
#include <cstdint>

#include "frontend/syntax_tree.h"
#include "support/source_location.h"

// The place of a symbol on the parser's stacks: its span of the source. It is copied as bytes
// when the stacks grow; the skeleton starts it with four numbers, which say nothing here.
struct ParserPlace : vrel::SourceSpan {
  ParserPlace() = default;
  constexpr ParserPlace(std::uint64_t begin, std::uint64_t end) : vrel::SourceSpan{begin, end} {}
  constexpr ParserPlace(std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t) {}
};
#define VREL_YYLTYPE_IS_TRIVIAL 1
}

%code provides {
// Frees the parser's stacks if a parse was left by an exception.
void vrel_parser_release();
}

%define api.prefix {vrel_yy}
%define api.location.type {ParserPlace}
%locations
/* A syntax error names the tokens that could have come instead: exactly those, as the look-ahead
   check leaves no default reduction unchecked. */
%define parse.error custom
%define parse.lac full

/* Plain integers keep the value type trivial, so the stacks can grow. */
%union {
  vrel::frontend::TextId text;
  vrel::frontend::NodeId node;
}

%token T_BYTE 258 "byte"
%token T_ELSE 259 "else"
%token T_FALSE 260 "false"
%token T_IF 261 "if"
%token T_INT 262 "int"
%token T_PROC 263 "proc"
%token T_REFERENCE 264 "reference"
%token T_RETURN 265 "return"
%token T_TRUE 266 "true"
%token T_WHILE 267 "while"
%token <text> T_ID 268
%token <text> T_NUMBER 269
%token <text> T_STRING 270
%token <text> T_CHAR 271
%token T_LE 272 "<="
%token T_GE 273 ">="
%token T_NE 274 "!="
%token T_EQ 275 "=="
%token T_UNARY 276

%left '|'
%left '&'
%nonassoc T_EQ T_NE '<' '>' T_LE T_GE
%left '+' '-'
%left '*' '/' '%'
%precedence '!' T_UNARY

/* The dangling else: shifting attaches it to the nearest if. */
%expect 1

%type <node> func_def fpar_list_opt fpar_list fpar_def r_type local_def_list_opt local_def_list
%type <node> local_def var_def type data_type compound_stmt stmt_list_opt stmt_list stmt expr cond
%type <node> l_value func_call expr_list_opt expr_list

%start program

%%

program
  : func_def {
      if (!write_program(node(K::kProg, {$1}))) YYABORT;
    }
  ;

func_def
  : T_ID '(' fpar_list_opt ')' ':' r_type local_def_list_opt compound_stmt {
      $$ = node(K::kFuncDef, {$6, $3, $7, $8}, $1);
    }
  ;

fpar_list_opt
  : %empty      { $$ = node(K::kEmptyList); }
  | fpar_list   { $$ = program_tree.add_over(K::kList, $1); }
  ;

fpar_list
  : fpar_def                { $$ = $1; }
  | fpar_def ',' fpar_list  { $$ = program_tree.prepend($1, $3); }
  ;

fpar_def
  : T_ID ':' type               { $$ = node(K::kParamByVal, {$3}, $1); }
  | T_ID ':' T_REFERENCE type   { $$ = node(K::kParamByRef, {$4}, $1); }
  ;

r_type
  : type    { $$ = node(K::kRtype, {$1}); }
  | T_PROC  { $$ = node(K::kRnothing); }
  ;

local_def_list_opt
  : %empty          { $$ = node(K::kEmptyList); }
  | local_def_list  { $$ = program_tree.add_over(K::kList, $1); }
  ;

local_def_list
  : local_def                 { $$ = $1; }
  | local_def local_def_list  { $$ = program_tree.prepend($1, $2); }
  ;

local_def
  : var_def   { $$ = node(K::kLVar, {$1}); }
  | func_def  { $$ = node(K::kLFunc, {$1}); }
  ;

var_def
  : T_ID ':' data_type '[' T_NUMBER ']' ';'  {
      $$ = node_over(from_to(@1, @6), K::kVarArray, {$3, node(K::kSize, {}, $5)}, $1);
    }
  | T_ID ':' data_type ';'  { $$ = node_over(from_to(@1, @3), K::kVarScalar, {$3}, $1); }
  ;

type
  : data_type     { $$ = node(K::kTPrim, {$1}); }
  | type '[' ']'  { $$ = node(K::kTArr, {$1}); }
  ;

data_type
  : T_INT   { $$ = node(K::kDinteger); }
  | T_BYTE  { $$ = node(K::kDbyte); }
  ;

compound_stmt
  : '{' stmt_list_opt '}'  { $$ = node(K::kSblock, {$2}); }
  ;

stmt_list_opt
  : %empty     { $$ = node(K::kEmptyList); }
  | stmt_list  { $$ = program_tree.add_over(K::kList, $1); }
  ;

stmt_list
  : stmt            { $$ = $1; }
  | stmt stmt_list  { $$ = program_tree.prepend($1, $2); }
  ;

stmt
  : ';'                                   { $$ = node(K::kSskip); }
  | l_value '=' expr ';'                  { $$ = node_over(from_to(@1, @3), K::kSassign, {$1, $3}); }
  | func_call ';'                         { $$ = call_as(K::kScall, $1); }
  | T_IF '(' cond ')' stmt                { $$ = node(K::kSif, {$3, $5}); }
  | T_IF '(' cond ')' stmt T_ELSE stmt    { $$ = node(K::kSifelse, {$3, $5, $7}); }
  | T_WHILE '(' cond ')' stmt             { $$ = node(K::kSwhile, {$3, $5}); }
  | T_RETURN expr ';'                     { $$ = node_over(from_to(@1, @2), K::kSreturn, {$2}); }
  | T_RETURN ';'                          { $$ = node_over(@1, K::kSreturnNone, {}); }
  | compound_stmt                         { $$ = $1; }
  ;

expr
  : T_NUMBER                    { $$ = node(K::kEnum, {}, $1); }
  | T_CHAR                      { $$ = node(K::kEchar, {}, $1); }
  | l_value                     { $$ = lvalue_expr($1); }
  | func_call                   { $$ = call_as(K::kEcall, $1); }
  | '(' expr ')'                { $$ = node(K::kEparen, {$2}); }
  | '+' expr %prec T_UNARY      { $$ = node(K::kEunopPlus, {$2}); }
  | '-' expr %prec T_UNARY      { $$ = node(K::kEunopMinus, {$2}); }
  | expr '+' expr               { $$ = node(K::kEbinopPlus, {$1, $3}); }
  | expr '-' expr               { $$ = node(K::kEbinopMinus, {$1, $3}); }
  | expr '*' expr               { $$ = node(K::kEbinopTimes, {$1, $3}); }
  | expr '/' expr               { $$ = node(K::kEbinopDiv, {$1, $3}); }
  | expr '%' expr               { $$ = node(K::kEbinopMod, {$1, $3}); }
  ;

cond
  : T_TRUE              { $$ = node(K::kBtrue); }
  | T_FALSE             { $$ = node(K::kBfalse); }
  | '(' cond ')'        { $$ = node(K::kNest, {$2}); }
  | expr T_EQ expr      { $$ = node(K::kBrelopEq, {$1, $3}); }
  | expr T_NE expr      { $$ = node(K::kBrelopNe, {$1, $3}); }
  | expr '<' expr       { $$ = node(K::kBrelopLt, {$1, $3}); }
  | expr '>' expr       { $$ = node(K::kBrelopGt, {$1, $3}); }
  | expr T_LE expr      { $$ = node(K::kBrelopLe, {$1, $3}); }
  | expr T_GE expr      { $$ = node(K::kBrelopGe, {$1, $3}); }
  | '!' cond            { $$ = node(K::kBnot, {$2}); }
  | cond '&' cond       { $$ = node(K::kBlogopAnd, {$1, $3}); }
  | cond '|' cond       { $$ = node(K::kBlogopOr, {$1, $3}); }
  ;

l_value
  : T_ID                    { $$ = node(K::kLPrim, {}, $1); }
  | T_ID '[' expr ']'       { $$ = node(K::kLArr, {$3}, $1); }
  | T_STRING                { $$ = node(K::kLstr, {}, $1); }
  ;

func_call
  : T_ID '(' expr_list_opt ')'  { $$ = node(K::kCall, {$3}, $1); }
  ;

expr_list_opt
  : %empty      { $$ = node(K::kEmptyList); }
  | expr_list   { $$ = program_tree.add_over(K::kList, $1); }
  ;

expr_list
  : expr                { $$ = $1; }
  | expr ',' expr_list  { $$ = program_tree.prepend($1, $3); }
  ;

%%

void vrel_yyerror(const char* message) {
  // The skeleton calls a full stack "memory exhausted"; the stack allocator never fails silently.
  if (std::string_view(message) == "memory exhausted") {
    report_error("parser stack overflow", nesting_too_deep(vrel_yylloc));
  } else {
    report_error(message);
  }
}

// Called by the parser with the look-ahead token that does not fit and the tokens that could
// have stood in its place.
static int yyreport_syntax_error(const yypcontext_t* context) {
  std::array<yysymbol_kind_t, YYNTOKENS> expected{};
  int count = yypcontext_expected_tokens(context, expected.data(), YYNTOKENS);
  std::vector<std::string_view> names;
  for (int i = 0; i < count; ++i) names.emplace_back(yysymbol_name(expected[i]));
  yysymbol_kind_t found = yypcontext_token(context);
  std::string_view text = found == YYSYMBOL_YYEOF ? std::string_view()
                                                  : std::string_view(vrel_yytext, vrel_yyleng);
  report_error("syntax error",
               syntax_error(yysymbol_name(found), text, *yypcontext_location(context), names));
  return 0;
}

void vrel_parser_release() {
  for (void*& block : heap_stacks) {
    std::free(block);
    block = nullptr;
  }
}
