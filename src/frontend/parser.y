%{
// The Vrel grammar. The parser builds the program's syntax tree bottom-up and writes its AST text
// as soon as the main function's closing brace is read. Two parsers are generated from it: the
// plain one (vrel_yy), and the located one (vrel_located_yy), which bison is told to give places
// and look-ahead correction, and which is compiled with VREL_LOCATED_PARSER.
#include <array>
#include <string_view>
#include <vector>

#include "frontend/error_reporter.h"
#include "frontend/lexer.h"
#include "frontend/program_output.h"
#include "frontend/syntax_error.h"

using namespace vrel::frontend;

int yylex();
void yyerror(const char* message);

namespace {

using K = NodeKind;

#ifdef VREL_LOCATED_PARSER
// The span of the rule being reduced, from its first symbol to its last, and from its first to
// the one before its last (a statement without its ";").
vrel::SourceSpan reduced;
vrel::SourceSpan reduced_but_last;

// Spans are kept only when positions go beside the AST text; a parse without them pays a test.
[[gnu::noinline]] void keep_span(NodeId id, vrel::SourceSpan span) {
  program_tree.set_span(id, span);
}

NodeId node_spanning(vrel::SourceSpan span, NodeKind kind, std::initializer_list<NodeId> children,
                     TextId text) {
  NodeId id = program_tree.add(kind, children, text);
  if (__builtin_expect(program_tree.keeps_spans(), 0)) keep_span(id, span);
  return id;
}

NodeId node(NodeKind kind, std::initializer_list<NodeId> children = {}, TextId text = 0) {
  return node_spanning(reduced, kind, children, text);
}

NodeId node_before_semicolon(NodeKind kind, std::initializer_list<NodeId> children,
                             TextId text = 0) {
  return node_spanning(reduced_but_last, kind, children, text);
}
#else
NodeId node(NodeKind kind, std::initializer_list<NodeId> children = {}, TextId text = 0) {
  return program_tree.add(kind, children, text);
}

NodeId node_before_semicolon(NodeKind kind, std::initializer_list<NodeId> children,
                             TextId text = 0) {
  return program_tree.add(kind, children, text);
}
#endif

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
#define YYMALLOC parser_stack_allocate
#define YYFREE parser_stack_free
#define YYLLOC_DEFAULT(Current, Rhs, N)                                               \
  do {                                                                                \
    if (N) {                                                                          \
      (Current).begin = YYRHSLOC(Rhs, 1).begin;                                       \
      (Current).end = YYRHSLOC(Rhs, N).end;                                           \
      reduced_but_last = {(Current).begin, YYRHSLOC(Rhs, (N) > 1 ? (N) - 1 : 1).end}; \
    } else {                                                                          \
      (Current).begin = (Current).end = YYRHSLOC(Rhs, 0).end;                         \
      reduced_but_last = (Current);                                                   \
    }                                                                                 \
    reduced = (Current);                                                              \
  } while (0)
%}

%code requires {
#include "frontend/parser_support.h"
}

%define api.prefix {vrel_yy}
%define api.value.type {ParserValue}

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
      $$ = node_before_semicolon(K::kVarArray, {$3, node(K::kSize, {}, $5)}, $1);
    }
  | T_ID ':' data_type ';'  { $$ = node_before_semicolon(K::kVarScalar, {$3}, $1); }
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
  | l_value '=' expr ';'                  { $$ = node_before_semicolon(K::kSassign, {$1, $3}); }
  | func_call ';'                         { $$ = call_as(K::kScall, $1); }
  | T_IF '(' cond ')' stmt                { $$ = node(K::kSif, {$3, $5}); }
  | T_IF '(' cond ')' stmt T_ELSE stmt    { $$ = node(K::kSifelse, {$3, $5, $7}); }
  | T_WHILE '(' cond ')' stmt             { $$ = node(K::kSwhile, {$3, $5}); }
  | T_RETURN expr ';'                     { $$ = node_before_semicolon(K::kSreturn, {$2}); }
  | T_RETURN ';'                          { $$ = node_before_semicolon(K::kSreturnNone, {}); }
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

#ifdef VREL_LOCATED_PARSER
// The scanner's token, with its place; where it ends is kept, for a ";" found missing after it.
int yylex() {
  int code = vrel_yylex();
  vrel::SourceSpan span = vrel_token_span(code);
  yylval = vrel_yylval;
  yylloc = {span.begin, span.end};
  scan.previous_end = scan.last_end;
  scan.last_end = span.end;
  return code;
}

void yyerror(const char* message) {
  // The skeleton calls a full stack "memory exhausted"; the stack allocator never fails silently.
  if (std::string_view(message) == "memory exhausted") {
    report_error("parser stack overflow", nesting_too_deep(yylloc));
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
#else
void yyerror(const char* message) {
  report_error(std::string_view(message) == "memory exhausted" ? "parser stack overflow" : message);
}
#endif
