#!/usr/bin/env python3
"""Whatever arrives on its input, the server answers with a JSON-RPC error or ignores it as the
protocol says, never crashes or hangs, and exits as the lifecycle says.

Usage: robustness_test.py VREL_LSP WORKLOAD_DIR
"""

import sys

import lsp_client

SERVER = sys.argv[1]
sys.path.insert(0, sys.argv[2])
import workload  # noqa: E402

URI = "file:///work/prog.vrel"
PARSE_ERROR, INVALID_REQUEST, METHOD_NOT_FOUND, INVALID_PARAMS, NOT_INITIALIZED = \
    -32700, -32600, -32601, -32602, -32002


def expect(condition, what):
    if not condition:
        raise SystemExit("FAIL: " + what)


def error_code(message):
    return message.get("error", {}).get("code")


def open_document(server, text, version=1):
    server.notify("textDocument/didOpen", {"textDocument": {
        "uri": URI, "languageId": "vrel", "version": version, "text": text}})
    return server.diagnostics(URI, timeout=120)


def alive(server):
    reply = server.request("textDocument/hover", {"textDocument": {"uri": URI},
                                                  "position": {"line": 0, "character": 0}})
    expect("result" in reply or error_code(reply) == INVALID_PARAMS, "server answers " + str(reply))


def before_initialize():
    server = lsp_client.Server(SERVER)
    reply = server.request("textDocument/hover", {})
    expect(error_code(reply) == NOT_INITIALIZED, "a request before initialize is refused")
    # A notification before initialize is dropped: no diagnostics come for it.
    server.notify("textDocument/didOpen", {"textDocument": {"uri": URI, "version": 1,
                                                            "text": "x"}})
    reply = server.request("initialize", {"capabilities": {}})
    expect("capabilities" in reply["result"], "initialize answers capabilities")
    reply = server.request("initialize", {"capabilities": {}})
    expect(error_code(reply) == INVALID_REQUEST, "a second initialize is refused")
    expect(not server.notifications, "nothing published for a document opened too early")
    server.notify("exit")
    expect(server.finish() == 1, "exit without shutdown gives status 1")


def broken_messages():
    server = lsp_client.Server(SERVER)
    server.request("initialize", {"capabilities": {}})
    server.notify("initialized")
    open_document(server, "main () : proc { }\n")
    cases = [
        (b"Content-Length: -5\r\n\r\n", PARSE_ERROR),
        (b"Content-Length: 12abc\r\n\r\n", PARSE_ERROR),
        (b"Content-Length: 2\r\nContent-Length: 3\r\n\r\n", PARSE_ERROR),
        (b"Content-Type: text/plain\r\n\r\n", PARSE_ERROR),
        (b"no colon here\r\n\r\n", PARSE_ERROR),
        (b"X-Long: " + b"a" * 100000 + b"\r\n\r\n", PARSE_ERROR),
        (b"Content-Length: 7\r\n\r\n{\"a\": }", PARSE_ERROR),
        (b"Content-Length: 4\r\n\r\n\xff\xfe[]", PARSE_ERROR),
        (b"Content-Length: 6\r\n\r\n[1, 2]", INVALID_REQUEST),
        (b"Content-Length: 2\r\n\r\n{}", INVALID_REQUEST),
        (b'Content-Length: 44\r\n\r\n{"jsonrpc": "1.0", "id": 1, "method": "a/b"}', INVALID_REQUEST),
        (b'Content-Length: 43\r\n\r\n{"jsonrpc": "2.0", "id": [], "method": "x"}', INVALID_REQUEST),
        (b'Content-Length: 41\r\n\r\n{"jsonrpc": "2.0", "id": 7, "method": 12}', INVALID_REQUEST),
        (b'Content-Length: 44\r\n\r\n{"jsonrpc": "2.0", "id": 8, "method": "a/b"}', METHOD_NOT_FOUND),
    ]
    for data, code in cases:
        server.send_raw(data)
        reply = server.receive()
        expect(error_code(reply) == code, "%r gives %d, not %r" % (data[:40], code, reply))
        alive(server)
    # Unknown notifications, responses and $/ messages are ignored.
    server.notify("$/cancelRequest", {"id": 99})
    server.notify("workspace/unknown", {})
    server.send({"jsonrpc": "2.0", "id": 55, "result": None})
    # Parameters of the wrong shape are refused, never trusted.
    for params in [{"textDocument": {"uri": 5}, "position": {"line": 0, "character": 0}},
                   {"textDocument": {"uri": URI}, "position": {"line": -1, "character": 0}},
                   {"textDocument": {"uri": URI}, "position": {"line": 1e30, "character": 0}},
                   {"textDocument": {"uri": URI}, "position": "here"},
                   {"textDocument": {"uri": "file:///not/open"},
                    "position": {"line": 0, "character": 0}}]:
        reply = server.request("textDocument/definition", params)
        expect(error_code(reply) == INVALID_PARAMS, "bad params refused: " + str(reply))
    # A change of the wrong shape leaves the document as it was; positions past the end clamp.
    server.notify("textDocument/didChange", {"textDocument": {"uri": URI, "version": 2},
                                             "contentChanges": [{"range": 3, "text": "x"}]})
    server.notify("textDocument/didChange", {"textDocument": {"uri": URI, "version": 3},
                                             "contentChanges": [{"range": {
                                                 "start": {"line": 99, "character": 99},
                                                 "end": {"line": 99, "character": 99}},
                                                 "text": "\n"}]})
    expect(server.diagnostics(URI) == [], "a change past the end appends")
    alive(server)
    reply = server.request("textDocument/hover", 5)
    expect(error_code(reply) == INVALID_PARAMS, "params that are a number are refused")
    server.send({"jsonrpc": "2.0", "id": 99, "method": "shutdown", "params": None})
    expect(server.reply(99)["result"] is None, "shutdown with null params answers null")
    reply = server.request("textDocument/hover", {})
    expect(error_code(reply) == INVALID_REQUEST, "a request after shutdown is refused")
    server.notify("exit")
    expect(server.finish() == 0, "exit after shutdown gives status 0")


