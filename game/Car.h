#pragma once
#include <string>

#include "game/Vehicle.h"

namespace Vehicles {

// The one concrete car: sized from its mesh, normalised to a length of 6
// units, with its chassis box, wheel points and carry point in proportion.
class Car : public Engine::Vehicle {
public:
    explicit Car(std::string meshPath);
    ~Car() override;

    // The car's own mesh and its scale (also after the power-up mode).
    void loadModel() override;

    float length = 0.0f; // mesh extents times the car's scale
    float height = 0.0f;
    float width = 0.0f;
    std::string meshPath;
};

} // namespace Vehicles
