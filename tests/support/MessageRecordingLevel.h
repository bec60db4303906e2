#pragma once
#include <string>
#include <vector>

#include "engine/Level.h"

namespace testsupport {

// An empty level that keeps every text sent to onMessage, in order.
class MessageRecordingLevel : public Engine::Level {
public:
    void onMessage(std::string message) override { messages.push_back(message); }

    // The texts received since the last call, and forgets them.
    std::vector<std::string> take() {
        std::vector<std::string> out;
        out.swap(messages);
        return out;
    }

    std::vector<std::string> messages;
};

} // namespace testsupport
