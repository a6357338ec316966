// margin-coin-server: keeps an arcade cabinet's paid credits for Margin Brawler.
// See margin-coin-server(8) and the README's operator section.
#include <signal.h>

#include <filesystem>
#include <iostream>
#include <string>

#include "AddressFilter.h"
#include "AuditLog.h"
#include "CoinService.h"
#include "CreditLedger.h"
#include "ServerLoop.h"
#include "ServerOptions.h"
#include "SignalWatch.h"
#include "UdpEndpoint.h"

namespace {

int failWith(const std::string& message) {
    std::cerr << "margin-coin-server: " << message << "\n";
    return 1;
}

void makeFolderFor(const std::string& file) {
    const std::filesystem::path folder = std::filesystem::path(file).parent_path();
    std::error_code ignored;
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, ignored);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // A file size limit must fail a write (and refuse its coin), not kill the server.
    signal(SIGXFSZ, SIG_IGN);
    const SignalWatch signals({SIGTERM, SIGINT, SIGUSR1, SIGHUP});
    std::string error;
    const std::optional<ServerOptions> options = ServerOptions::parse(argc, argv, error);
    if (!options && error == "help") {
        std::cout << ServerOptions::usage();
        return 0;
    }
    if (!options) {
        std::cerr << "margin-coin-server: " << error << "\n" << ServerOptions::usage();
        return 2;
    }
    const std::optional<AddressFilter> filter = AddressFilter::parse(options->allowList, error);
    if (!filter) {
        return failWith("--allow: " + error);
    }
    if (options->logFile != "-") {
        makeFolderFor(options->logFile);
    }
    AuditLog log(options->logFile);
    if (!log.open(error)) {
        return failWith("cannot open the audit log " + error);
    }
    makeFolderFor(options->stateFile);
    CreditLedger ledger{StateFile(options->stateFile)};
    const StateFile::Reading reading = ledger.restore();
    if (!reading.problem.empty()) {
        std::cerr << "margin-coin-server: " << reading.problem << "\n";
        log.write("WARNING: " + reading.problem);
    }
    if (!reading.usable) {
        return failWith("not starting, so that nothing overwrites the credits it may hold");
    }
    // Only a crash between a coin's audit line and its count leaves the two apart.
    const std::optional<int64_t> logged = log.lastCount();
    if (logged && *logged != ledger.credits()) {
        const std::string mismatch = "the audit log last gave credits " + std::to_string(*logged) +
                                     " but the state file holds " + std::to_string(ledger.credits());
        std::cerr << "margin-coin-server: " << mismatch << "\n";
        log.write("WARNING: " + mismatch);
    }
    // A server that cannot store a coin would lose it at the next restart: say so now.
    if (!ledger.state().write(ledger.credits(), error)) {
        return failWith("cannot store the credits: " + error);
    }
    const UdpEndpoint endpoint(options->bindAddress, options->port, error);
    if (!endpoint.isOpen()) {
        return failWith(error);
    }
    CoinService service(ledger, log, *filter);
    log.write("started on " + options->bindAddress + " port " + std::to_string(options->port) + ", credits " +
              std::to_string(ledger.credits()));
    std::cout << "Coin server on " << options->bindAddress << " port " << options->port << ", " << ledger.credits()
              << " credits (state: " << options->stateFile << ", audit log: " << options->logFile << ").\n"
              << "Enter inserts a coin, s shows the count, q quits." << std::endl;
    return ServerLoop(endpoint, signals, service, log).run();
}
