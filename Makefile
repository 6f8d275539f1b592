# Wraps CMake: `make` builds build/vrelc, `make check` runs every test, `make demo` runs an example,
# `make install` builds the compiler alone in its own folder and installs it, `make uninstall`
# removes what that install put in place.
BUILD_DIR ?= build
INSTALL_BUILD_DIR ?= build-install
PREFIX ?= /usr/local
DESTDIR ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure vrelc check demo bench install uninstall clean

all: vrelc

deps:
	@scripts/install-deps.sh

$(BUILD_DIR)/build.ninja: | deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD_DIR)/build.ninja

vrelc: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

check: vrelc
	cd $(BUILD_DIR) && ctest -j $(JOBS) --output-on-failure

demo: vrelc
	$(BUILD_DIR)/vrelc -o $(BUILD_DIR)/hello examples/hello.vrel
	$(BUILD_DIR)/hello

# BENCH_SIZES=1000,10000 limits the pipeline table to the sizes named (statements).
bench: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target vrel_bench vrelc
	$(BUILD_DIR)/bench/vrel_bench
	python3 bench/pipeline_table.py $(BUILD_DIR)/vrelc

install:
	@scripts/install-deps.sh --build
	cmake -S . -B $(INSTALL_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVRELC_BUILD_TESTS=OFF -DVRELC_BUILD_BENCHMARKS=OFF -DCMAKE_INSTALL_PREFIX="$(PREFIX)"
	cmake --build $(INSTALL_BUILD_DIR) -j $(JOBS)
	DESTDIR="$(DESTDIR)" cmake --install $(INSTALL_BUILD_DIR) --prefix "$(PREFIX)" --strip

uninstall:
	DESTDIR="$(DESTDIR)" cmake --build $(INSTALL_BUILD_DIR) --target uninstall

clean:
	rm -rf $(BUILD_DIR) $(INSTALL_BUILD_DIR)
