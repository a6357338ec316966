#include "input/WiimoteManager.h"

#include <iostream>

WiimoteManager::WiimoteManager() = default;
WiimoteManager::~WiimoteManager() = default;

void WiimoteManager::findAndConnect() { std::cout << "Wiimotes = " << 0 << "\n"; }

void WiimoteManager::poll() {}
