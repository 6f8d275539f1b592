# Wraps CMake: `make` builds build/vrelc, `make check` runs every test, `make demo` runs an example,
# `make install` builds the compiler alone in its own folder and installs it, `make uninstall`
# removes what that install put in place.
#   make check WERROR=ON       also turns warnings into errors (as CI does); kept for later builds
#   make check-sanitize        the whole suite built with ASan and UBSan, in build-sanitize/
#   make fuzz FUZZ_SECONDS=N   builds the libFuzzer targets in build-fuzz/ and runs each of them
#                              for N seconds (default 60), one after the other; new inputs go to
#                              build-fuzz/corpus/<target>, crashes to build-fuzz/crashes/
#   make fuzz-corpus           merges what fuzzing found into fuzz/corpus/<target>, minimised
#   make tidy                  clang-tidy over src/ and fuzz/ with the checks of .clang-tidy
#   make format                formats every tracked C++ source in place
BUILD_DIR ?= build
INSTALL_BUILD_DIR ?= build-install
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
CLANG = -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14
# A test that sets no TIMEOUT of its own gets this many seconds.
CTEST = ctest -j $(JOBS) --output-on-failure --timeout 300

.PHONY: all deps configure vrelc check check-sanitize fuzz fuzz-build fuzz-corpus tidy format \
        demo bench install uninstall clean

all: vrelc

deps:
	@scripts/install-deps.sh

$(BUILD_DIR)/build.ninja: | deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD_DIR)/build.ninja
ifneq ($(WERROR),)
	cmake -S . -B $(BUILD_DIR) -DVRELC_WERROR=$(WERROR)
endif

vrelc: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

check: vrelc
	cd $(BUILD_DIR) && $(CTEST)

$(SANITIZE_DIR)/build.ninja: | deps
	cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CLANG) \
	  -DVRELC_SANITIZE=ON -DVRELC_BUILD_BENCHMARKS=OFF

# Tests labelled no-asan limit the address space, which AddressSanitizer cannot live with.
check-sanitize: deps $(SANITIZE_DIR)/build.ninja
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && $(CTEST) -LE no-asan

$(FUZZ_DIR)/build.ninja: | deps
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CLANG) -DVRELC_FUZZ=ON \
	  -DVRELC_BUILD_TESTS=OFF -DVRELC_BUILD_BENCHMARKS=OFF

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

# Generated sources (parser, scanner) are in the build folder and are left out.
tidy: vrelc
	run-clang-tidy-14 -quiet -p $(BUILD_DIR) -header-filter='^$(CURDIR)/(src|fuzz)/' \
	  '^$(CURDIR)/(src|fuzz)/.*\.cpp$$'

format:
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format-14 -i

demo: vrelc
	$(BUILD_DIR)/vrelc -o $(BUILD_DIR)/hello examples/hello.vrel
	$(BUILD_DIR)/hello

# BENCH_SIZES=1000,10000 limits the pipeline table to the sizes named (statements).
bench: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target vrel_bench vrelc vrel-lsp
	$(BUILD_DIR)/bench/vrel_bench
	python3 bench/pipeline_table.py $(BUILD_DIR)/vrelc
	python3 bench/lsp_table.py $(BUILD_DIR)/vrel-lsp

install:
	@scripts/install-deps.sh --build
	cmake -S . -B $(INSTALL_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVRELC_BUILD_TESTS=OFF -DVRELC_BUILD_BENCHMARKS=OFF -DCMAKE_INSTALL_PREFIX="$(PREFIX)"
	cmake --build $(INSTALL_BUILD_DIR) -j $(JOBS)
	DESTDIR="$(DESTDIR)" cmake --install $(INSTALL_BUILD_DIR) --prefix "$(PREFIX)" --strip

uninstall:
	DESTDIR="$(DESTDIR)" cmake --build $(INSTALL_BUILD_DIR) --target uninstall

clean:
	rm -rf $(BUILD_DIR) $(INSTALL_BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR)
