# The front door: 'make' builds the shipped programs for both architectures, 'make check' builds and runs
# every test, 'make medium' assembles and checks the medium, 'make demo' plays the first plug-in. Each first
# installs what is missing (scripts/setup).
BUILD ?= build
ARCHS := i686 x86_64
SHIP_TREES := $(ARCHS:%=$(BUILD)/ship-%)
TEST_TREES := $(ARCHS:%=$(BUILD)/test-%)
FUZZ_TREE := $(BUILD)/fuzz
# How long each fuzzer runs: briefly in 'make check', long in 'make fuzz'.
FUZZ_CHECK_SECONDS ?= 5
FUZZ_SECONDS ?= 600
ROOT := $(abspath .)
WINE_DIR := $(abspath $(BUILD))/wine
empty :=
space := $(empty) $(empty)
SHIP_LIST := $(subst $(space),;,$(abspath $(SHIP_TREES)))
TEST_LIST := $(subst $(space),;,$(abspath $(TEST_TREES)))

.PHONY: all setup ship tests check medium demo demo-windows try try-options fuzz bench format clean

all: ship

setup:
	@scripts/setup

ship: setup $(SHIP_TREES:%=%/build.ninja)
	@for tree in $(SHIP_TREES); do cmake --build $$tree || exit 1; done

tests: ship $(TEST_TREES:%=%/build.ninja) $(FUZZ_TREE)/build.ninja
	@for tree in $(TEST_TREES) $(FUZZ_TREE); do cmake --build $$tree || exit 1; done

check: tests
	@SUITE_WINE_DIR=$(WINE_DIR) tests/harness/run-tests $(TEST_TREES) $(FUZZ_TREE)

# Every fuzzer for FUZZ_SECONDS, two at a time; the corpora grow in $(FUZZ_TREE)/corpus.
fuzz: setup $(FUZZ_TREE)/build.ninja
	@cmake --build $(FUZZ_TREE)
	@ls $(FUZZ_TREE)/*_fuzz | xargs -P 2 -I{} sh -c 'name=$$(basename {} _fuzz); \
	    tests/fuzz/run-fuzzer {} $(FUZZ_SECONDS) $(FUZZ_TREE)/corpus/$$name tests/fuzz/seeds/$$name'

$(BUILD)/ship-%/build.ninja: | setup
	cmake -G Ninja -S . -B $(BUILD)/ship-$* -DCMAKE_TOOLCHAIN_FILE=cmake/$*-w64-mingw32.cmake \
	    -DMINGW_THREAD_MODEL=win32

# The i686 test tree also checks the shipped programs of both trees, and its scenarios use the simulated
# PC's tool of both test trees. A tree configured before a change of these settings is configured again.
$(BUILD)/test-%/build.ninja: Makefile | setup
	cmake -G Ninja -S . -B $(BUILD)/test-$* -DCMAKE_TOOLCHAIN_FILE=cmake/$*-w64-mingw32.cmake \
	    -DMINGW_THREAD_MODEL=posix -DSUITE_TESTS=ON -DSUITE_WINE_DIR=$(WINE_DIR) \
	    $(if $(filter i686,$*),"-DSUITE_SHIP_DIRS=$(SHIP_LIST)" "-DSUITE_TEST_DIRS=$(TEST_LIST)")

# The medium of package/ with the shipped programs, as a folder and as an ISO 9660 image, checked as a device
# maker would check their own (package/check_medium.py MEDIUM_FOLDER).
medium: ship
	@python3 package/make_medium.py $(SHIP_TREES) $(BUILD)/medium --iso $(BUILD)/medium.iso
	@python3 package/check_medium.py $(BUILD)/medium
	@echo "medium: $(BUILD)/medium and $(BUILD)/medium.iso"

# The first plug-in played end to end on a simulated PC: log, screenshots and a summary in $(BUILD)/demo.
# WINDOWS picks the PC: xp (the default), 7-64 or 10-64; an unknown one is refused before anything is built.
WINDOWS ?= xp
demo: demo-windows tests
	@SUITE_WINE_DIR=$(WINE_DIR) tests/demo/run-demo --windows '$(WINDOWS)' $(SHIP_TREES) $(TEST_TREES) $(BUILD)/demo

demo-windows:
	@tests/demo/run-demo --windows '$(WINDOWS)' --check

# A device maker's own medium (a folder or its ISO image) played on a simulated PC: the report, with each
# phase's time and verdict, in $(BUILD)/try; the status is not 0 when the road did not complete. WINDOWS picks
# the PC (2000, xp, vista, vista-64, 7, 7-64, 8.1, 10-64, 11-64); PLUGIN=double puts the plug-in library's
# test double in place of the medium's own.
MEDIUM ?=
PLUGIN ?=
try: try-options tests
	@SUITE_WINE_DIR=$(WINE_DIR) tests/try/run-try --windows '$(WINDOWS)' --plugin '$(or $(PLUGIN),medium)' \
	    '$(MEDIUM)' $(TEST_TREES) $(BUILD)/try

try-options:
	@tests/try/run-try --windows '$(WINDOWS)' --plugin '$(or $(PLUGIN),medium)' --check
	@[ -n '$(MEDIUM)' ] || { echo "try: name the medium: make try MEDIUM=FOLDER_OR_ISO" >&2; exit 2; }
	@[ -e '$(MEDIUM)' ] || { echo "try: there is no medium '$(MEDIUM)' (a folder, or its ISO image)" >&2; exit 2; }

# The suite's speed on simulated PCs, as one table (also kept in docs/benchmarks.md).
bench: tests
	@SUITE_WINE_DIR=$(WINE_DIR) tests/bench/run-bench $(SHIP_TREES) $(TEST_TREES) docs/benchmarks.md

# The fuzzers are native programs: built with clang, not with the Windows compilers.
$(FUZZ_TREE)/build.ninja: Makefile | setup
	CXX=clang++ cmake -G Ninja -S tests/fuzz -B $(FUZZ_TREE) -DSUITE_FUZZ_SECONDS=$(FUZZ_CHECK_SECONDS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
