#pragma once

#include <sys/types.h>

#include <string>

#include "input/FileDescriptor.h"

// The arcade coin server as a child process on 127.0.0.1: started on construction,
// stopped (standard input closed, then waited for) on destruction. Each insertCoin
// writes one line to its standard input, which the server counts as a coin. Stop and
// start again on the same port to play a server that goes away and comes back.
//
// Starting and inserting wait, by asking the server for its count as the game does,
// until the server has caught up, so that the game sees the same credits on the same
// tick in every run of a seed. A server that keeps its credits in a state folder gets a
// fresh one of its own, removed at the end, so every run starts from nothing.
class CoinServerProcess {
public:
    // Starts `program` on a port that is free at the moment.
    explicit CoinServerProcess(std::string program);
    ~CoinServerProcess();
    CoinServerProcess(const CoinServerProcess&) = delete;
    CoinServerProcess& operator=(const CoinServerProcess&) = delete;

    void start();
    void stop();
    void insertCoin();
    bool isRunning() const { return child > 0; }
    int getPort() const { return port; }
    int getCoinsInserted() const { return coinsInserted; }

private:
    static int freeUdpPort();
    // The server's count, or -1 when it does not answer within a moment.
    int askCredits() const;

    const std::string program;
    const int port;
    const std::string stateFolder;
    FileDescriptor probe;
    pid_t child = -1;
    int input = -1;
    int coinsInserted = 0;
};
