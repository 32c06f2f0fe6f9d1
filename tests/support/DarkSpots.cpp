#include "tests/support/DarkSpots.h"

#include <utility>

namespace kubora::test {

int countDarkSpots(const std::vector<std::uint8_t>& rgb, int width, int height, double margin, int threshold)
{
    const int x0 = static_cast<int>(width * margin);
    const int x1 = static_cast<int>(width * (1.0 - margin));
    const int y0 = static_cast<int>(height * margin);
    const int y1 = static_cast<int>(height * (1.0 - margin));
    const auto dark = [&](int x, int y) {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return (rgb[i] + rgb[i + 1] + rgb[i + 2]) / 3 < threshold;
    };
    std::vector<bool> seen(static_cast<std::size_t>(width) * height, false);
    int spots = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (seen[y * width + x] || !dark(x, y)) {
                continue;
            }
            ++spots;
            std::vector<std::pair<int, int>> open{{x, y}};
            seen[y * width + x] = true;
            while (!open.empty()) {
                const auto [px, py] = open.back();
                open.pop_back();
                for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                    const int nx = px + dx;
                    const int ny = py + dy;
                    if (nx >= x0 && nx < x1 && ny >= y0 && ny < y1 && !seen[ny * width + nx] &&
                        dark(nx, ny)) {
                        seen[ny * width + nx] = true;
                        open.push_back({nx, ny});
                    }
                }
            }
        }
    }
    return spots;
}

} // namespace kubora::test