def end_of_input():
    server = lsp_client.Server(SERVER)
    server.request("initialize", {"capabilities": {}})
    server.send_raw(b"Content-Length: 100\r\n\r\n{\"jsonrpc\"")
    expect(server.finish() == 1, "the end of the input without shutdown gives status 1")
    server = lsp_client.Server(SERVER)
    server.request("initialize", {"capabilities": {}})
    server.request("shutdown")
    expect(server.finish() == 0, "the end of the input after shutdown gives status 0")
    # A length too large to hold is refused; its body is skipped up to the end of the input.
    server = lsp_client.Server(SERVER)
    server.request("initialize", {"capabilities": {}})
    server.send_raw(b"Content-Length: 99999999999999999999999999\r\n\r\n" + b"x" * 100000)
    expect(error_code(server.receive()) == PARSE_ERROR, "a huge length is refused")
    expect(server.finish() == 1, "and the server ends with its input")


def large_documents():
    server = lsp_client.Server(SERVER)
    server.request("initialize", {"capabilities": {}})
    # A million lines: comments, and one mistake on the last line.
    text = "main () : proc\n" + "-- comment\n" * 999997 + "{\n  x = 1;\n}\n"
    diagnostics = open_document(server, text)
    expect(len(diagnostics) >= 1 and diagnostics[0]["range"]["start"]["line"] == 999999,
           "the mistake of a million-line document is on its last lines: " + str(diagnostics))
    # The deepest nesting the parser takes, and one level more.
    for construct in ["parentheses", "blocks", "call", "functions"]:
        limit = workload.DEEP[construct][0]
        diagnostics = open_document(server, workload.deep(construct))
        expect(all(d["severity"] != 1 for d in diagnostics),
               construct + " at the limit is accepted: " + str(diagnostics)[:300])
        diagnostics = open_document(server, workload.deep(construct, limit + 1))
        expect(any(d["severity"] == 1 for d in diagnostics), construct + " past the limit fails")
        alive(server)
    server.request("shutdown")
    server.notify("exit")
    expect(server.finish() == 0, "exit after shutdown gives status 0")


before_initialize()
broken_messages()
end_of_input()
large_documents()
print("robustness: all cases passed")
