#pragma once

// The game's side of the arcade coin server link: a connected UDP socket to the server
// named by "coin_host" / "coin_port". Every tick asks for the credit count ("Q") and
// waits up to 20 ms for the answer, whose last byte is the count; spending a credit
// sends "U". Unconnected when no server is configured, and then always 0 credits.
class CoinClient {
public:
    CoinClient();
    ~CoinClient();
    CoinClient(const CoinClient&) = delete;
    CoinClient& operator=(const CoinClient&) = delete;

    // Once per tick: ask for the count and take the answer (0 when none comes in time).
    void poll();
    int getCredits() const { return credits; }
    // A credit paid for a start, a join or a respawn.
    void useCoin();
    bool isConnected() const { return socketFd >= 0; }

private:
    void connectTo(const char* host, const char* port);
    void send(char byte) const;
    // One "Q" and the count answered within 20 ms, else 0.
    int askServer() const;

    int socketFd = -1;
    int credits = 0;
};
