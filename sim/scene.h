// The simulated scene in front of the sensor: a conveyor that carries
// targets of several colours past the optics, with stretches of belt
// (background) between them, a light barrier that sees each target, and
// receiver noise. Colours are given in raw counts at the reference setting
// (POWER 500, GAIN code 5, LED DC, INTEGRAL 1), so a fixed colour of
// 1000 2000 3000 reads RAW RED 1000, RAW GREEN 2000, RAW BLUE 3000 there.
// Everything is a pure function of time, scan number and seed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct Rgb {
    double r = 0;
    double g = 0;
    double b = 0;
};

struct NamedColour {
    const char* name;
    Rgb rgb;
};

// The belt (index 0) and the targets (1..), in raw counts at the reference setting.
const std::vector<NamedColour>& ConveyorColours();

struct SceneOptions {
    double targetMs = 150; // time a target takes to pass the optics
    double gapMs = 100;    // belt between two targets
    double edgeMs = 4;     // a target's edge moving through the light spot
    double noise = 6;      // standard deviation of the receiver noise, raw counts
    unsigned seed = 1;     // order of the targets and the noise
};

class Scene {
public:
    explicit Scene(const SceneOptions& options = {});

    // The colour in front of the optics at time `us` (microseconds since start).
    Rgb ColourAt(uint64_t us) const;
    // The light barrier: high while a target (not its edges) is in front.
    // Always low while the scene is fixed to one colour.
    bool LightBarrierAt(uint64_t us) const;
    // Receiver noise of one channel in one scan: normally distributed, zero
    // mean, standard deviation `noise`. Deterministic in seed, scan and channel.
    double Noise(uint64_t scan, int channel) const;

    void FixColour(const Rgb& rgb);
    void RunConveyor();
    bool Fixed() const { return fixed_; }
    void SetNoise(double sigma) { options_.noise = sigma < 0 ? 0 : sigma; }
    const SceneOptions& Options() const { return options_; }
    // Name of the target in front at `us` ("belt" between targets, "fixed").
    std::string Describe(uint64_t us) const;

private:
    // Index into ConveyorColours() of the n-th target carried past.
    size_t TargetOf(uint64_t n) const;

    SceneOptions options_;
    bool fixed_ = false;
    Rgb fixedColour_;
};

} // namespace sim
