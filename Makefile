# The two set-up commands of the README: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test deps configure build bench screenshot package clean

run: build
	./$(BUILD)/src/kestrava

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j$(JOBS)

bench: deps
	bash bench/run

# docs/screenshot.png, taken under Xvfb.
screenshot: deps
	bash scripts/screenshot.sh

# The Debian package build-package/kestrava_<version>_<arch>.deb, built in Release for /usr.
PACKAGE_BUILD ?= build-package
package: deps
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
		-DBUILD_TESTING=OFF
	cmake --build $(PACKAGE_BUILD) -j$(JOBS)
	cd $(PACKAGE_BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(PACKAGE_BUILD)
