#!/usr/bin/env python3
"""The whole pipeline against gcc, at growing sizes and at the deepest nesting.

Usage: pipeline_table.py VRELC [SIZES]

For each size (statements, default 1000,10000,100000,1000000; the environment variable
BENCH_SIZES overrides) it prints the wall time and peak memory of `vrelc -t` and of
`gcc -fsyntax-only -w -std=gnu99` on the C text vrelc wrote, their ratios, statements per
second, the AST file's size and the time `cp` needs to copy that file into TMPDIR (the floor).
Then one row per construct nested to the parser's limit (-t and -p), the long sum, and a small
program; last, every one of these programs under an address-space limit (ulimit -v) of 1.5
times its unlimited peak. Every run is one process start; memory is the peak resident size of the process and
its children.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import workload  # noqa: E402

GCC = ["gcc", "-fsyntax-only", "-w", "-std=gnu99"]
SMALL_RUNS = 20


def run(argv, stdout=subprocess.DEVNULL, env=None, timeout=600):
    """Runs `argv`; returns (status, wall seconds, peak resident MB).

    The command runs under /usr/bin/time, a small process, so that the peak is the command's own
    and not that of this script, from which a child would inherit its size until it execs.
    """
    with tempfile.NamedTemporaryFile(mode="r", suffix=".rss") as rss:
        start = time.perf_counter()
        try:
            status = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", rss.name] + argv,
                                    stdout=stdout, stderr=subprocess.DEVNULL, env=env,
                                    timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            status = "timeout"
        wall = time.perf_counter() - start
        lines = rss.read().split()
        peak = int(lines[-1]) / 1024 if lines and lines[-1].isdigit() else float("nan")
    return status, wall, peak


def wall_time(argv, env):
    """Wall seconds of one run of `argv`, for commands too short for the wrapper above. The
    command is started by posix_spawn, which does not copy this script's memory first."""
    path = shutil.which(argv[0], path=env.get("PATH"))
    actions = [(os.POSIX_SPAWN_OPEN, 1, os.devnull, os.O_WRONLY, 0),
               (os.POSIX_SPAWN_OPEN, 2, os.devnull, os.O_WRONLY, 0)]
    start = time.perf_counter()
    pid = os.posix_spawn(path, argv, env, file_actions=actions)
    os.waitpid(pid, 0)
    return time.perf_counter() - start


