#pragma once

// The display's side of frame pacing, set up once the window's GL context is current:
// asks the driver for buffer swaps that wait for the display's refresh (GLX swap
// control: the EXT, MESA or SGI extension, whichever is offered) or that happen at once,
// and learns the refresh rate where the driver tells it (GLX_OML_sync_control). Software
// renderers and virtual X servers usually offer neither; frames are then paced by the
// clock (see FramePacer).
class SwapControl {
public:
    // `vsync`: swaps wait for the refresh where the driver can do it.
    explicit SwapControl(bool vsync);

    // Whether swaps now wait for the display's refresh.
    bool swapWaits() const { return waits; }
    // The display's refresh rate in hertz; 0 when the driver does not say.
    double refreshHz() const { return hz; }

private:
    bool waits = false;
    double hz = 0.0;
};
