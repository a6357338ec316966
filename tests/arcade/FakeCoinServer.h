#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A real UDP coin server on 127.0.0.1 for tests: answers every "Q" with what `answer`
// returns (nothing when it returns an empty string) and lowers its count on "U".
class FakeCoinServer {
public:
    FakeCoinServer();
    ~FakeCoinServer();

    std::string port() const { return std::to_string(boundPort); }
    void setCredits(int count) { credits = count; }
    int getCredits() const { return credits; }
    // Replaces the answer to "Q" (default: one byte holding the count).
    void setAnswer(std::function<std::string(int credits)> answerFunction);
    void setSilent(bool value) { silent = value; }
    std::string received() const;

private:
    void serve();

    int fd = -1;
    int boundPort = 0;
    std::atomic<int> credits{0};
    std::atomic<bool> silent{false};
    std::atomic<bool> running{true};
    mutable std::mutex lock;
    std::function<std::string(int)> answer;
    std::string log;
    std::thread worker;
};
