// What the two parsers generated from parser.y share. The plain parser keeps no places and is
// the one a compilation runs when no message shows a place; the located parser keeps the span of
// every symbol and corrects its look-ahead, so that a syntax error lists exactly the tokens that
// could have followed. Both read the one scanner's tokens.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frontend/syntax_tree.h"
#include "support/source_location.h"

// The value of a symbol on either parser's stacks: plain integers, so the stacks can grow.
union ParserValue {
  vrel::frontend::TextId text;
  vrel::frontend::NodeId node;
};

// The place of a symbol on the located parser's stacks: its span of the source. It is copied as
// bytes when the stacks grow; the skeleton starts it with four numbers, which say nothing here.
struct ParserPlace : vrel::SourceSpan {
  ParserPlace() = default;
  constexpr ParserPlace(std::uint64_t begin, std::uint64_t end) : vrel::SourceSpan{begin, end} {}
  constexpr ParserPlace(std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t) {}
};
#define VREL_LOCATED_YYLTYPE_IS_TRIVIAL 1

// The value of the token the scanner returned last (the plain parser's look-ahead value).
extern ParserValue vrel_yylval;

int vrel_yyparse();
int vrel_located_yyparse();

// The parsers' stacks start at 200 entries and double up to 10000; past the first 200 they live
// on the heap. These blocks are remembered, so that a parse left by an exception frees them.
void* parser_stack_allocate(std::size_t size);
void parser_stack_free(void* block);
// Frees the parsers' stacks if a parse was left by an exception.
void vrel_parser_release();
