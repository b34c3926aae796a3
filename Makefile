# make test: installs what is missing, builds, runs every test (widgets under Xvfb), then the
# unit tests once more in a build of their own with AddressSanitizer and UBSan.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
XVFB       := xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp"

.PHONY: deps build test unit-asan clean

deps:
	bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

test: build
	$(XVFB) ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	$(MAKE) unit-asan

unit-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVIZMORA_SANITIZE=ON
	cmake --build $(ASAN_BUILD) --target unit_tests -j $(JOBS)
	$(XVFB) ctest --test-dir $(ASAN_BUILD) -L unit --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
