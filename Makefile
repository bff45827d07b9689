# The two commands of the README, and the benchmarks. Each build folder is
# configured by a preset of CMakePresets.json (`cmake --preset NAME`); the
# folders can still be moved with BUILD=…, WIN_BUILD=… and so on.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test bench package clean format-check

all: build

deps:
	@./scripts/install-deps

configure: deps
	@cmake --preset release -B $(BUILD) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@./scripts/run

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@BUILD=$(BUILD) ./bench/run

# The .deb of what `cmake --install` installs, named by version and
# architecture, from a build of its own compiled as Debian compiles its
# packages: dpkg-buildflags' flags with every hardening feature (fortify, the
# stack protector, full RELRO with -z now, PIE), and the stack clash
# protection that bookworm's dpkg does not add yet. Only what the package
# holds is built; the programs are stripped as dh_strip strips them.
DEB_BUILD ?= build-deb
DEB_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_APPEND=-fstack-clash-protection
package:
	@./scripts/install-deps package
	@eval "$$($(DEB_FLAGS) dpkg-buildflags --export=sh)" && CXXFLAGS="$$CPPFLAGS $$CXXFLAGS" \
	  cmake --preset deb -B $(DEB_BUILD) >/dev/null
	@cmake --build $(DEB_BUILD) -j $(JOBS) --target pcw parcelwise pcw_data
	@cd $(DEB_BUILD) && cpack >cpack.log 2>&1 || { cat cpack.log >&2; exit 1; }
	@ls $(DEB_BUILD)/parcelwise_*_*.deb

# The package as a user gets it, in minutes: lintian and hardening-check on
# the .deb, the .deb installed into a bare Debian root where the window starts
# under Xvfb with the package's dependencies alone and shows its captions in
# their places, and an install from the sources into a home's ~/.local.
.PHONY: package-check
package-check: package build
	@tests/package/package-check.sh $(DEB_BUILD) $(BUILD)

clean:
	rm -rf $(BUILD) $(WIN_BUILD) $(DEB_BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)

# Fails, naming each file and line, when a tracked C++ file is not laid out as
# .clang-format says; changes nothing.
format-check: deps
	@git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

# Windows: pcw.exe and the test suites cross-built with mingw-w64, statically,
# and the suites run under Wine in a prefix of their own inside the build
# folder (made on the first run). The windows (parcelwise.exe and their
# suites) need a static Qt 6 for Windows, which Debian does not package:
# `make qt-windows` builds it once from Debian's qt6-base source into the
# machine's cache, and `make windows` builds them whenever it is there.
WIN_BUILD ?= build-windows
WIN_ENV = WINEPREFIX=$(abspath $(WIN_BUILD))/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
WIN_QT := $(shell scripts/build-qt-windows --print-prefix)
WIN_QT_READY := $(shell scripts/build-qt-windows --installed && echo yes)
WIN_GUI = $(if $(WIN_QT_READY),-DPCW_GUI=ON -DPCW_WINDOWS_QT=$(WIN_QT),-DPCW_GUI=OFF)
.PHONY: qt-windows windows test-windows
qt-windows:
	@./scripts/install-deps qt-windows

windows:
	@./scripts/install-deps windows
	@$(if $(WIN_QT_READY),,echo "windows: no static Qt for Windows in $(WIN_QT) (make qt-windows): pcw.exe alone" >&2)
	@cmake --preset windows -B $(WIN_BUILD) -DPCW_HOST_PCW=$(abspath $(BUILD))/cli/pcw $(WIN_GUI) >/dev/null
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
	@cmake --preset fuzz -B $(FUZZ_BUILD) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@BUILD=$(FUZZ_BUILD) FUZZ_SECONDS=$(FUZZ_SECONDS) ./fuzz/run

# The engine and command-line suites (and the fuzz replays) built with the
# address and undefined-behaviour sanitizers; the windows are left out.
ASAN_BUILD ?= build-asan
.PHONY: asan
asan: deps
	@cmake --preset asan -B $(ASAN_BUILD) >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS) --target pcw test_platform test_core test_formats test_settings test_cli test_faults \
	  fuzz_replays
# The set of 65,600 parts is left out: it creates that many files, which takes
# minutes under the sanitizers, and its code paths are those of the smaller
# sets of the same suite.
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS) -R '^(platform|core|formats|settings|cli|faults|fuzz)\.' \
	  -E 'ASetOfMoreThan65536Parts'

# What a Windows user is handed: pcw.exe, parcelwise.exe with Qt's French
# texts for its dialogs (when the static Qt is there), the README and the
# licence, in $(WIN_BUILD)/parcelwise-<version>-windows-x86_64.zip. The README
# is the one written for a Windows user, docs/windows/README.txt, stored as
# Notepad reads it (UTF-8 with its byte-order mark, CRLF); the licence gets
# Windows line ends. Both have a .txt name, so that a double click opens them
# in Notepad. Qt's .qm files are the same on every system: the build puts
# Debian's beside parcelwise.exe, and the zip takes them from there.
PCW_VERSION := $(shell sed -n 's/^project.Parcelwise VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
WINDOWS_ZIP := $(WIN_BUILD)/parcelwise-$(PCW_VERSION)-windows-x86_64.zip
WINDOWS_ZIP_FILES := $(strip LICENSE.txt README.txt $(if $(WIN_QT_READY),parcelwise.exe) pcw.exe $(if $(WIN_QT_READY),translations/qtbase_fr.qm))
.PHONY: windows-zip
windows-zip: windows
	@rm -rf $(WIN_BUILD)/zip $(WINDOWS_ZIP) && mkdir -p $(WIN_BUILD)/zip
	@x86_64-w64-mingw32-strip -o $(WIN_BUILD)/zip/pcw.exe $(WIN_BUILD)/cli/pcw.exe
	@$(if $(WIN_QT_READY),x86_64-w64-mingw32-strip -o $(WIN_BUILD)/zip/parcelwise.exe $(WIN_BUILD)/ui/parcelwise.exe)
	@$(if $(WIN_QT_READY),mkdir -p $(WIN_BUILD)/zip/translations && \
	  cp $(WIN_BUILD)/ui/translations/qtbase_fr.qm $(WIN_BUILD)/zip/translations/)
	@cp docs/windows/README.txt $(WIN_BUILD)/zip/README.txt
	@sed 's/\r*$$/\r/' LICENSE >$(WIN_BUILD)/zip/LICENSE.txt
	@cd $(WIN_BUILD)/zip && zip -q -X ../$(notdir $(WINDOWS_ZIP)) $(WINDOWS_ZIP_FILES)
	@[ "$$(unzip -Z1 $(WINDOWS_ZIP) | LC_ALL=C sort | xargs)" = "$(WINDOWS_ZIP_FILES)" ] || \
	  { echo "windows-zip: $(WINDOWS_ZIP) does not hold $(WINDOWS_ZIP_FILES)" >&2; exit 1; }
	@echo $(WINDOWS_ZIP)
