// The scanner generated from lexer.l; token codes and the token value come from parser.hpp.
#pragma once

#include <cstdio>

extern std::FILE* vrel_yyin;

// Returns the next token's code (0 at end of input); a token with text leaves it in vrel_yylval.
int vrel_yylex();
// Frees the scanner's buffers and returns it to its initial state for the next input.
int vrel_yylex_destroy();
