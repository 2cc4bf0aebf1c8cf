# Coilprobe's front door. `make test` sets the machine up, builds the native, sanitized, Windows and fuzz
# trees and runs every test (the fuzz targets briefly, the native tests also under Valgrind) and checks the
# download and the circuit picture; `make run` starts the instrument; `make dist` makes the Windows
# download. B chooses the build folder.
B ?= build
JOBS ?= $(shell nproc)
NATIVE := $(B)/native
ASAN := $(B)/asan
WIN := $(B)/win
WIN64 := $(B)/win64
FUZZ := $(B)/fuzz
FUZZ_SECONDS ?= 60
SMOKE_SECONDS ?= 8
EXE := $(WIN)/app/coilprobe.exe
DIST ?= dist

.PHONY: all setup native asan win-tree win fuzz-build test test-native test-asan test-win test-dist test-docs fuzz \
	fuzz-smoke leakcheck soak run dist bench clean wintest

all: native win

setup:
	@scripts/setup.sh

native: setup
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(NATIVE) -j$(JOBS)

asan: setup
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DCOILPROBE_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN) -j$(JOBS)

win-tree: setup
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null

win: win-tree
	@cmake --build $(WIN) -j$(JOBS)

# The fuzz targets (tests/fuzz) build with clang and libFuzzer in a tree of their own.
fuzz-build: setup
	@CXX=clang++ cmake -S tests/fuzz -B $(FUZZ) >/dev/null
	@cmake --build $(FUZZ) -j$(JOBS)

test-native: native
	ctest --test-dir $(NATIVE) --output-on-failure

test-asan: asan
	ASAN_OPTIONS=detect_leaks=1 ctest --test-dir $(ASAN) --output-on-failure

# Windows tests run through Wine in a private session: on the loopback rig; those labelled noaudio in one
# without a sound server; those labelled feed on the feed rig, whose input only the test plays into. A
# machine that cannot start 32-bit programs runs them on the x86-64 build of the same sources ($(WIN64));
# the i686 tree is built in any case, so that all of its programs at least compile.
test-win: win
	scripts/test_win.sh $(WIN) $(WIN64) $(JOBS)

# One Windows test by its name, `make wintest T=NAME`, in the session its label asks for and in the tree
# test-win would run it in.
wintest: setup
	scripts/wintest.sh "$(T)" $(WIN) $(WIN64) $(JOBS)

# Each fuzz target for FUZZ_SECONDS, merging the inputs that add coverage into tests/fuzz/corpus; the
# smoke run gives each SMOKE_SECONDS and leaves the corpora alone.
fuzz: fuzz-build
	scripts/fuzz.sh $(FUZZ) $(FUZZ_SECONDS) --keep

fuzz-smoke: fuzz-build
	scripts/fuzz.sh $(FUZZ) $(SMOKE_SECONDS)

# The native test executables under Valgrind's memcheck: leaks and memory errors fail.
leakcheck: native
	scripts/leakcheck.sh $(NATIVE)

# The download: its contents, its exe against the build's, its imports, README.txt, LICENSE, checksum.
test-dist: dist
	scripts/check_dist.sh $(EXE) $(DIST)

# The committed circuit picture is what its script draws.
test-docs: setup
	scripts/circuit.py --check

test: test-native test-asan test-win fuzz-smoke leakcheck test-dist test-docs

# The instrument's long runs on the loopback rig: SOAK_CYCLES start and stop cycles and a soak of
# SOAK_SECONDS, every tick's levels within 1 % unless the sink's monitor, recorded outside Wine, had a gap
# of the rig in the tick's window (make test runs the same tests with 10 cycles and one minute). Here the
# rig must be healthy too: a single gap of Wine's playback stream inside the sound server fails the soak.
SOAK_CYCLES ?= 100
SOAK_SECONDS ?= 600
soak: setup
	@tree=$$(scripts/windows_tree.sh $(WIN) $(WIN64) $(JOBS)) && \
	  COILPROBE_CYCLES=$(SOAK_CYCLES) COILPROBE_SOAK_SECONDS=$(SOAK_SECONDS) COILPROBE_SOAK_NO_RIG_GAPS=1 \
	  scripts/session.sh -- ctest --test-dir $$tree --output-on-failure -L soak

# Benchmarks: every bench_* program of the native and the i686 Windows tree (the latter under Wine); the
# figures are the i686 program's, so this needs a machine that starts 32-bit programs.
bench: native win
	@scripts/bench.sh $(NATIVE) $(WIN)

# Only what it runs: the program, and the window tool that the headless demo reads it with (the x86-64
# build of them where this machine starts no 32-bit programs).
run: setup
	@tree=$$(scripts/windows_tree.sh $(WIN) $(WIN64) $(JOBS) coilprobe wintool) && scripts/run.sh $$tree/app/coilprobe.exe

dist: win-tree
	@cmake --build $(WIN) -j$(JOBS) --target coilprobe
	@scripts/dist.sh $(EXE) $(DIST)

clean:
	rm -rf $(B) $(DIST)
