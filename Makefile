# Wraps CMake: `make` builds build/vrelc (and build/vrel-lsp) alone, `make demo` runs an example
# with it, `make check` builds and runs every test, `make install` builds the commands alone in
# their own folder and installs them, `make uninstall` removes what that install put in place.
#   make check WERROR=ON       also turns warnings into errors (as CI does); kept for later builds
#   make check-sanitize        the whole suite built with ASan and UBSan, in build-sanitize/
#   make fuzz FUZZ_SECONDS=N   builds the libFuzzer targets in build-fuzz/ and runs each of them
#                              for N seconds (default 60), one after the other; new inputs go to
#                              build-fuzz/corpus/<target>, crashes to build-fuzz/crashes/
#   make fuzz-corpus           merges what fuzzing found into fuzz/corpus/<target>, minimised
#   make deb                   the Debian package, build-deb/vrelc_VERSION_ARCH.deb
#   make tidy                  clang-tidy over src/ and fuzz/ with the checks of .clang-tidy
#   make format                formats every tracked C++ source in place
BUILD_DIR ?= build
INSTALL_BUILD_DIR ?= build-install
DEB_BUILD_DIR ?= build-deb
SANITIZE_DIR ?= build-sanitize
FUZZ_DIR ?= build-fuzz
PREFIX ?= /usr/local
DESTDIR ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
WERROR ?=
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = frontend reader translate messages
# Short inputs keep every nesting within the default stack; stderr (the front end's messages)
# is closed, libFuzzer's own reports still appear.
FUZZ_FLAGS = -max_len=4096 -timeout=10 -rss_limit_mb=2048 -close_fd_mask=2 -print_final_stats=1
CONFIGURE = cmake -S . -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Only the commands: no tests, no benchmarks, so only the build tools are needed.
COMMANDS_ONLY = -DVRELC_BUILD_TESTS=OFF -DVRELC_BUILD_BENCHMARKS=OFF
EVERYTHING = -DVRELC_BUILD_TESTS=ON -DVRELC_BUILD_BENCHMARKS=ON $(if $(WERROR),-DVRELC_WERROR=$(WERROR))
# A test that sets no TIMEOUT of its own gets this many seconds.
CTEST = ctest -j $(JOBS) --output-on-failure --timeout 300

.PHONY: all deps deps-build deps-deb vrelc everything check check-sanitize fuzz fuzz-build \
        fuzz-corpus tidy format demo bench deb install uninstall clean

all: vrelc

deps:
	@scripts/install-deps.sh

deps-build:
	@scripts/install-deps.sh --build

deps-deb:
	@scripts/install-deps.sh --deb

# A first configure leaves the tests and benchmarks out; `make check` and `make bench` add them
# to the same folder, and `make` goes on building the commands alone.
$(BUILD_DIR)/build.ninja: | deps-build
	$(CONFIGURE) -B $(BUILD_DIR) $(COMMANDS_ONLY)

vrelc: deps-build $(BUILD_DIR)/build.ninja
ifneq ($(WERROR),)
	cmake -S . -B $(BUILD_DIR) -DVRELC_WERROR=$(WERROR)
endif
	cmake --build $(BUILD_DIR) -j $(JOBS) --target commands

everything: deps $(BUILD_DIR)/build.ninja
	cmake -S . -B $(BUILD_DIR) $(EVERYTHING)
	cmake --build $(BUILD_DIR) -j $(JOBS)

check: everything
	cd $(BUILD_DIR) && $(CTEST)

# Both build with the newest clang installed (VRELC_CLANGXX=/path/to/clang++ names another).
$(SANITIZE_DIR)/build.ninja: | deps
	$(CONFIGURE) -B $(SANITIZE_DIR) -DVRELC_SANITIZE=ON -DVRELC_BUILD_BENCHMARKS=OFF

# Tests labelled no-asan limit the address space, which AddressSanitizer cannot live with.
check-sanitize: deps $(SANITIZE_DIR)/build.ninja
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && $(CTEST) -LE no-asan

$(FUZZ_DIR)/build.ninja: | deps
	$(CONFIGURE) -B $(FUZZ_DIR) -DVRELC_FUZZ=ON $(COMMANDS_ONLY)

fuzz-build: deps $(FUZZ_DIR)/build.ninja
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(FUZZ_TARGETS:%=%_fuzz)

fuzz: fuzz-build
	mkdir -p $(FUZZ_DIR)/crashes
	set -e; for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_DIR)/corpus/$$t; \
	  $(FUZZ_DIR)/fuzz/$${t}_fuzz $(FUZZ_FLAGS) -max_total_time=$(FUZZ_SECONDS) \
	    -artifact_prefix=$(FUZZ_DIR)/crashes/$$t- $(FUZZ_DIR)/corpus/$$t fuzz/corpus/$$t; \
	done

fuzz-corpus: fuzz-build
	set -e; for t in $(FUZZ_TARGETS); do \
	  rm -rf $(FUZZ_DIR)/merged/$$t && mkdir -p $(FUZZ_DIR)/merged/$$t $(FUZZ_DIR)/corpus/$$t; \
	  $(FUZZ_DIR)/fuzz/$${t}_fuzz $(FUZZ_FLAGS) -merge=1 \
	    $(FUZZ_DIR)/merged/$$t fuzz/corpus/$$t $(FUZZ_DIR)/corpus/$$t; \
	  rm -rf fuzz/corpus/$$t && mv $(FUZZ_DIR)/merged/$$t fuzz/corpus/$$t; \
	done

# clang-tidy needs the generated sources (parser, scanner), and leaves them out.
tidy: everything
	cmake --build $(BUILD_DIR) --target tidy

format: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) --target format

demo: vrelc
	$(BUILD_DIR)/vrelc -o $(BUILD_DIR)/hello examples/hello.vrel
	$(BUILD_DIR)/hello

# BENCH_SIZES=1000,10000 limits the pipeline table to the sizes named (statements).
bench: deps $(BUILD_DIR)/build.ninja
	cmake -S . -B $(BUILD_DIR) $(EVERYTHING)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target vrel_bench vrelc vrel-lsp
	$(BUILD_DIR)/bench/vrel_bench
	python3 bench/pipeline_table.py $(BUILD_DIR)/vrelc
	python3 bench/checked_cost.py $(BUILD_DIR)/vrelc
	python3 bench/lsp_table.py $(BUILD_DIR)/vrel-lsp

install: deps-build
	$(CONFIGURE) -B $(INSTALL_BUILD_DIR) $(COMMANDS_ONLY) -DCMAKE_INSTALL_PREFIX="$(PREFIX)"
	cmake --build $(INSTALL_BUILD_DIR) -j $(JOBS) --target commands
	DESTDIR="$(DESTDIR)" cmake --install $(INSTALL_BUILD_DIR) --prefix "$(PREFIX)" --strip

uninstall:
	DESTDIR="$(DESTDIR)" cmake --build $(INSTALL_BUILD_DIR) --target uninstall

deb: deps-deb
	$(CONFIGURE) -B $(DEB_BUILD_DIR) $(COMMANDS_ONLY) -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build $(DEB_BUILD_DIR) -j $(JOBS) --target deb

clean:
	rm -rf $(BUILD_DIR) $(INSTALL_BUILD_DIR) $(DEB_BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR)
