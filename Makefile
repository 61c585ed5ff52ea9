# Two entry points for a fresh machine: `make run` and `make check`.
# Both install what is missing first (tools/install-deps.sh).

BUILD  := build
ASAN   := build-asan
FUZZ   := build-fuzz
DEB    := build-deb
JOBS   ?= $(shell nproc)
# Our builds stop at any warning (TELVANTA_WERROR); a plain cmake does not.
CMAKE  := cmake -G Ninja -Wno-dev -DTELVANTA_WERROR=ON

.PHONY: run check deps build build-asan build-fuzz test test-asan test-fuzz test-package deb bench format format-check install clean

run: build
	cd $(BUILD) && ./telvanta

check: format-check test-asan test-fuzz test test-package

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

# A Debian package of the program, built by dpkg-buildpackage from a copy of
# this tree (so the build leaves nothing in it) with the distribution's flags:
# $(DEB)/telvanta_<version>_<arch>.deb, checked by lintian. ccache, where the
# builds use it, keeps its cache across debhelper's own HOME.
deb: export CCACHE_DIR ?= $(shell ccache -k cache_dir 2>/dev/null)
deb: deps
	rm -rf $(DEB)
	mkdir -p $(DEB)/telvanta
	tar -c --exclude=./.git --exclude='./build*' --exclude=./.cache . | tar -x -C $(DEB)/telvanta
	cd $(DEB)/telvanta && DEB_BUILD_OPTIONS=parallel=$(JOBS) dpkg-buildpackage -b -us -uc
	lintian --fail-on error --display-info $(DEB)/telvanta_*.deb

# The tests of the installed program against an install from the package
# (unpacked into a temporary folder), and its dependencies resolved by apt.
test-package: deb build
	package=$$(ls $(CURDIR)/$(DEB)/telvanta_*.deb) && \
	  apt-get install --simulate --no-install-recommends "$$package" && \
	  TELVANTA_INSTALL_FROM="$$package" ctest --test-dir $(BUILD) -L install --output-on-failure

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
	rm -rf $(BUILD) $(ASAN) $(FUZZ) $(DEB)
