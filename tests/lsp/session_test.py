#!/usr/bin/env python3
"""One editing session through every capability of the server: diagnostics as vrelc reports
them, with UTF-16 ranges; the warnings vrelc does not give; hover, definition, references,
rename, document symbols, completion and signature help; shutdown and exit.

Usage: session_test.py VREL_LSP VRELC
"""

import os
import subprocess
import sys

import lsp_client

SERVER, VRELC = sys.argv[1], sys.argv[2]
URI = "file:///work/session.vrel"

PROGRAM = """\
main () : proc
  total : int;
  count : int;
  line : byte [80];
  count () : int
  {
    return 7;
  }
  add (n : int, s : reference byte []) : proc
    total : int;
  {
    total = n;
    writeString(s);
  }
  later () : proc
  {
  }
  outer () : proc
    x : int;
    inner () : proc
      y : int;
    {
      y = x;
    }
  {
    x = 1;
    inner();
  }
{
  total = count() * 6;
  count = total;
  add(count, line);
  later();
  outer();
  writeInteger(total);
}
"""

WARNINGS = """\
main () : proc
  c : byte;
  u : int;
  big : int [2000000];
  f () : int
  {
    if (c < 256) return 1;
  }
  unused () : proc
  {
  }
{
  c = readChar();
  if (c != -1) writeChar(c);
  writeInteger(u);
  strcpy("abc", "de");
  writeInteger(f());
  big[0] = 1;
}
"""


def expect(condition, what):
    if not condition:
        raise SystemExit("FAIL: " + what)


