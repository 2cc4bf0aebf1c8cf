# Coilprobe's front door. `make test` sets the machine up, builds the native, sanitized and Windows
# trees and runs every test; `make run` starts the instrument. B chooses the build folder.
B ?= build
JOBS ?= $(shell nproc)
NATIVE := $(B)/native
ASAN := $(B)/asan
WIN := $(B)/win
EXE := $(WIN)/app/coilprobe.exe

.PHONY: all setup native asan win test test-native test-asan test-win run bench clean

all: native win

setup:
	@scripts/setup.sh

native: setup
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(NATIVE) -j$(JOBS)

asan: setup
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DCOILPROBE_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN) -j$(JOBS)

win: setup
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WIN) -j$(JOBS)

test-native: native
	ctest --test-dir $(NATIVE) --output-on-failure

test-asan: asan
	ASAN_OPTIONS=detect_leaks=1 ctest --test-dir $(ASAN) --output-on-failure

# Windows tests run through Wine in a private session; those labelled noaudio in one without a sound server.
test-win: win
	scripts/session.sh -- ctest --test-dir $(WIN) --output-on-failure -LE noaudio
	scripts/session.sh --no-audio -- ctest --test-dir $(WIN) --output-on-failure -L noaudio --no-tests=ignore

test: test-native test-asan test-win

# Benchmarks: every bench_* program of the native and the Windows tree (the latter under Wine).
bench: native win
	@scripts/bench.sh $(NATIVE) $(WIN)

run: win
	@scripts/run.sh $(EXE)

clean:
	rm -rf $(B)
