#pragma once
#include <string>

// Each writes its files below the output root (the repository root when the
// pack is regenerated) and returns false on any failure.
namespace assetgen {
bool generateVehicles(const std::string& root);   // cars, wheel, bullet form, rocket, mine, pick-up box, particles
bool generateHud(const std::string& root);        // help, loading and win screens, car icon
bool generateScenery(const std::string& root);    // blocks, ball, console, glass, pipe, parked car, paper roll, trophy, tables, laptop, sky dome
bool generateFont(const std::string& root);       // external/osaka_font.glf
bool generateSounds(const std::string& root);     // sounds/*.wav
bool generateConfig(const std::string& root);     // qelm.conf
} // namespace assetgen
