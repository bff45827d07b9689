# The two commands of the README, and the benchmarks.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test bench package clean format-check

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
	rm -rf $(BUILD) $(WIN_BUILD)

# Fails, naming each file and line, when a tracked C++ file is not laid out as
# .clang-format says; changes nothing.
format-check: deps
	@git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

# Windows: pcw.exe and the test suites cross-built with mingw-w64, statically,
# and the suites run under Wine in a prefix of their own inside the build
# folder (made on the first run). The windows need a Qt 6 for Windows, which
# Debian lacks: see the README.
WIN_BUILD ?= build-windows
WIN_ENV = WINEPREFIX=$(abspath $(WIN_BUILD))/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
.PHONY: windows test-windows
windows: deps
	@cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DPCW_GUI=OFF \
	  -DCMAKE_BUILD_TYPE=Release -DPCW_WERROR=ON -DPCW_HOST_PCW=$(abspath $(BUILD))/cli/pcw >/dev/null
	@cmake --build $(WIN_BUILD) -j $(JOBS)

# The Linux build too, for the test that trades sets between the two systems.
test-windows: build windows
	@$(WIN_ENV) wine wineboot -i >/dev/null 2>&1 || true
	@cd $(WIN_BUILD) && $(WIN_ENV) ctest --output-on-failure -j $(JOBS)

# Fuzzing: clang with libFuzzer and the sanitizers, in a build of its own.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
.PHONY: fuzz
fuzz:
	@./scripts/install-deps fuzz
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DPCW_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@BUILD=$(FUZZ_BUILD) FUZZ_SECONDS=$(FUZZ_SECONDS) ./fuzz/run

# The engine and command-line suites (and the fuzz replays) built with the
# address and undefined-behaviour sanitizers; the windows are left out.
ASAN_BUILD ?= build-asan
ASAN_FLAGS = -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
.PHONY: asan
asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPCW_WERROR=ON \
	  -DCMAKE_CXX_FLAGS="$(ASAN_FLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(ASAN_FLAGS)" >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS) --target pcw test_platform test_core test_formats test_settings test_cli test_faults \
	  fuzz_replays
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS) -R '^(platform|core|formats|settings|cli|faults|fuzz)\.'

# What a Windows user is handed: pcw.exe, the README and the licence, in
# $(WIN_BUILD)/parcelwise-<version>-windows-x86_64.zip. The texts get Windows
# line ends and a .txt name, so that a double click opens them in Notepad.
PCW_VERSION := $(shell sed -n 's/^project.Parcelwise VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
WINDOWS_ZIP := $(WIN_BUILD)/parcelwise-$(PCW_VERSION)-windows-x86_64.zip
WINDOWS_ZIP_FILES := LICENSE.txt README.txt pcw.exe
.PHONY: windows-zip
windows-zip: windows
	@rm -rf $(WIN_BUILD)/zip $(WINDOWS_ZIP) && mkdir -p $(WIN_BUILD)/zip
	@x86_64-w64-mingw32-strip -o $(WIN_BUILD)/zip/pcw.exe $(WIN_BUILD)/cli/pcw.exe
	@sed 's/\r*$$/\r/' README.md >$(WIN_BUILD)/zip/README.txt
	@sed 's/\r*$$/\r/' LICENSE >$(WIN_BUILD)/zip/LICENSE.txt
	@cd $(WIN_BUILD)/zip && zip -q -X ../$(notdir $(WINDOWS_ZIP)) $(WINDOWS_ZIP_FILES)
	@[ "$$(unzip -Z1 $(WINDOWS_ZIP) | LC_ALL=C sort | xargs)" = "$(WINDOWS_ZIP_FILES)" ] || \
	  { echo "windows-zip: $(WINDOWS_ZIP) does not hold $(WINDOWS_ZIP_FILES)" >&2; exit 1; }
	@echo $(WINDOWS_ZIP)
