# Quillmark: one-command set-up, build, test and benchmark.
# Every target installs what is missing with apt-get first (run as root on a fresh machine).

DEB_PACKAGES := cmake g++ make libgtest-dev libbenchmark-dev clang-format libcli11-dev \
                nlohmann-json3-dev qt6-base-dev fonts-dejavu-core fonts-liberation2 python3 git \
                librsvg2-bin desktop-file-utils appstream shared-mime-info libglib2.0-bin man-db \
                groff-base dpkg-dev file
JOBS ?= $(shell nproc)

FUZZ_SECONDS ?= 30

PREFIX ?= /usr/local

.PHONY: all deps build build-asan lint test install-check install deb bench fuzz run screenshot clean

all: build

deps:
	@missing=""; for p in $(DEB_PACKAGES); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

build: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQUILLMARK_BENCH=ON
	cmake --build build -j $(JOBS)

build-asan: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQUILLMARK_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)

lint: deps
	@find src tests bench -name '*.h' -o -name '*.cpp' | xargs -r clang-format --dry-run -Werror
	@echo "lint: ok"
	@python3 scripts/check_layers.py

test: lint build build-asan
	cd build && ctest --output-on-failure -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --output-on-failure -j $(JOBS)
	scripts/check_install.sh build

# Installs into a staging folder and checks the result, builds the Debian package and, as
# root, installs and removes it (QUILLMARK_DEB_INSTALL=0 to skip that).
install-check: build
	scripts/check_install.sh build

install: build
	cmake --install build --prefix $(PREFIX)

# build/quillmark_VERSION-1_ARCH.deb, its dependencies computed from the programs' libraries.
deb: build
	rm -f build/quillmark_*.deb
	cd build && cpack -G DEB

# The program runs in "Project Files", so that its default folders ../Project Files and
# ../Data Files are the samples.
run: build
	cd "Project Files" && ../build/quillmark SP500.xml

# The picture in the README: the S&P 500 sample as it opens on a first start, on Qt's offscreen
# platform with throwaway settings.
screenshot: build
	mkdir -p docs
	scratch=$$(mktemp -d) && \
	    cd "Project Files" && \
	    XDG_CONFIG_HOME=$$scratch XDG_RUNTIME_DIR=$$scratch QT_QPA_PLATFORM=offscreen \
	    ../build/quillmark --screenshot ../docs/main-window.png; \
	    status=$$?; rm -rf $$scratch; exit $$status

bench: build
	./build/bench/quillmark_bench --benchmark_min_time=0.5

# Each fuzz target runs for FUZZ_SECONDS, starting from the sample files; the first sanitizer
# report (address or undefined behaviour) stops the run and fails the target.
FUZZ_ENV := ASAN_OPTIONS=halt_on_error=1:abort_on_error=1 \
            UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1
fuzz: deps
	@command -v clang++ >/dev/null || (apt-get update -qq && apt-get install -y -qq clang)
	CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMARK_FUZZ=ON \
	    -DQUILLMARK_TESTS=OFF
	cmake --build build-fuzz -j $(JOBS) --target roundtrip_fuzz importer_fuzz
	mkdir -p build-fuzz/corpus/reader build-fuzz/corpus/importer
	cp "Project Files"/*.xml build-fuzz/corpus/reader/
	grep -v '<LIMITS' "Project Files/STOCKS.xml" > build-fuzz/corpus/reader/no-window.xml
	head -c 3000 "Project Files/SP500.xml" > build-fuzz/corpus/reader/cut-short.xml
	for f in "Data Files"/*.csv; do printf '\001\002\007' | cat - "$$f" | head -c 20000 \
	    > "build-fuzz/corpus/importer/$$(basename "$$f")"; done
	$(FUZZ_ENV) ./build-fuzz/fuzz/roundtrip_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=65536 build-fuzz/corpus/reader
	$(FUZZ_ENV) ./build-fuzz/fuzz/importer_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=65536 build-fuzz/corpus/importer

clean:
	rm -rf build build-asan build-fuzz
