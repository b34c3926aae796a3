# make run: installs what is missing, builds, generates a demo show and plays it in a window
# (with no display: once, headless, printing its events).
# make test: installs what is missing, builds, runs every test (widgets under Xvfb with the
# openbox window manager, as in a desktop session), then the unit tests once more in a build of
# their own with AddressSanitizer and UBSan.
# make install: builds, then installs into $(DESTDIR)$(PREFIX) (PREFIX /usr/local by default).
# make package: builds, then writes the Debian package into $(BUILD).
# make bench: installs the peers (mpv, gst-play-1.0) and the X damage headers the frame counter
# needs, builds Release in build-release, runs bench/ and appends its table to bench/RESULTS.md.
# make fuzz: installs clang, builds the fuzz targets of tests/fuzz/ with libFuzzer, ASan and UBSan
# in build-fuzz and runs each for FUZZ_SECONDS (60); an input that crashes or hangs one is kept
# in tests/fuzz/found/<target>/, and make test replays it from then on.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-release
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)
PREFIX     ?= /usr/local
DISPLAY_WM := bash scripts/test-display.sh --wm openbox --screen 1600x1200x24

.PHONY: deps build run test unit-asan install package bench fuzz clean

deps:
	bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@show=$$(bash scripts/demo-show.sh) && \
	if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then $(BUILD)/main/vizmora "$$show"; \
	else echo "no display: playing the demo show once, headless"; $(BUILD)/main/vizmora --headless --events --loops 1 "$$show"; fi

test: build
	$(DISPLAY_WM) ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	$(MAKE) unit-asan

# Into a live system (no DESTDIR) the desktop's MIME and menu caches are brought up to date too.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"
	@if [ -z "$(DESTDIR)" ]; then \
	  update-mime-database "$(PREFIX)/share/mime" 2>/dev/null || true; \
	  update-desktop-database "$(PREFIX)/share/applications" 2>/dev/null || true; \
	fi

package: build
	cd $(BUILD) && cpack

unit-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVIZMORA_SANITIZE=ON
	cmake --build $(ASAN_BUILD) --target unit_tests -j $(JOBS)
	$(DISPLAY_WM) ctest --test-dir $(ASAN_BUILD) -L unit --output-on-failure -j $(JOBS)

# -Wno-restrict: GCC 12 at -O3 warns falsely inside std::string's operator+.
bench:
	bash scripts/install-deps.sh --bench
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-Wno-restrict
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target vizmora playlist_bench registry_bench window_bench opening_bench vizmora_slow_reads bench_measure bench_frames bench_black
	bash bench/run.sh $(BENCH_BUILD)

fuzz:
	bash scripts/install-deps.sh --fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIZMORA_FUZZ=ON \
	  -DVIZMORA_SANITIZE=ON -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	bash scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
