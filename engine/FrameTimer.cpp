#include "engine/FrameTimer.h"

#include "platform/Glfw2.h"

FrameTimer* FrameTimer::instance = nullptr;

FrameTimer::FrameTimer() : lastTime(glfw2::getTime()) {}

void FrameTimer::tick() {
    const double now = glfw2::getTime();
    delta = now - lastTime;
    accumulated += delta;
    frames += 1;
    if (accumulated > 1.0) {
        fps = static_cast<float>(frames / accumulated);
        accumulated = 0.0;
        frames = 0;
    }
    lastTime = now;
}

void FrameTimer::update() {
    if (!instance) instance = new FrameTimer();
    instance->tick();
}

float FrameTimer::getDelta() { return instance ? static_cast<float>(instance->delta) : 0.0f; }

float FrameTimer::getFps() { return instance ? instance->fps : 0.0f; }

void FrameTimer::reset() {
    delete instance;
    instance = nullptr;
}
