// The node templates of AST text, one builder per shape. Each returns a fresh fragment that links
// (never copies) the child fragments it is given.
#pragma once

#include <string_view>

#include "frontend/text_buffer.h"

namespace vrel::frontend {

// One line: "Sskip", "Dbyte", "Rnothing", "Btrue", "[]", "Sreturn(EOnone)", ...
TextBuffer* frag_leaf(std::string_view line);
// `head`, the field one level in, `tail`: "Sblock(", "TPrim(", "Eunop(UOminus,", ...
TextBuffer* frag_wrap(std::string_view head, const TextBuffer& field, std::string_view tail = ")");
// `head`, the two fields one level in separated by ",", ")": "Sassign(", "Ebinop(BOplus,", ...
TextBuffer* frag_pair(std::string_view head, const TextBuffer& first, const TextBuffer& second);
// `head`, three fields one level in separated by ",", ")": "Sifelse(".
TextBuffer* frag_triple(std::string_view head, const TextBuffer& first, const TextBuffer& second,
                        const TextBuffer& third);
// `head`, the token's text quoted one level in, ")": "LPrim(", "Echar(", "Lstr(".
TextBuffer* frag_quoted(std::string_view head, const TextBuffer& token);
// "Enum(", the digits as written one level in, ")".
TextBuffer* frag_number(const TextBuffer& digits);
// "LArr(", the quoted name, ",", the index, ")".
TextBuffer* frag_indexed(const TextBuffer& name, const TextBuffer& index);
// The call tuple without an opening line: quoted name, ",", argument list.
TextBuffer* frag_call(const TextBuffer& name, const TextBuffer& arguments);
// "FuncDef(" with name, result, parameters, locals and body in that order.
TextBuffer* frag_func_def(const TextBuffer& name, const TextBuffer& result,
                          const TextBuffer& parameters, const TextBuffer& locals,
                          const TextBuffer& body);
// The parameter tuple; `mode` is "ByVal" or "ByRef".
TextBuffer* frag_param(const TextBuffer& name, const TextBuffer& type, std::string_view mode);
// A scalar variable (size 0) when `size` is null, else a one-dimensional array of that size.
TextBuffer* frag_var_def(const TextBuffer& data_type, const TextBuffer& name,
                         const TextBuffer* size);
// A fragment one level deeper and otherwise unchanged (a parenthesised condition).
TextBuffer* frag_nest(const TextBuffer& inner);

// Lists are built from the last element backwards: `frag_list_first` makes the elements of a
// one-element list, `frag_list_cons` puts one more in front, `frag_list_close` adds the brackets.
TextBuffer* frag_list_first(const TextBuffer& element);
TextBuffer* frag_list_cons(const TextBuffer& element, TextBuffer& rest);
TextBuffer* frag_list_close(TextBuffer& elements);

}  // namespace vrel::frontend
