// The scanner generated from lexer.l; token codes come from parser.hpp, the token value goes to
// vrel_yylval (frontend/parser_support.h).
#pragma once

#include "support/source_location.h"

// The text of the token returned last.
extern char* vrel_yytext;
extern int vrel_yyleng;

// Returns the next token's code (0 at end of input); a token with text leaves it in vrel_yylval.
int vrel_yylex();
// The span of the token returned last, whose code was `code` (the end of the input for 0).
vrel::SourceSpan vrel_token_span(int code);
// Frees the scanner's buffers and returns it to its initial state.
int vrel_yylex_destroy();
// Makes the scanner start afresh on a new source: buffers freed, normal state, and a byte-order
// mark skipped if the source begins with one.
void vrel_lexer_start();