def position(text, needle, nth=0, delta=0):
    """The protocol position of the nth `needle` in `text`, `delta` characters on."""
    at = -1
    for _ in range(nth + 1):
        at = text.index(needle, at + 1)
    at += delta
    line = text.count("\n", 0, at)
    start = text.rfind("\n", 0, at) + 1
    return {"line": line, "character": len(text[start:at].encode("utf-16-le")) // 2}


def at(text, needle, nth=0, delta=0):
    return {"textDocument": {"uri": URI}, "position": position(text, needle, nth, delta)}


def vrelc_messages(text):
    """vrelc's status and standard error for `text`."""
    run = subprocess.run([VRELC, "-t", "-o", "/dev/null"], input=text.encode(),
                         env=dict(os.environ, VRELC_DIAGNOSTICS="always"),
                         capture_output=True, timeout=60)
    return run.returncode, run.stderr.decode()


def change(server, version, text):
    server.notify("textDocument/didChange", {"textDocument": {"uri": URI, "version": version},
                                             "contentChanges": [{"text": text}]})
    return server.diagnostics(URI)


def errors(diagnostics):
    return [d for d in diagnostics if d["severity"] == 1]


def check_diagnostics(server):
    # A string with an accented letter and an emoji before the mistake on its line: the range
    # counts UTF-16 units.
    text = PROGRAM.replace("  later();\n", '  writeString("\u00e9\U0001F600"); totl = 1;\n')
    server.notify("textDocument/didOpen", {"textDocument": {
        "uri": URI, "languageId": "vrel", "version": 1, "text": text}})
    found = errors(server.diagnostics(URI))
    expect(len(found) == 1, "one error: " + str(found))
    start = position(text, "totl")
    expect(found[0]["range"] == {"start": start, "end": dict(start, character=start["character"]
                                                             + 4)}, "range of totl: " + str(found))
    expect(found[0]["message"] == "undefined variable totl", "message: " + str(found))
    status, stderr = vrelc_messages(text)
    expect(status == 1 and "undefined variable totl" in stderr, "vrelc agrees: " + stderr)

    # Every lexical error up to the first syntax error, then that one.
    text = PROGRAM.replace("  later();\n", "  _x = 1; @ = 2\n  later();\n")
    found = errors(change(server, 2, text))
    status, stderr = vrelc_messages(text)
    expect(len(found) == 3, "two lexical errors and a syntax error: " + str(found))
    for diagnostic in found:
        expect(diagnostic["message"] in stderr, diagnostic["message"] + " as vrelc says it")
    expect(found[0]["range"]["start"] == position(text, "_x"), "the first at _x")
    expect(found[1]["range"]["start"] == position(text, "@"), "the second at @: " + str(found))
    expect(found[2]["message"].startswith("expected"), "then the syntax error")

    # An incremental change mends it; the document is the program again.
    server.notify("textDocument/didChange", {
        "textDocument": {"uri": URI, "version": 3},
        "contentChanges": [{"range": {"start": position(text, "  _x"),
                                      "end": position(text, "  later();")}, "text": ""}]})
    found = server.diagnostics(URI)
    expect(errors(found) == [], "no error once mended: " + str(found))


def check_warnings(server):
    uri = "file:///work/warnings.vrel"
    server.notify("textDocument/didOpen", {"textDocument": {
        "uri": uri, "languageId": "vrel", "version": 1, "text": WARNINGS}})
    found = server.diagnostics(uri)
    messages = sorted((d["range"]["start"]["line"], d["message"]) for d in found)
    expect(all(d["severity"] == 2 for d in found), "all warnings: " + str(found))
    expected = [
        (3, "array big takes 8000000 bytes of the stack, which may not hold it"),
        (4, "function f can reach its end without a return"),
        (6, "comparison is always true: a byte holds 0 to 255"),
        (8, "function unused is never used"),
        (13, "comparison is always true: a byte holds 0 to 255"),
        (14, "variable u is read before anything is assigned to it"),
        (15, "strcpy writes into a string constant"),
    ]
    expect(messages == expected, "the warnings: " + str(messages))
    status, stderr = vrelc_messages(WARNINGS)
    expect(status == 0 and stderr == "", "vrelc gives no warning: " + stderr)
    server.notify("textDocument/didClose", {"textDocument": {"uri": uri}})
    expect(server.diagnostics(uri) == [], "closing clears the diagnostics")


def hover_text(server, params):
    reply = server.request("textDocument/hover", params)["result"]
    return reply["contents"]["value"] if reply else None


def definition_line(server, params):
    return server.request("textDocument/definition", params)["result"]["range"]["start"]["line"]


def check_names(server):
    text = PROGRAM
    body = text.index("{\n  total = count()")
    hovers = [
        (at(text, "total = count()"), "total : int"),
        (at(text, "s);"), "s : reference byte []"),
        (at(text, "line);"), "line : byte [80]"),
        (at(text, "add(count"), "add(n : int, s : reference byte []) : proc"),
        (at(text, "count()"), "count() : int"),
        (at(text, "writeInteger"), "writeInteger(n : int) : proc"),
    ]
    for params, wanted in hovers:
        got = hover_text(server, params)
        expect(got and wanted in got, "hover %s: %r" % (wanted, got))
    expect("Prints n in decimal" in hover_text(server, at(text, "writeInteger")),
           "a library routine's hover says what it does")
    expect(hover_text(server, at(text, "proc")) is None, "no hover on a keyword")

    # Shadowing, and a variable and a function of one name.
    expect(definition_line(server, at(text, "total = count()")) == 1, "main's total")
    expect(definition_line(server, at(text, "total = n")) == 9, "add's own total")
    expect(definition_line(server, at(text, "count = total")) == 2, "the variable count")
    expect(definition_line(server, at(text, "count()")) == 4, "the function count")
    expect(definition_line(server, at(text, "x;")) == 18, "x of the enclosing function")
    expect(server.request("textDocument/definition", at(text, "writeInteger"))["result"] is None,
           "a library routine has no definition in the text")

    refs = server.request("textDocument/references", dict(
        at(text, "total = count()"), context={"includeDeclaration": True}))["result"]
    expect(sorted(r["range"]["start"]["line"] for r in refs) == [1, 29, 30, 34],
           "references of main's total: " + str(refs))

    def rename(needle, name, nth=0):
        return server.request("textDocument/rename", dict(at(text, needle, nth), newName=name))

    edits = rename("n;", "m")["result"]["changes"][URI]
    expect(sorted(e["range"]["start"]["line"] for e in edits) == [8, 11], "rename n: " + str(edits))
    edits = rename("x;", "z")["result"]["changes"][URI]
    expect(len(edits) == 3, "rename x to z: " + str(edits))
    for needle, name, nth in [("x;", "y", 0), ("n;", "total", 0), ("count = total", "line", 0),
                              ("later", "add", 0), ("writeInteger", "print", 0), ("n;", "if", 0),
                              ("y = x", "x", 0)]:
        reply = rename(needle, name, nth)
        expect("error" in reply, "renaming %s to %s is refused: %s" % (needle, name, reply))
    reply = server.request("textDocument/prepareRename", at(text, "later();"))["result"]
    expect(reply["placeholder"] == "later", "prepareRename: " + str(reply))

    tree = server.request("textDocument/documentSymbol", {"textDocument": {"uri": URI}})["result"]
    expect([s["name"] for s in tree] == ["main"], "one main function")
    main = tree[0]
    expect([c["name"] for c in main["children"]] ==
           ["total", "count", "line", "count", "add", "later", "outer"], "main's symbols")
    outer = main["children"][6]
    expect([c["name"] for c in outer["children"]] == ["x", "inner"] and
           [c["name"] for c in outer["children"][1]["children"]] == ["y"], "nested functions")
    expect(main["children"][4]["detail"] == "add(n : int, s : reference byte []) : proc",
           "a function's detail is its header")

    items = server.request("textDocument/completion", at(text, "writeString(s)"))["result"]
    labels = {(i["label"], i.get("detail")) for i in items["items"]}
    for wanted in [("n", "n : int"), ("total", "total : int"), ("count", "count : int"),
                   ("count", "count() : int"), ("add", "add(n : int, s : reference byte []) : proc"),
                   ("strlen", "strlen(s : reference byte []) : int"), ("while", None)]:
        expect(wanted in labels, "completion offers %s" % (wanted,))
    names = {label for label, _ in labels}
    expect("later" not in names and "outer" not in names and "x" not in names,
           "nothing defined after the cursor or inside another function")
    expect(body > 0, "the program has a body")

    # While a call is typed the text does not parse; the last names are still known.
    typing = text.replace("  later();\n", "  add(count, \n")
    expect(errors(change(server, 4, typing)) != [], "a half-typed call is an error")
    help_reply = server.request("textDocument/signatureHelp", at(typing, "add(count, ", 0, 11))
    result = help_reply["result"]
    expect(result["signatures"][0]["label"] == "add(n : int, s : reference byte []) : proc" and
           result["activeParameter"] == 1, "signature help: " + str(result))
    routine = text.replace("  later();\n", "  strcpy(line, \n")
    change(server, 5, routine)
    result = server.request("textDocument/signatureHelp",
                            at(routine, "strcpy(line, ", 0, 14))["result"]
    expect(result["signatures"][0]["parameters"][1]["label"] == "src : reference byte []",
           "a library routine's parameters: " + str(result))


server = lsp_client.Server(SERVER)
reply = server.request("initialize", {"processId": None, "capabilities": {}})
caps = reply["result"]["capabilities"]
for capability in ["hoverProvider", "definitionProvider", "referencesProvider", "renameProvider",
                   "documentSymbolProvider", "completionProvider", "signatureHelpProvider"]:
    expect(capability in caps, capability)
server.notify("initialized")
check_diagnostics(server)
check_warnings(server)
check_names(server)
expect(server.request("shutdown")["result"] is None, "shutdown")
server.notify("exit")
expect(server.finish() == 0, "exit after shutdown gives status 0")
print("session: every capability answered")
