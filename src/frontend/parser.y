%{
// The Vrel grammar. Every symbol carries an AST text fragment; the start production writes the
// whole program as soon as the main function's closing brace is read.
#include <cstdlib>
#include <string_view>

#include "frontend/ast_fragments.h"
#include "frontend/error_reporter.h"
#include "frontend/lexer.h"
#include "frontend/out_of_memory.h"
#include "frontend/program_output.h"

using namespace vrel::frontend;

void vrel_yyerror(const char* message);

namespace {

// The parser's stacks start at 200 entries and double up to 10000; the 10000th entry overflows.
void* allocate_stack(std::size_t size) {
  void* block = std::malloc(size);
  if (block == nullptr) out_of_memory();
  return block;
}

}  // namespace

#define YYINITDEPTH 200
#define YYMAXDEPTH 10000
#define YYMALLOC allocate_stack
#define YYFREE std::free
%}

%code requires {
#include "frontend/text_buffer.h"
}

%define api.prefix {vrel_yy}

/* A plain pointer keeps the value type trivial, so the stacks can grow. */
%union {
  vrel::frontend::TextBuffer* buf;
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
%token <buf> T_ID 268
%token <buf> T_NUMBER 269
%token <buf> T_STRING 270
%token <buf> T_CHAR 271
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

%type <buf> func_def fpar_list_opt fpar_list fpar_def r_type local_def_list_opt local_def_list
%type <buf> local_def var_def type data_type compound_stmt stmt_list_opt stmt_list stmt expr cond
%type <buf> l_value func_call expr_list_opt expr_list

%start program

%%

program
  : func_def {
      if (!write_program(*frag_wrap("Prog(", *$1))) YYABORT;
    }
  ;

func_def
  : T_ID '(' fpar_list_opt ')' ':' r_type local_def_list_opt compound_stmt {
      $$ = frag_func_def(*$1, *$6, *$3, *$7, *$8);
    }
  ;

fpar_list_opt
  : %empty      { $$ = frag_leaf("[]"); }
  | fpar_list   { $$ = frag_list_close(*$1); }
  ;

fpar_list
  : fpar_def                { $$ = frag_list_first(*$1); }
  | fpar_def ',' fpar_list  { $$ = frag_list_cons(*$1, *$3); }
  ;

fpar_def
  : T_ID ':' type               { $$ = frag_param(*$1, *$3, "ByVal"); }
  | T_ID ':' T_REFERENCE type   { $$ = frag_param(*$1, *$4, "ByRef"); }
  ;

r_type
  : type    { $$ = frag_wrap("Rtype(", *$1); }
  | T_PROC  { $$ = frag_leaf("Rnothing"); }
  ;

local_def_list_opt
  : %empty          { $$ = frag_leaf("[]"); }
  | local_def_list  { $$ = frag_list_close(*$1); }
  ;

local_def_list
  : local_def                 { $$ = frag_list_first(*$1); }
  | local_def local_def_list  { $$ = frag_list_cons(*$1, *$2); }
  ;

local_def
  : var_def   { $$ = frag_wrap("LVar(", *$1); }
  | func_def  { $$ = frag_wrap("LFunc(", *$1); }
  ;

var_def
  : T_ID ':' data_type '[' T_NUMBER ']' ';'  { $$ = frag_var_def(*$3, *$1, $5); }
  | T_ID ':' data_type ';'                   { $$ = frag_var_def(*$3, *$1, nullptr); }
  ;

type
  : data_type     { $$ = frag_wrap("TPrim(", *$1); }
  | type '[' ']'  { $$ = frag_wrap("TArr(", *$1); }
  ;

data_type
  : T_INT   { $$ = frag_leaf("Dinteger"); }
  | T_BYTE  { $$ = frag_leaf("Dbyte"); }
  ;

compound_stmt
  : '{' stmt_list_opt '}'  { $$ = frag_wrap("Sblock(", *$2); }
  ;

stmt_list_opt
  : %empty     { $$ = frag_leaf("[]"); }
  | stmt_list  { $$ = frag_list_close(*$1); }
  ;

stmt_list
  : stmt            { $$ = frag_list_first(*$1); }
  | stmt stmt_list  { $$ = frag_list_cons(*$1, *$2); }
  ;

stmt
  : ';'                                   { $$ = frag_leaf("Sskip"); }
  | l_value '=' expr ';'                  { $$ = frag_pair("Sassign(", *$1, *$3); }
  | func_call ';'                         { $$ = frag_wrap("Scall(", *$1); }
  | T_IF '(' cond ')' stmt                { $$ = frag_pair("Sif(", *$3, *$5); }
  | T_IF '(' cond ')' stmt T_ELSE stmt    { $$ = frag_triple("Sifelse(", *$3, *$5, *$7); }
  | T_WHILE '(' cond ')' stmt             { $$ = frag_pair("Swhile(", *$3, *$5); }
  | T_RETURN expr ';'                     { $$ = frag_wrap("Sreturn(EOexpr(", *$2, "))"); }
  | T_RETURN ';'                          { $$ = frag_leaf("Sreturn(EOnone)"); }
  | compound_stmt                         { $$ = $1; }
  ;

expr
  : T_NUMBER                    { $$ = frag_number(*$1); }
  | T_CHAR                      { $$ = frag_quoted("Echar(", *$1); }
  | l_value                     { $$ = frag_wrap("Elval(", *$1); }
  | func_call                   { $$ = frag_wrap("Ecall(", *$1); }
  | '(' expr ')'                { $$ = frag_wrap("Eparen(", *$2); }
  | '+' expr %prec T_UNARY      { $$ = frag_wrap("Eunop(UOplus,", *$2); }
  | '-' expr %prec T_UNARY      { $$ = frag_wrap("Eunop(UOminus,", *$2); }
  | expr '+' expr               { $$ = frag_pair("Ebinop(BOplus,", *$1, *$3); }
  | expr '-' expr               { $$ = frag_pair("Ebinop(BOminus,", *$1, *$3); }
  | expr '*' expr               { $$ = frag_pair("Ebinop(BOtimes,", *$1, *$3); }
  | expr '/' expr               { $$ = frag_pair("Ebinop(BOdiv,", *$1, *$3); }
  | expr '%' expr               { $$ = frag_pair("Ebinop(BOmod,", *$1, *$3); }
  ;

cond
  : T_TRUE              { $$ = frag_leaf("Btrue"); }
  | T_FALSE             { $$ = frag_leaf("Bfalse"); }
  | '(' cond ')'        { $$ = frag_nest(*$2); }
  | expr T_EQ expr      { $$ = frag_pair("Brelop(ROeq,", *$1, *$3); }
  | expr T_NE expr      { $$ = frag_pair("Brelop(ROne,", *$1, *$3); }
  | expr '<' expr       { $$ = frag_pair("Brelop(ROlt,", *$1, *$3); }
  | expr '>' expr       { $$ = frag_pair("Brelop(ROgt,", *$1, *$3); }
  | expr T_LE expr      { $$ = frag_pair("Brelop(ROle,", *$1, *$3); }
  | expr T_GE expr      { $$ = frag_pair("Brelop(ROge,", *$1, *$3); }
  | '!' cond            { $$ = frag_wrap("Bnot(", *$2); }
  | cond '&' cond       { $$ = frag_pair("Blogop(LOand,", *$1, *$3); }
  | cond '|' cond       { $$ = frag_pair("Blogop(LOor,", *$1, *$3); }
  ;

l_value
  : T_ID                    { $$ = frag_quoted("LPrim(", *$1); }
  | T_ID '[' expr ']'       { $$ = frag_indexed(*$1, *$3); }
  | T_STRING                { $$ = frag_quoted("Lstr(", *$1); }
  ;

func_call
  : T_ID '(' expr_list_opt ')'  { $$ = frag_call(*$1, *$3); }
  ;

expr_list_opt
  : %empty      { $$ = frag_leaf("[]"); }
  | expr_list   { $$ = frag_list_close(*$1); }
  ;

expr_list
  : expr                { $$ = frag_list_first(*$1); }
  | expr ',' expr_list  { $$ = frag_list_cons(*$1, *$3); }
  ;

%%

void vrel_yyerror(const char* message) {
  // The skeleton calls a full stack "memory exhausted"; the stack allocator never fails silently.
  report_error(std::string_view(message) == "memory exhausted" ? "parser stack overflow" : message);
}
