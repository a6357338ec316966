#pragma once

#include <sys/types.h>

#include <string>

// The arcade coin server as a child process on 127.0.0.1: started on construction,
// stopped (standard input closed, then waited for) on destruction. Each insertCoin
// writes one line to its standard input, which the server counts as a coin. Stop and
// start again on the same port to play a server that goes away and comes back.
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

    const std::string program;
    const int port;
    pid_t child = -1;
    int input = -1;
    int coinsInserted = 0;
};