def ast_file_bytes(vrelc, source, env):
    """Bytes vrelc writes into its temporary AST file in -t mode (an untimed traced run)."""
    with tempfile.NamedTemporaryFile(dir=env["TMPDIR"], suffix=".trace") as trace:
        subprocess.run(["strace", "-f", "-qq", "-e", "trace=openat,open,write,writev,pwrite64,close",
                        "-e", "signal=none", "-o", trace.name, vrelc, "-t", "-o", os.devnull, source],
                       env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
        fds, total = set(), 0
        with open(trace.name, encoding="latin-1") as lines:
            for line in lines:
                opened = re.search(r'open(?:at)?\(.*"[^"]*vrelhs_\d+\.ast".*= (\d+)$', line)
                if opened:
                    fds.add(opened.group(1))
                    continue
                written = re.search(r"(?:write|writev|pwrite64)\((\d+),.*= (\d+)$", line)
                if written and written.group(1) in fds:
                    total += int(written.group(2))
                    continue
                closed = re.search(r"close\((\d+)\)", line)
                if closed:
                    fds.discard(closed.group(1))
        return total


def megabytes(n):
    return f"{n / 1e6:.1f} MB" if n >= 1e5 else f"{n / 1e3:.1f} KB"


def size_rows(vrelc, sizes, work, env):
    print("| statements | source | AST file | cp AST file | vrelc -t | gcc -fsyntax-only "
          "| time ratio | memory ratio | statements/s |")
    print("|---|---|---|---|---|---|---|---|---|")
    per_statement = {}
    for statements in sizes:
        source = os.path.join(work, f"size{statements}.vrel")
        c_file = os.path.join(work, f"size{statements}.c")
        with open(source, "w") as out:
            out.write(workload.program(statements))
        status, v_time, v_mem = run([vrelc, "-t", "-o", c_file, source], env=env)
        if status != 0:
            print(f"| {statements} | vrelc -t failed with status {status} |")
            continue
        _, g_time, g_mem = run(GCC + [c_file], env=env)
        ast_bytes = ast_file_bytes(vrelc, source, env)
        cp_time = floor_copy(vrelc, source, ast_bytes, work, env)
        print(f"| {statements:,} | {megabytes(os.path.getsize(source))} | {megabytes(ast_bytes)} "
              f"| {cp_time:.3f} s | {v_time:.3f} s, {v_mem:.0f} MB | {g_time:.3f} s, {g_mem:.0f} MB "
              f"| {v_time / g_time:.3f} | {v_mem / g_mem:.3f} | {statements / v_time:,.0f} |")
        per_statement[statements] = v_time / statements
        os.remove(c_file)
        os.remove(source)
    if len(per_statement) > 1:
        smallest, largest = max(min(per_statement), 10_000), max(per_statement)
        if smallest in per_statement and smallest < largest:
            print(f"\nTime per statement at {largest:,} statements / at {smallest:,}: "
                  f"{per_statement[largest] / per_statement[smallest]:.2f}")


def floor_copy(vrelc, source, ast_bytes, work, env):
    """Time to copy a file of the AST file's bytes into TMPDIR: -p's text, as the file holds it."""
    text_path = os.path.join(work, "floor.ast")
    with open(text_path, "wb") as out:
        subprocess.run([vrelc, "-p", source], stdout=out, env=env, check=True)
    size = os.path.getsize(text_path) - 1
    if size != ast_bytes:  # the file is written flush left
        with open(text_path, "rb") as indented, open(text_path + ".flush", "wb") as out:
            for line in indented:
                out.write(line.lstrip(b" "))
        os.replace(text_path + ".flush", text_path)
    copy = os.path.join(env["TMPDIR"], "floor-copy.ast")
    _, wall, _ = run(["cp", text_path, copy], env=env)
    os.remove(copy)
    os.remove(text_path)
    return wall


def nesting_rows(vrelc, work, env):
    print()
    print("| nesting | depth | source | vrelc -t | AST file | AST / source | vrelc -p | -p text |")
    print("|---|---|---|---|---|---|---|---|")
    cases = [(name, workload.DEEP[name][0], workload.deep(name)) for name in workload.DEEP]
    cases.append(("sum of 8,000 terms", 8000, workload.long_sum(8000)))
    for name, depth, text in cases:
        source = os.path.join(work, "deep.vrel")
        with open(source, "w") as out:
            out.write(text)
        status_t, t_time, t_mem = run([vrelc, "-t", "-o", os.devnull, source], env=env)
        ast_bytes = ast_file_bytes(vrelc, source, env)
        printed = os.path.join(work, "deep.p")
        with open(printed, "wb") as out:
            status_p, p_time, p_mem = run([vrelc, "-p", source], stdout=out, env=env)
        p_bytes = os.path.getsize(printed)
        os.remove(printed)
        t_cell = f"{t_time:.3f} s, {t_mem:.0f} MB" + ("" if status_t == 0 else f" (status {status_t})")
        p_cell = f"{p_time:.3f} s, {p_mem:.0f} MB" + ("" if status_p == 0 else f" (status {status_p})")
        print(f"| {name} | {depth:,} | {megabytes(len(text))} | {t_cell} | {megabytes(ast_bytes)} "
              f"| {ast_bytes / len(text):.0f} | {p_cell} | {megabytes(p_bytes)} |")
        os.remove(source)


def small_row(vrelc, work, env):
    source = os.path.join(work, "small.vrel")
    c_file = os.path.join(work, "small.c")
    with open(source, "w") as out:
        out.write(workload.small())
    subprocess.run([vrelc, "-t", "-o", c_file, source], env=env, check=True)
    v_times, g_times = [], []
    for _ in range(SMALL_RUNS):
        v_times.append(wall_time([vrelc, "-t", source], env))  # to standard output
        g_times.append(wall_time(GCC + [c_file], env))
    floor = sorted(wall_time(["true"], env) for _ in range(SMALL_RUNS))[SMALL_RUNS // 2]
    v, g = sorted(v_times)[SMALL_RUNS // 2], sorted(g_times)[SMALL_RUNS // 2]
    lines = workload.small().count("\n")
    print()
    print(f"Small program ({lines} lines, median of {SMALL_RUNS}): vrelc -t {v * 1e3:.2f} ms, "
          f"gcc -fsyntax-only {g * 1e3:.2f} ms, ratio {v / g:.3f} "
          f"(starting a process that does nothing: {floor * 1e3:.2f} ms)")


def limited_status(vrelc, source, kilobytes, env):
    """Status of `vrelc -t` with the address space limited to `kilobytes` (ulimit -v)."""
    return subprocess.run(["sh", "-c", f'ulimit -v {kilobytes} && exec "$@"', "sh", vrelc, "-t",
                           "-o", os.devnull, source], env=env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, check=False).returncode


def address_space_rows(vrelc, sizes, work, env):
    """Each program under an address-space limit of 1.5 times its unlimited peak, and the
    smallest limit (in steps of 1 MB) that it compiles under when that is not enough."""
    print()
    print("| program | peak | at 1.5 x peak | smallest limit |")
    print("|---|---|---|---|")
    cases = [(f"{n:,} statements", workload.program(n)) for n in sizes]
    cases += [(name, workload.deep(name)) for name in workload.DEEP]
    cases += [("sum of 8,000 terms", workload.long_sum(8000)), ("small", workload.small())]
    source = os.path.join(work, "limited.vrel")
    for name, text in cases:
        with open(source, "w") as out:
            out.write(text)
        _, _, peak = run([vrelc, "-t", "-o", os.devnull, source], env=env)
        limit = int(peak * 1.5 * 1024)
        status = limited_status(vrelc, source, limit, env)
        smallest = limit
        while status != 0 and smallest < 4 * limit:
            smallest += 1024
            status = limited_status(vrelc, source, smallest, env)
        cell = "compiles" if smallest == limit else "fails"
        print(f"| {name} | {peak:.1f} MB | {cell} | {smallest / 1024:.0f} MB"
              f" ({smallest / 1024 / peak:.2f} x peak) |")
        os.remove(source)


def main(argv):
    vrelc = os.path.abspath(argv[1])
    spec = argv[2] if len(argv) > 2 else os.environ.get("BENCH_SIZES", "1000,10000,100000,1000000")
    sizes = [int(s) for s in spec.split(",") if s]
    work = tempfile.mkdtemp(prefix="vrel-pipeline-bench-")
    env = dict(os.environ, TMPDIR=work)
    try:
        size_rows(vrelc, sizes, work, env)
        nesting_rows(vrelc, work, env)
        small_row(vrelc, work, env)
        address_space_rows(vrelc, sizes, work, env)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main(sys.argv)
