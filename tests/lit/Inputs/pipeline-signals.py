"""pipeline-signals.py VRELC WORK: signals vrelc in the middle of compiling a program of a million
lines, in the front end and in the translation, and checks that it removes its temporary files
and then ends by the same signal (SIGPIPE included, when its reader goes away); that a signal ignored when it started stays ignored; and that
it leaves a running C compiler alone. Prints one line per case and "all signal cases correct" at
the end; exits 1 on the first fault."""

import os
import shutil
import signal
import subprocess
import sys
import time

vrelc, work = sys.argv[1], sys.argv[2]
WAIT = 20  # seconds any one step may take


def fail(message):
    print(message)
    sys.exit(1)


def write_program(path, lines):
    with open(path, "w") as out:
        out.write("big () : proc\n  x : int;\n")
        for f in range(lines // 1000):
            out.write("  f%d () : proc\n  {\n" % f)
            out.write("".join("    x = x + %d;\n" % i for i in range(998)))
            out.write("  }\n")
        out.write("{\n  x = 0;\n}\n")


def wait_for(condition, what):
    deadline = time.monotonic() + WAIT
    while not condition():
        if time.monotonic() > deadline:
            fail("timed out waiting for " + what)
        time.sleep(0.005)


def start(tmp, arguments, disposition, stdout=subprocess.DEVNULL):
    """Starts vrelc with TMPDIR=tmp and the tested signals at `disposition` (as a shell would)."""
    os.makedirs(tmp)

    def set_signals():
        for number in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
            signal.signal(number, disposition.get(number, signal.SIG_DFL))

    return subprocess.Popen([vrelc] + arguments, env=dict(os.environ, TMPDIR=tmp),
                            stdout=stdout, preexec_fn=set_signals)


def finish(process, name):
    try:
        return process.wait(WAIT)
    except subprocess.TimeoutExpired:
        process.kill()
        fail(name + ": vrelc did not end")


def ast_written(tmp):
    """True once the front end has written the AST file (it stopped growing): the tree is being
    translated, which takes a tenth of a second or so."""
    files = [f for f in os.listdir(tmp) if f.endswith(".ast")]
    if not files:
        return False
    size = os.path.getsize(os.path.join(tmp, files[0]))
    time.sleep(0.02)
    return size > 0 and size == os.path.getsize(os.path.join(tmp, files[0]))


def signalled(name, number, arguments, after_front_end, delay):
    """Signals vrelc `delay` seconds after its temporary files appeared, or after the front end
    wrote the AST file."""
    tmp = os.path.join(work, name)
    process = start(tmp, arguments, {})
    wait_for(lambda: os.listdir(tmp) or process.poll() is not None, name + ": temporary files")
    if after_front_end:
        wait_for(lambda: process.poll() is not None or ast_written(tmp), name + ": the AST file")
    time.sleep(delay)
    if process.poll() is not None:
        fail("%s: vrelc ended with %d before the signal" % (name, process.returncode))
    process.send_signal(number)
    status = finish(process, name)
    if status != -number:
        fail("%s: status %d, not the end by signal %d" % (name, status, number))
    if os.listdir(tmp):
        fail("%s: left %s" % (name, os.listdir(tmp)))
    print(name + ": removed, ended by the signal")


shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
program = os.path.join(work, "big.vrel")
write_program(program, 1_000_000)
exe, out = os.path.join(work, "exe"), os.path.join(work, "out.c")

# A fast machine may be past the front end or the translation when the signal comes: the
# stand-in compiler then sleeps without files of its own, so only vrelc's files are looked for.
slow_compiler = "--gcc=sh -c 'sleep 3' sh"
signalled("term-at-start", signal.SIGTERM, ["-o", exe, program], False, 0)
signalled("term-front-end", signal.SIGTERM, [slow_compiler, "-o", exe, program], False, 0.2)
signalled("term-translation", signal.SIGTERM, [slow_compiler, "-o", exe, program], True, 0)
signalled("int-translation", signal.SIGINT, ["-t", "-o", out, program], True, 0)
signalled("hup-front-end", signal.SIGHUP, ["-p", program], False, 0.3)
if os.path.exists(os.path.join(work, "out.c")) or os.path.exists(os.path.join(work, "exe")):
    fail("an interrupted run left its output")

# Ignored at start: the signal changes nothing and the compilation completes.
small = os.path.join(work, "small.vrel")
write_program(small, 100_000)
tmp = os.path.join(work, "hup-ignored")
process = start(tmp, ["-t", small], {signal.SIGHUP: signal.SIG_IGN})
wait_for(lambda: os.listdir(tmp) or process.poll() is not None, "hup-ignored: temporary files")
process.send_signal(signal.SIGHUP)
status = finish(process, "hup-ignored")
if status != 0 or os.listdir(tmp):
    fail("hup-ignored: status %d, left %s" % (status, os.listdir(tmp)))
print("hup-ignored: completed")

# A reader that stops early (-p piped into head): vrelc ends by SIGPIPE, without its files.
tmp = os.path.join(work, "pipe")
process = start(tmp, ["-p", small], {}, subprocess.PIPE)
process.stdout.read(100)
process.stdout.close()
status = finish(process, "pipe")
if status != -signal.SIGPIPE or os.listdir(tmp):
    fail("pipe: status %d, left %s" % (status, os.listdir(tmp)))
print("pipe: removed, ended by the signal")

# While the C compiler runs: vrelc removes the C file and ends; the compiler goes on undisturbed.
tmp = os.path.join(work, "compiler")
started, finished = os.path.join(work, "started"), os.path.join(work, "finished")
compiler = "sh -c 'touch %s; sleep 1; touch %s' sh" % (started, finished)
process = start(tmp, ["--gcc=" + compiler, os.path.join(os.path.dirname(__file__),
                                                         "pipeline-hello.vrel")], {})
wait_for(lambda: os.path.exists(started), "compiler: the compiler to start")
process.send_signal(signal.SIGTERM)
status = finish(process, "compiler")
if status != -signal.SIGTERM or os.listdir(tmp):
    fail("compiler: status %d, left %s" % (status, os.listdir(tmp)))
wait_for(lambda: os.path.exists(finished), "compiler: the compiler to finish")
print("compiler: removed, ended by the signal, compiler finished")

shutil.rmtree(work)
print("all signal cases correct")
