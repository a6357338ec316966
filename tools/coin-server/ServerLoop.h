#pragma once

#include "CoinService.h"
#include "ConsoleInput.h"
#include "SignalWatch.h"
#include "UdpEndpoint.h"

// The server's one thread: waits on the socket, the signals and standard input, and
// hands each to the coin service. Runs until SIGTERM, SIGINT or "q"; SIGUSR1 inserts a
// coin, SIGHUP reopens the audit log, and a summary of refused credits that falls due
// wakes it too. The signals must be watched (SignalWatch) from before the server
// announces itself, or an early one would act by default.
class ServerLoop {
public:
    ServerLoop(const UdpEndpoint& endpoint, const SignalWatch& signals, CoinService& service, AuditLog& log);

    // Answers the process's exit status.
    int run();

private:
    void readDatagrams();
    // False when the server should stop.
    bool handleSignals();
    bool handleConsole();
    void showCount() const;
    // The poll's time-out: until the next refusal summary is due, or -1 for none.
    int millisecondsToNextSummary() const;

    const UdpEndpoint& endpoint;
    const SignalWatch& signals;
    CoinService& service;
    AuditLog& log;
    ConsoleInput console;
};
