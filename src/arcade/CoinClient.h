#pragma once

#include "arcade/CoinSocket.h"

// The game's side of the arcade coin server link, to the server named by "coin_host" /
// "coin_port". Each poll clears away answers that came too late for earlier polls, asks
// for the count ("Q") and waits up to 20 ms for the answer, whose last byte is the count.
// An answer that is late leaves the last known count standing (a late one read later is
// known too); only a server silent for about a second (50 polls) takes the count to 0,
// so nothing is sold for long while the server cannot hear of it.
//
// Spending a credit ("U") lowers the count at once and moves the link to a fresh socket:
// every answer read after that replies to a question asked after the "U", so no count
// from before the credit was used can let another player in. The server sees only "Q"
// and "U" from the cabinet's address, as ever.
//
// Unconnected when no server is configured, and then always 0 credits.
class CoinClient {
public:
    CoinClient();

    // Once per tick: ask for the count and take the answer.
    void poll();
    int getCredits() const { return credits; }
    // A game set aside is brought back: the count it was set aside with, until the next
    // poll says otherwise.
    void restoreCredits(int count) { credits = count; }
    // A credit paid for a start, a join or a respawn.
    void useCoin();
    bool isConnected() const { return server.length != 0; }

private:
    void connectTo(const char* host, const char* port);
    // One question and the count to keep after it.
    int askServer();

    CoinSocket::Peer server;
    CoinSocket link;
    int credits = 0;
    int pollsUnanswered = 0;
};
