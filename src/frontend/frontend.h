// The front end's entry: parses a Vrel source file and writes its AST text.
#pragma once

// Reads `input_path` (standard input when null) and writes the AST text to `output_path`.
// Returns 0 (written), 1 (syntax error), 2 (parser stack overflow), 10001 (input not opened)
// or 10002 (output not opened, written or closed); every failure is reported before returning.
int vrel_parse_file(const char* input_path, const char* output_path);
