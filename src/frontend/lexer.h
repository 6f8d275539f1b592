// The scanner generated from lexer.l; token codes and the token value come from parser.hpp.
#pragma once

// The text of the token returned last.
extern char* vrel_yytext;
extern int vrel_yyleng;

// Returns the next token's code (0 at end of input); a token with text leaves it in vrel_yylval.
int vrel_yylex();
// Frees the scanner's buffers and returns it to its initial state.
int vrel_yylex_destroy();
// Makes the scanner start afresh on a new source: buffers freed, normal state, and a byte-order
// mark skipped if the source begins with one.
void vrel_lexer_start();
