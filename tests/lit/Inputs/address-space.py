"""address-space.py VRELC SOURCE: runs `vrelc -t` on SOURCE once without limits, then with the
address space limited to 1.5 times the peak memory of that run. Prints the second run's status."""

import os
import resource
import subprocess
import sys

vrelc, source = sys.argv[1], sys.argv[2]
command = [vrelc, "-t", "-o", os.devnull, source]
subprocess.run(command, check=True)
peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss * 1024
limit = peak * 3 // 2


def limited():
    resource.setrlimit(resource.RLIMIT_AS, (limit, limit))


status = subprocess.run(command, preexec_fn=limited).returncode
print("status at 1.5 x peak:", status)
