#pragma once
// Counting dark spots in a picture: how tests read the pips of a die face from an image or a frame.
#include <cstdint>
#include <vector>

namespace kubora::test {

// Counts the 4-connected areas of pixels darker than threshold (mean of r, g, b) inside the central
// square that leaves margin (a fraction of width and height) free on every side. Pixels are RGB
// triples, rows of width pixels.
int countDarkSpots(const std::vector<std::uint8_t>& rgb, int width, int height, double margin,
                   int threshold = 100);

} // namespace kubora::test
