# End-to-end tests of the vrelc command: exact streams and exit statuses.
#
# Conventions:
# - A RUN line that starts a program the test built (or any command that might not end) runs it
#   through %timeout, e.g. "RUN: %timeout %t.exe > %t.out": the program is stopped after a few
#   seconds and the RUN line fails with status 124, naming the test. ctest also limits each test.
# - A test that cannot run under AddressSanitizer (one that limits the address space with
#   ulimit -v, say) says "UNSUPPORTED: asan"; the sanitizer build skips it.
import os
import shutil
import subprocess
import lit.formats

config.name = "vrelc"
config.test_format = lit.formats.ShTest(execute_external=True)
config.suffixes = [".test"]
config.excludes = ["Inputs"]

config.substitutions.append(("%vrelc", config.vrelc))
config.substitutions.append(("%inputs", os.path.join(config.test_source_root, "Inputs")))
config.substitutions.append(("%timeout", "timeout -k 5 " + config.step_seconds))
if config.sanitized:
    config.available_features.add("asan")
config.environment["PATH"] = os.pathsep.join(
    [config.llvm_tools_dir, config.environment.get("PATH", "/usr/bin:/bin")])
# Tests that act as a second user (setpriv to nobody) need root.
if os.geteuid() == 0 and shutil.which("setpriv"):
    config.available_features.add("root")
# Tests that fill a small file system mount a tmpfs in a mount namespace of their own.
if subprocess.run(["unshare", "-m", "sh", "-c", "mount -t tmpfs -o size=4k tmpfs /mnt"],
                  stderr=subprocess.DEVNULL).returncode == 0:
    config.available_features.add("tmpfs")
