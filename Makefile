# Wraps CMake: `make` builds build/vrelc, `make check` runs every test, `make demo` runs an example.
BUILD_DIR ?= build
PREFIX ?= /usr/local
DESTDIR ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure vrelc check demo bench install clean

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

install: vrelc
	DESTDIR=$(DESTDIR) cmake --install $(BUILD_DIR) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD_DIR)
