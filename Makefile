# Two commands do everything on a fresh Debian machine: `make run` and `make test`.
SHELL := /bin/bash
BUILD ?= build
JOBS ?= $(shell nproc)
PACKAGES := build-essential cmake ninja-build ccache pkg-config git \
            libgtest-dev libgmock-dev libbenchmark-dev \
            qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl1-mesa-dev libxkbcommon-dev xvfb \
            tigervnc-standalone-server tigervnc-tools libxkbcommon-x11-0 \
            libsqlite3-dev sqlite3 libpq-dev postgresql-15 postgresql-client-15 \
            libcpp-httplib-dev libmicrohttpd-dev libssl-dev clang-14 libclang-rt-14-dev \
            fonts-dejavu-core locales

.PHONY: all deps configure build test run bench clean format ci server

all: build

# Installs what is missing of $(1).
define install_missing
	@missing=$$(for p in $(1); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  SUDO=$$( [ $$(id -u) -eq 0 ] || echo sudo ); \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

$(BUILD)/build.ninja:
	cmake --preset default -B $(BUILD)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# On a developer's machine the optimised build and its suite; under CI (CI=true) the stages of
# scripts/ci-stages.sh: warnings as errors, the sanitizers and the fuzz targets.
ifeq ($(CI),true)
test: deps
	scripts/ci-stages.sh
else
test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 600
endif

run: build
	scripts/run.sh $(BUILD)

bench: build
	scripts/bench.sh $(BUILD)

# Formats the files given as FILES=..., or every tracked source when none are given.
format:
	$(call install_missing,clang-format)
	$(if $(FILES),clang-format -i $(FILES),git ls-files '*.cpp' '*.h' | xargs clang-format -i)

# The continuous-integration run: warnings as errors, the sanitizer suites, the fuzz targets.
ci:
	CI=true $(MAKE) test

# The application server alone, without Qt or the test frameworks.
server:
	cmake --preset server
	cmake --build --preset server -j $(JOBS)

clean:
	rm -rf $(BUILD)
