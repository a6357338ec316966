#include "arcade/CoinClient.h"

#include <iostream>

CoinClient::CoinClient() = default;
CoinClient::~CoinClient() = default;

void CoinClient::poll() {}

void CoinClient::useCoin() {
    if (credits < 1) {
        std::cerr << "Using a coin when we have none!\n";
    } else {
        --credits;
    }
}
