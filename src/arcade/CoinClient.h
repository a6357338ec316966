#pragma once

// The game's side of the arcade coin server link (UDP). Unconnected when no server is
// configured; an unconnected client always reports 0 credits.
class CoinClient {
public:
    CoinClient();
    ~CoinClient();
    CoinClient(const CoinClient&) = delete;
    CoinClient& operator=(const CoinClient&) = delete;

    void poll();
    int getCredits() const { return credits; }
    void useCoin();
    bool isConnected() const { return socketFd >= 0; }

private:
    int socketFd = -1;
    int credits = 0;
};
