# Two entry points for a fresh machine: `make run` and `make check`.
# Both install what is missing first (tools/install-deps.sh).

BUILD  := build
ASAN   := build-asan
FUZZ   := build-fuzz
JOBS   ?= $(shell nproc)
# Our builds stop at any warning (TELVANTA_WERROR); a plain cmake does not.
CMAKE  := cmake -G Ninja -Wno-dev -DTELVANTA_WERROR=ON

.PHONY: run check deps build build-asan build-fuzz test test-asan test-fuzz bench format format-check install clean

run: build
	cd $(BUILD) && ./telvanta

check: format-check test-asan test-fuzz test

deps:
	@bash tools/install-deps.sh

build: deps
	$(CMAKE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure

build-asan: deps
	$(CMAKE) -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DTELVANTA_SANITIZE=ON -DTELVANTA_GUI=OFF -DTELVANTA_BENCH=OFF
	cmake --build $(ASAN) -j $(JOBS)

test-asan: build-asan
	ctest --test-dir $(ASAN) -j $(JOBS) --output-on-failure

build-fuzz: deps
	CC=clang CXX=clang++ $(CMAKE) -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTELVANTA_FUZZ=ON -DTELVANTA_GUI=OFF -DTELVANTA_BENCH=OFF
	cmake --build $(FUZZ) -j $(JOBS)

test-fuzz: build-fuzz
	ctest --test-dir $(FUZZ) -j $(JOBS) --output-on-failure -L fuzz

# Under Xvfb: the playback benchmarks drive real windows.
bench: build
	@for b in $(BUILD)/bench/*; do \
	  if [ -f "$$b" ] && [ -x "$$b" ]; then xvfb-run -a -s "-screen 0 1280x1024x24" "$$b" || exit 1; fi; \
	done

format:
	git ls-files '*.h' '*.cpp' | xargs clang-format -i

format-check: deps
	git ls-files '*.h' '*.cpp' | xargs clang-format --dry-run --Werror

install: build
	cmake --install $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN) $(FUZZ)
