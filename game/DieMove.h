#pragma once
// The glide of one die from where it stood to its new stack slot, stepped by frame time.
#include "engine/math/Vector3f.h"

namespace Kubora {

class Die;

struct DieMove {
    // Moves the die by dt / duration of the whole way while the elapsed time has not passed the
    // duration, then puts it exactly on the target and sets done.
    void advance(double dt);

    Die* die = nullptr; // not owned
    libkub::Vector3f start;
    libkub::Vector3f target;
    double duration = 400.0; // milliseconds
    double elapsed = 0.0;
    bool done = false;
};

} // namespace Kubora
