#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <thread>

#include "input/HIDDevice.h"

namespace wiim {

struct WiimoteButton {
    std::string name;
    unsigned mask = 0;
    bool held = false;
};

// One Wii Remote: a reader thread turns its input reports into button states and
// acceleration that the game thread reads every tick, without a lock; output reports
// (LEDs, rumble, set-up) go straight to the device from either thread. Write failures
// throw std::runtime_error("Couldn't write to the device."); a failed read stops the
// reader and is thrown to the game thread by rethrowReadError.
//
// A subclass that overrides the reactions must call close() in its own destructor, so the
// reader thread never calls into a half-destroyed object.
class Wiimote {
public:
    using Acceleration = std::array<std::int8_t, 3>;
    static constexpr std::size_t ButtonCount = 11;

    // device may be null (the remote was found but could not be opened): every write
    // then fails and nothing is ever read.
    Wiimote(int number, const std::string& path, std::unique_ptr<HIDDevice> device);
    virtual ~Wiimote();
    Wiimote(const Wiimote&) = delete;
    Wiimote& operator=(const Wiimote&) = delete;

    void setLEDs(bool led1, bool led2, bool led3, bool led4);
    void setRumble(bool on);
    // Asks for the accelerometer calibration and switches to buttons-and-acceleration
    // reports, sent only on change.
    void configure();
    void startListening();
    void stopListening();
    // Stops the reader and lets go of the device; the remote is useless afterwards.
    void close();

    // Throws std::out_of_range for a name that is not one of the remote's buttons.
    WiimoteButton button(const std::string& name) const;
    // Each axis is the report byte shifted by 128, so a byte of 128 reads 0.
    Acceleration acceleration() const;
    Acceleration calibrationZero() const;
    Acceleration calibrationOneG() const;
    void rethrowReadError() const;

    int getNumber() const { return number; }
    const std::string& getPath() const { return path; }
    bool isListening() const { return listening; }

protected:
    // Called on the reader thread for each button a 0x30 report shows held.
    virtual void buttonPressed(const WiimoteButton& button);
    // Called on the reader thread once for each button a 0x30 report shows let go.
    virtual void buttonReleased(const WiimoteButton& button);
    // Called on the reader thread after every 0x31 report, with the new acceleration.
    virtual void motion(const Acceleration& acceleration);

private:
    using AtomicAxes = std::array<std::atomic<std::int8_t>, 3>;

    void writeReport(std::initializer_list<unsigned char> report);
    void listen();
    void handleReport(const unsigned char* report, std::size_t length);
    void reportButtons(unsigned word);
    void storeButtons(unsigned word, std::array<bool, ButtonCount>& reported);
    WiimoteButton record(std::size_t index) const;
    bool anyHeld() const;
    void stopReader();

    const int number;
    const std::string path;
    std::unique_ptr<HIDDevice> device;
    std::array<std::atomic<bool>, ButtonCount> held{};
    AtomicAxes accel{};
    AtomicAxes zeroG{};
    AtomicAxes oneG{};
    std::atomic<bool> listening{false};
    std::atomic<bool> readFailed{false};
    std::thread reader;
};

}  // namespace wiim
