// AST text under construction. A fragment is a chain of pieces: a line, a quoted line, or a whole
// child fragment nested some levels deeper. Children are linked in, never copied, and the text is
// laid out once by the writer, so building and writing a program costs time linear in its text.
// Buffers, pieces and token texts live in one process-wide arena, freed together.
#pragma once

#include <cstddef>
#include <string_view>

namespace vrel::frontend {

struct TextBuffer;

enum class PieceKind : unsigned char { kLine, kQuoted, kNested };

struct Piece {
  Piece* next;
  PieceKind kind;
  unsigned char level;      // indentation relative to the fragment, in steps of two spaces
  std::string_view text;    // line and quoted pieces
  const TextBuffer* child;  // nested pieces
};

struct TextBuffer {
  std::string_view text;  // a token's bytes, escapes undecoded; empty for a fragment
  Piece* first = nullptr;
  Piece* last = nullptr;
};

// A fresh empty fragment.
TextBuffer* buf_new();
// A fresh buffer holding a copy of `size` token bytes (NUL bytes included).
TextBuffer* buf_token(const char* bytes, std::size_t size);

// The texts below must outlive the buffer: string literals or token texts.
// Appends 2*level spaces, `text` and a newline.
void buf_add_line(TextBuffer& buf, int level, std::string_view text);
// Appends 2*level spaces, `text` between double quotes and a newline.
void buf_add_quoted(TextBuffer& buf, int level, std::string_view text);
// Appends every line of `child` with 2*level more spaces in front.
void buf_add_nested(TextBuffer& buf, int level, const TextBuffer& child);
// Moves the lines of `tail` to the end of `buf`, leaving `tail` empty.
void buf_append(TextBuffer& buf, TextBuffer& tail);

// Frees every buffer, piece and token text made so far.
void buf_release_all();

}  // namespace vrel::frontend
