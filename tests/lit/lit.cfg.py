# End-to-end tests of the vrelc command: exact streams and exit statuses.
import os
import lit.formats

config.name = "vrelc"
config.test_format = lit.formats.ShTest(execute_external=True)
config.suffixes = [".test"]
config.excludes = ["Inputs"]

config.substitutions.append(("%vrelc", config.vrelc))
config.substitutions.append(("%inputs", os.path.join(config.test_source_root, "Inputs")))
config.environment["PATH"] = os.pathsep.join(
    [config.llvm_tools_dir, config.environment.get("PATH", "/usr/bin:/bin")])
