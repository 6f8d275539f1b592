#include "frontend/ast_fragments.h"

namespace vrel::frontend {

TextBuffer* frag_leaf(std::string_view line) {
  TextBuffer* buf = buf_new();
  buf_add_line(*buf, 0, line);
  return buf;
}

TextBuffer* frag_wrap(std::string_view head, const TextBuffer& field, std::string_view tail) {
  TextBuffer* buf = buf_new();
  buf_add_line(*buf, 0, head);
  buf_add_nested(*buf, 1, field);
  buf_add_line(*buf, 0, tail);
  return buf;
}

TextBuffer* frag_pair(std::string_view head, const TextBuffer& first, const TextBuffer& second) {
  TextBuffer* buf = buf_new();
  buf_add_line(*buf, 0, head);
  buf_add_nested(*buf, 1, first);
  buf_add_line(*buf, 0, ",");
  buf_add_nested(*buf, 1, second);
  buf_add_line(*buf, 0, ")");
  return buf;
}

TextBuffer* frag_triple(std::string_view head, const TextBuffer& first, const TextBuffer& second,
                        const TextBuffer& third) {
  TextBuffer* buf = buf_new();
  buf_add_line(*buf, 0, head);
  buf_add_nested(*buf, 1, first);
  buf_add_line(*buf, 0, ",");
  buf_add_nested(*buf, 1, second);
  buf_add_line(*buf, 0, ",");
  buf_add_nested(*buf, 1, third);
  buf_add_line(*buf, 0, ")");
  return buf;
}

TextBuffer* frag_quoted(std::string_view head, const TextBuffer& token) {
  TextBuffer* buf = buf_new();
  buf_add_line(*buf, 0, head);
  buf_add_quoted(*buf, 1, token.text);
  buf_add_line(*buf, 0, ")");
  return buf;
}

TextBuffer* frag_number(const TextBuffer& digits) {
  TextBuffer* buf = buf_new();
  buf_add_line(*buf, 0, "Enum(");
  buf_add_line(*buf, 1, digits.text);
  buf_add_line(*buf, 0, ")");
  return buf;
}

TextBuffer* frag_indexed(const TextBuffer& name, const TextBuffer& index) {
  TextBuffer* buf = buf_new();
  buf_add_line(*buf, 0, "LArr(");
  buf_add_quoted(*buf, 1, name.text);
  buf_add_line(*buf, 0, ",");
  buf_add_nested(*buf, 1, index);
  buf_add_line(*buf, 0, ")");
  return buf;
}

TextBuffer* frag_call(const TextBuffer& name, const TextBuffer& arguments) {
  TextBuffer* buf = buf_new();
  buf_add_quoted(*buf, 1, name.text);
  buf_add_line(*buf, 0, ",");
  buf_add_nested(*buf, 1, arguments);
  return buf;
}

TextBuffer* frag_func_def(const TextBuffer& name, const TextBuffer& result,
                          const TextBuffer& parameters, const TextBuffer& locals,
                          const TextBuffer& body) {
  TextBuffer* buf = buf_new();
  buf_add_line(*buf, 0, "FuncDef(");
  buf_add_quoted(*buf, 1, name.text);
  for (const TextBuffer* field : {&result, &parameters, &locals, &body}) {
    buf_add_line(*buf, 0, ",");
    buf_add_nested(*buf, 1, *field);
  }
  buf_add_line(*buf, 0, ")");
  return buf;
}

TextBuffer* frag_param(const TextBuffer& name, const TextBuffer& type, std::string_view mode) {
  TextBuffer* buf = buf_new();
  buf_add_line(*buf, 0, "(");
  buf_add_quoted(*buf, 1, name.text);
  buf_add_line(*buf, 0, ",");
  buf_add_nested(*buf, 1, type);
  buf_add_line(*buf, 0, ",");
  buf_add_line(*buf, 1, mode);
  buf_add_line(*buf, 0, ")");
  return buf;
}

TextBuffer* frag_var_def(const TextBuffer& data_type, const TextBuffer& name,
                         const TextBuffer* size) {
  TextBuffer* buf = buf_new();
  buf_add_line(*buf, 0, "VarDef(");
  if (size == nullptr) {
    buf_add_line(*buf, 1, "TPrim(");
    buf_add_nested(*buf, 2, data_type);
    buf_add_line(*buf, 1, ")");
  } else {
    buf_add_line(*buf, 1, "TArr(");
    buf_add_line(*buf, 2, "TPrim(");
    buf_add_nested(*buf, 3, data_type);
    buf_add_line(*buf, 2, ")");
    buf_add_line(*buf, 1, ")");
  }
  buf_add_line(*buf, 0, ",");
  buf_add_quoted(*buf, 1, name.text);
  buf_add_line(*buf, 0, ",");
  buf_add_line(*buf, 1, size == nullptr ? std::string_view("0") : size->text);
  buf_add_line(*buf, 0, ")");
  return buf;
}

TextBuffer* frag_nest(const TextBuffer& inner) {
  TextBuffer* buf = buf_new();
  buf_add_nested(*buf, 1, inner);
  return buf;
}

TextBuffer* frag_list_first(const TextBuffer& element) {
  return frag_nest(element);
}

TextBuffer* frag_list_cons(const TextBuffer& element, TextBuffer& rest) {
  TextBuffer* buf = buf_new();
  buf_add_nested(*buf, 1, element);
  buf_add_line(*buf, 0, ",");
  buf_append(*buf, rest);
  return buf;
}

TextBuffer* frag_list_close(TextBuffer& elements) {
  TextBuffer* buf = buf_new();
  buf_add_line(*buf, 0, "[");
  buf_append(*buf, elements);
  buf_add_line(*buf, 0, "]");
  return buf;
}

}  // namespace vrel::frontend
