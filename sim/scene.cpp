#include "sim/scene.h"

#include <cmath>

namespace sim {
namespace {

uint64_t SplitMix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

Rgb Mix(const Rgb& a, const Rgb& b, double f) {
    return {a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f};
}

} // namespace

const std::vector<NamedColour>& ConveyorColours() {
    static const std::vector<NamedColour> colours = {
        {"belt", {900, 880, 820}},  {"red", {2600, 500, 420}},     {"green", {520, 2100, 700}},
        {"blue", {400, 700, 2500}}, {"yellow", {2800, 2500, 500}}, {"white", {3100, 3050, 2950}},
    };
    return colours;
}

Scene::Scene(const SceneOptions& options) : options_(options) {
    if (options_.targetMs < 2 * options_.edgeMs + 1) {
        options_.targetMs = 2 * options_.edgeMs + 1;
    }
    if (options_.gapMs < 1) {
        options_.gapMs = 1;
    }
    SetNoise(options_.noise);
}

size_t Scene::TargetOf(uint64_t n) const {
    const size_t targets = ConveyorColours().size() - 1;
    return 1 + static_cast<size_t>(SplitMix(n * 2654435761ULL + options_.seed) % targets);
}

Rgb Scene::ColourAt(uint64_t us) const {
    if (fixed_) {
        return fixedColour_;
    }
    const double periodUs = (options_.gapMs + options_.targetMs) * 1000.0;
    const double gapUs = options_.gapMs * 1000.0;
    const double edgeUs = options_.edgeMs * 1000.0;
    const double targetUs = options_.targetMs * 1000.0;
    const auto n = static_cast<uint64_t>(static_cast<double>(us) / periodUs);
    const double pos = static_cast<double>(us) - static_cast<double>(n) * periodUs;
    const Rgb belt = ConveyorColours()[0].rgb;
    if (pos < gapUs) {
        return belt;
    }
    const Rgb target = ConveyorColours()[TargetOf(n)].rgb;
    const double inTarget = pos - gapUs;
    if (edgeUs > 0 && inTarget < edgeUs) {
        return Mix(belt, target, inTarget / edgeUs);
    }
    if (edgeUs > 0 && inTarget > targetUs - edgeUs) {
        return Mix(target, belt, (inTarget - (targetUs - edgeUs)) / edgeUs);
    }
    return target;
}

bool Scene::LightBarrierAt(uint64_t us) const {
    if (fixed_) {
        return false;
    }
    const double periodUs = (options_.gapMs + options_.targetMs) * 1000.0;
    const auto n = static_cast<uint64_t>(static_cast<double>(us) / periodUs);
    const double inTarget =
        static_cast<double>(us) - static_cast<double>(n) * periodUs - options_.gapMs * 1000.0;
    const double edgeUs = options_.edgeMs * 1000.0;
    return inTarget >= edgeUs && inTarget < options_.targetMs * 1000.0 - edgeUs;
}

double Scene::Noise(uint64_t scan, int channel) const {
    if (options_.noise <= 0) {
        return 0;
    }
    // Sum of four uniform numbers (Irwin-Hall), scaled to unit variance.
    const uint64_t h = SplitMix(scan * 3 + static_cast<uint64_t>(channel) +
                                (static_cast<uint64_t>(options_.seed) << 40));
    double sum = 0;
    for (int i = 0; i < 4; ++i) {
        sum += static_cast<double>((h >> (16 * i)) & 0xFFFF) / 65536.0;
    }
    return (sum - 2.0) * 1.7320508075688772 * options_.noise;
}

void Scene::FixColour(const Rgb& rgb) {
    fixed_ = true;
    fixedColour_ = rgb;
}

void Scene::RunConveyor() {
    fixed_ = false;
}

std::string Scene::Describe(uint64_t us) const {
    if (fixed_) {
        return "fixed";
    }
    const double periodUs = (options_.gapMs + options_.targetMs) * 1000.0;
    const auto n = static_cast<uint64_t>(static_cast<double>(us) / periodUs);
    const double pos = static_cast<double>(us) - static_cast<double>(n) * periodUs;
    if (pos < options_.gapMs * 1000.0) {
        return ConveyorColours()[0].name;
    }
    return ConveyorColours()[TargetOf(n)].name;
}

} // namespace sim
