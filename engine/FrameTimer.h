#pragma once

// Measures the time between two frames with the window library's clock.
class FrameTimer {
public:
    // Creates the timer on first use, then measures one frame.
    static void update();
    // The last time step in seconds; 0 before the first update.
    static float getDelta();
    // Frames per second over the last second or so; 0 until first computed.
    static float getFps();
    // Forgets the timer, so the next update starts afresh (tests only).
    static void reset();

private:
    FrameTimer();
    void tick();

    static FrameTimer* instance;
    double lastTime;
    double delta = 0.0;
    int frames = 0;
    double accumulated = 0.0;
    float fps = 0.0f;
};
