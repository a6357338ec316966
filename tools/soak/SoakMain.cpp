// A soak of the real game: hours of random two-player play over the bundled data, in
// home mode and then in arcade mode against a real coin server, without a window.
// Watches for enemies walking on the spot, a game that stops getting anywhere and
// memory that keeps growing; sanitizer builds add their own reports. Exits non-zero on
// any finding.
//
//   soak [--seed N] [--ticks N] [--data DIR] [--coin-server PROGRAM]
#include <AL/alut.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>

#include "Soak.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

// AddressSanitizer stops at its first report, UndefinedBehaviorSanitizer carries on and
// the soak fails at the end; either way the report is placed by its tick.
uint32_t seed = 0;
int sanitizerReports = 0;

void sayWhere() {
    std::cout << "soak: sanitizer report at tick " << Soak::tickInProgress() << " (seed " << seed << ")"
              << std::endl;
}

bool parse(int argc, char** argv, Soak::Options& options, std::string& data) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--seed") {
            options.seed = static_cast<uint32_t>(std::strtoul(value, nullptr, 10));
        } else if (name == "--ticks") {
            options.ticks = std::strtol(value, nullptr, 10);
        } else if (name == "--data") {
            data = value;
        } else if (name == "--coin-server") {
            options.coinServer = value;
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && options.ticks > 0;
}

}  // namespace

// The sanitizer runtime calls this after each report it prints; without one it is never called.
extern "C" void __ubsan_on_report() {
    ++sanitizerReports;
    sayWhere();
}

int main(int argc, char** argv) {
    Soak::Options options;
    options.seed = std::random_device{}();
    options.coinServer = MB_COIN_SERVER;
    std::string data = MB_DATA_DIR;
    if (!parse(argc, argv, options, data)) {
        std::cerr << "usage: soak [--seed N] [--ticks N] [--data DIR] [--coin-server PROGRAM]\n";
        return 2;
    }
    seed = options.seed;
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(sayWhere);
#endif
    // A coin server that has gone away must not take the soak with it.
    std::signal(SIGPIPE, SIG_IGN);
    setenv("ALSOFT_DRIVERS", "null", 0);
    if (chdir(data.c_str()) != 0) {
        std::cerr << "soak: cannot change into " << data << "\n";
        return 2;
    }
    std::cout << "soak: seed " << options.seed << ", " << options.ticks << " ticks, data " << data << std::endl;
    alutInitWithoutContext(nullptr, nullptr);

    Soak soak(options);
    soak.run();
    return soak.report(sanitizerReports) ? 0 : 1;
}
