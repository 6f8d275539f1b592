#!/usr/bin/env python3
"""The language server's speed: the time from a didChange to its diagnostics at growing sizes,
hover and definition at 10,000 lines, and the server's memory.

Usage: lsp_table.py VREL_LSP    (LSP_BENCH_SIZES=100,10000 for other sizes)

Each size is a program of the pipeline workload, cut or grown to about that many lines; the
change replaces one statement in its middle, as a keystroke would. Times are the median of the
runs, as the client waits (wall) and as the server's threads run (CPU, which other work on the
machine does not inflate); memory is the server's peak resident size once the largest program
is open.
"""

import os
import statistics
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "lsp"))
import lsp_client  # noqa: E402
import workload  # noqa: E402

URI = "file:///bench/program.vrel"
SIZES = [int(s) for s in os.environ.get("LSP_BENCH_SIZES", "100,10000,100000").split(",")]
CHANGES = 15
QUERIES = 50


def sized(lines):
    """A program of about `lines` lines."""
    if lines >= 1000:
        return workload.program(lines)
    text = workload.program(1000).splitlines(keepends=True)
    return "".join(text[:lines - 4]) + "  }\n{\n  f0(0, g);\n}\n"


def cpu_seconds(pid):
    """The CPU time all threads of `pid` have run so far."""
    total = 0
    for task in os.listdir("/proc/%d/task" % pid):
        with open("/proc/%d/task/%s/schedstat" % (pid, task)) as schedstat:
            total += int(schedstat.read().split()[0])
    return total / 1e9


def peak_kib(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


def main(server_path):
    server = lsp_client.Server(server_path)
    server.request("initialize", {"capabilities": {}})
    server.notify("initialized")
    print("| lines | didChange to diagnostics, wall (ms) | CPU (ms) | errors |")
    print("|---:|---:|---:|---:|")
    version = 1
    hover_row = None
    for size in SIZES:
        text = sized(size)
        lines = text.count("\n")
        server.notify("textDocument/didOpen", {"textDocument": {
            "uri": URI, "languageId": "vrel", "version": version, "text": text}})
        server.diagnostics(URI, timeout=600)
        middle = lines // 2
        while not text.splitlines()[middle].strip().endswith(";"):
            middle += 1
        times = []
        cpu = []
        errors = 0
        for k in range(CHANGES):
            version += 1
            line = text.splitlines()[middle]
            start = time.perf_counter()
            start_cpu = cpu_seconds(server.proc.pid)
            server.notify("textDocument/didChange", {
                "textDocument": {"uri": URI, "version": version},
                "contentChanges": [{"range": {"start": {"line": middle, "character": 0},
                                              "end": {"line": middle, "character": len(line)}},
                                    "text": line if k % 2 else line + " "}]})
            diagnostics = server.diagnostics(URI, timeout=600)
            times.append(time.perf_counter() - start)
            cpu.append(cpu_seconds(server.proc.pid) - start_cpu)
            errors = sum(1 for d in diagnostics if d["severity"] == 1)
        print("| %d | %.1f | %.1f | %d |" % (lines, statistics.median(times) * 1000,
                                            statistics.median(cpu) * 1000, errors))
        if size == 10000:
            hover_row = query_times(server, text)
        server.notify("textDocument/didClose", {"textDocument": {"uri": URI}})
        server.diagnostics(URI)
    if hover_row:
        print()
        print("| at 10,000 lines | hover, wall (ms) | definition, wall (ms) |")
        print("|---|---:|---:|")
        print("| the last call of helper | %.2f | %.2f |" % hover_row)
    print()
    print("Peak memory of the server after the %s-line program: %.1f MiB"
          % ("{:,}".format(max(SIZES)), peak_kib(server.proc.pid) / 1024))
    server.request("shutdown")
    server.notify("exit")
    server.finish()


def query_times(server, text):
    # A use at the end of the program of a function declared at its top.
    at = text.rindex("helper(i, q, a)")
    params = {"textDocument": {"uri": URI},
              "position": {"line": text.count("\n", 0, at),
                           "character": at - text.rfind("\n", 0, at) - 1}}
    row = []
    for method in ["textDocument/hover", "textDocument/definition"]:
        times = []
        for _ in range(QUERIES):
            start = time.perf_counter()
            reply = server.request(method, params)
            times.append(time.perf_counter() - start)
            if not reply.get("result"):
                raise SystemExit(method + " found nothing: " + str(reply))
        row.append(statistics.median(times) * 1000)
    return tuple(row)


if __name__ == "__main__":
    main(sys.argv[1])
