"""check-timeouts.py CTEST BUILD_DIR: every ctest test of the build has a TIMEOUT, so that a hang
fails with the test's name (see tests/README.md). Lists the tests without one."""

import json
import subprocess
import sys

listing = subprocess.run([sys.argv[1], "--show-only=json-v1"], cwd=sys.argv[2], check=True,
                         capture_output=True, text=True).stdout
untimed = [test["name"] for test in json.loads(listing)["tests"]
           if not any(p["name"] == "TIMEOUT" for p in test.get("properties", []))]
for name in untimed:
    print("no TIMEOUT: " + name)
sys.exit(1 if untimed else 0)
