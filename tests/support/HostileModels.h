#pragma once
// Hostile but valid COLLADA 1.4.1 models, as a modder might drop them into data/: written by the tests
// into a folder of their choosing (they are not shipped in data/). Each fits the tile's place (x and z
// within -1 .. 1, y about -0.2 .. 0.35) unless said otherwise, has outward normals, texture coordinates
// and a coloured material without an image (drawn through the white texture), so the game shows it.
#include <ostream>
#include <string>
#include <vector>

namespace kubora::test {

struct HostileModel {
    std::string name;     // also the file's name without ".dae"
    std::string what;     // one line: what is hostile about it
    bool closed = false;  // whether its back faces may be culled: every part closed and outward
    bool onScreen = true; // false for the far mesh, which as the game's tile lies far outside the view
};

// GoogleTest prints a model parameter by its name.
inline void PrintTo(const HostileModel& model, std::ostream* out)
{
    *out << model.name;
}

// The models, in a fixed order:
// - "inside-out-part": a box wound correctly beside a smaller box wound inside-out (normals outward);
//   the total volume is positive.
// - "inside-out": one box wound inside-out.
// - "mirrored": a wedge and its copy with the positions mirrored in x and the winding left as written,
//   so the copy is inside-out (normals mirrored with it).
// - "open-box": a box without its top, a tray.
// - "degenerate": a closed box with triangles added that have two equal corners, three equal corners,
//   or three distinct corners on one line.
// - "split-normals": an eight-sided prism whose every face has positions of its own (each position
//   repeated in the file) with normals split at the caps and smooth around the sides.
// - "far-thin": a closed box 2 x 0.0625 x 2 centred 100,000 units from the origin at (60000, 0, 80000).
const std::vector<HostileModel>& hostileModels();

// Writes the model as folder/<name>.dae; returns the path, or empty when it cannot be written.
std::string writeHostileModel(const HostileModel& model, const std::string& folder);

// Writes every model into the folder; returns their paths in the order above.
std::vector<std::string> writeHostileModels(const std::string& folder);

// For table-driven tests: the name as a GoogleTest parameter name ("inside-out-part" -> "InsideOutPart").
std::string hostileTestName(const std::string& name);

} // namespace kubora::test
