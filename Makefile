# The two commands of the README, and the benchmarks.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test bench package clean

all: build

deps:
	@./scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DPCW_WERROR=ON >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@./scripts/run

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@BUILD=$(BUILD) ./bench/run

# The .deb of what `cmake --install` installs, named by version and architecture.
package: build
	@cd $(BUILD) && cpack >cpack.log 2>&1 || { cat cpack.log >&2; exit 1; }
	@ls $(BUILD)/parcelwise_*_*.deb

clean:
	rm -rf $(BUILD)
