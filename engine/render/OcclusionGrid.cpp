#include "engine/render/OcclusionGrid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace libkub {

namespace {

// a x + b y + c: how far (in pixels) a point lies inside one edge of a quad.
struct InsideEdge {
    float a = 0.0f;
    float b = 0.0f;
    float c = 0.0f;
};

// Window depth as a x + b y + c over a flat face.
struct DepthPlane {
    float a = 0.0f;
    float b = 0.0f;
    float c = 0.0f;
};

// The plane through three corners, with twice the area of their triangle on screen (0 when they line up).
DepthPlane planeThrough(const Vector3f& p0, const Vector3f& p1, const Vector3f& p2, float& doubleArea)
{
    const float x1 = p1.x - p0.x;
    const float y1 = p1.y - p0.y;
    const float z1 = p1.z - p0.z;
    const float x2 = p2.x - p0.x;
    const float y2 = p2.y - p0.y;
    const float z2 = p2.z - p0.z;
    doubleArea = x1 * y2 - x2 * y1;
    if (doubleArea == 0.0f) {
        return {};
    }
    DepthPlane plane;
    plane.a = (z1 * y2 - z2 * y1) / doubleArea;
    plane.b = (x1 * z2 - x2 * z1) / doubleArea;
    plane.c = p0.z - plane.a * p0.x - plane.b * p0.y;
    return plane;
}

// One bit in each of the first `rows` pixel rows of a cell, at its first pixel column: a row's bits
// times this repeat them in each of those rows.
constexpr OcclusionGrid::Marks eachRow(int rows)
{
    OcclusionGrid::Marks pattern = 0;
    for (int y = 0; y < rows; ++y) {
        pattern |= OcclusionGrid::Marks{1} << (y * OcclusionGrid::cellWidth);
    }
    return pattern;
}

// The bits of pixel columns first to last of a cell's row.
constexpr OcclusionGrid::Marks columnsOfRow(int first, int last)
{
    return ((OcclusionGrid::Marks{1} << (last - first + 1)) - 1u) << first;
}

} // namespace

void OcclusionGrid::reset(const int (&viewport)[4])
{
    originX = viewport[0];
    originY = viewport[1];
    width = std::max(0, viewport[2]);
    height = std::max(0, viewport[3]);
    columns = (width + cellWidth - 1) / cellWidth;
    rows = (height + cellHeight - 1) / cellHeight;
    const std::size_t count = static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows);
    covered.assign(count, std::numeric_limits<float>::infinity());
    anyCellCovered = false;
    pending.assign(count, Pending{});
}

OcclusionGrid::Marks OcclusionGrid::wholeCell(int column, int row) const
{
    const int across = std::min(cellWidth, width - column * cellWidth);
    const int up = std::min(cellHeight, height - row * cellHeight);
    if (across == cellWidth && up == cellHeight) {
        constexpr Marks whole = columnsOfRow(0, cellWidth - 1) * eachRow(cellHeight);
        return whole;
    }
    return columnsOfRow(0, across - 1) * eachRow(up);
}

void OcclusionGrid::cover(const std::array<Vector3f, 4>& corners)
{
    for (const Vector3f& corner : corners) {
        if (!std::isfinite(corner.x) || !std::isfinite(corner.y) || !std::isfinite(corner.z)) {
            return;
        }
    }
    // The depth plane from the larger of the quad's two halves; the corners of a flat face lie on one
    // plane to the rounding, far inside depthMargin.
    float area012 = 0.0f;
    float area023 = 0.0f;
    const DepthPlane first = planeThrough(corners[0], corners[1], corners[2], area012);
    const DepthPlane second = planeThrough(corners[0], corners[2], corners[3], area023);
    const float area = area012 + area023;
    if (!(std::abs(area) >= 2.0f)) {
        return; // seen edge on, or under a pixel
    }
    const DepthPlane depth = std::abs(area012) >= std::abs(area023) ? first : second;
    // Each edge's inward side: on the left when the corners go counter-clockwise.
    const float turn = area > 0.0f ? 1.0f : -1.0f;
    std::array<InsideEdge, 4> edges;
    float lowY = corners[0].y;
    float highY = corners[0].y;
    for (std::size_t i = 0; i < 4; ++i) {
        const Vector3f& from = corners[i];
        const Vector3f& to = corners[(i + 1) % 4];
        const float dx = to.x - from.x;
        const float dy = to.y - from.y;
        const float length = std::hypot(dx, dy);
        if (length > 0.0f) {
            edges[i] = {-dy * turn / length, dx * turn / length, (dy * from.x - dx * from.y) * turn / length};
        } else {
            edges[i] = {0.0f, 0.0f, std::numeric_limits<float>::infinity()}; // two corners in one place
        }
        lowY = std::min(lowY, from.y);
        highY = std::max(highY, from.y);
    }
    // Along a pixel row, each edge that leans either way bounds the centres inside it on one side, at
    // x = offset + slope * y; an upright one (a == 0) lets the whole row in or none of it.
    struct RowBound {
        float offset = 0.0f;
        float slope = 0.0f;
    };
    std::array<RowBound, 4> lefts;
    std::array<RowBound, 4> rights;
    std::array<InsideEdge, 4> flats;
    std::size_t leftCount = 0;
    std::size_t rightCount = 0;
    std::size_t flatCount = 0;
    for (const InsideEdge& edge : edges) {
        if (edge.a > 0.0f) {
            lefts[leftCount++] = {(edgeMargin - edge.c) / edge.a, -edge.b / edge.a};
        } else if (edge.a < 0.0f) {
            rights[rightCount++] = {(edgeMargin - edge.c) / edge.a, -edge.b / edge.a};
        } else {
            flats[flatCount++] = edge;
        }
    }
    // The first and last pixel column (counted from the viewport's left) whose centre lies inside on the
    // pixel row `y`; first > last when none does.
    const auto centresOnRow = [&](int y, int& first, int& last) {
        const float centreY = static_cast<float>(originY + y) + 0.5f;
        for (std::size_t i = 0; i < flatCount; ++i) {
            if (!(edgeMargin - flats[i].b * centreY - flats[i].c <= 0.0f)) {
                first = 1;
                last = 0;
                return;
            }
        }
        float left = -std::numeric_limits<float>::infinity();
        float right = std::numeric_limits<float>::infinity();
        for (std::size_t i = 0; i < leftCount; ++i) {
            left = std::max(left, lefts[i].offset + lefts[i].slope * centreY);
        }
        for (std::size_t i = 0; i < rightCount; ++i) {
            right = std::min(right, rights[i].offset + rights[i].slope * centreY);
        }
        // Held within the row first, so that the rounding below is done on small numbers by integers
        // (std::floor and std::ceil are calls into the maths library on the baseline x86-64).
        const float from =
            std::clamp(left - 0.5f - static_cast<float>(originX), -1.0f, static_cast<float>(width));
        const float to =
            std::clamp(right - 0.5f - static_cast<float>(originX), -1.0f, static_cast<float>(width));
        const int fromFloor = static_cast<int>(from + 2.0f) - 2; // truncation is the floor at and above 0
        first = std::max(0, fromFloor + (static_cast<float>(fromFloor) < from ? 1 : 0));
        last = std::min(width - 1, static_cast<int>(to + 2.0f) - 2);
    };
    // Rows counted from corners held just outside the viewport first: a corner far off screen can lie
    // beyond what an int holds.
    const auto rowOf = [this](float y) {
        const float inside =
            std::clamp(y - static_cast<float>(originY), -1.0f, static_cast<float>(height + 1));
        return static_cast<int>(std::floor(inside / cellHeight));
    };
    const int firstRow = std::max(0, rowOf(lowY));
    const int lastRow = std::min(rows - 1, rowOf(highY));
    for (int row = firstRow; row <= lastRow; ++row) {
        // The centres inside on every pixel row of the band: between the latest first and the earliest
        // last of its lowest and highest row (the first centre of a convex face's rows is a convex
        // function of the row and the last a concave one, so their extremes over the band lie at its
        // ends). Each cell is marked at those centres in every row of the band.
        const int bandRows = std::min(cellHeight, height - row * cellHeight);
        int first = 0;
        int last = 0;
        int firstAtTop = 0;
        int lastAtTop = 0;
        centresOnRow(row * cellHeight, first, last);
        centresOnRow(row * cellHeight + bandRows - 1, firstAtTop, lastAtTop);
        first = std::max(first, firstAtTop);
        last = std::min(last, lastAtTop);
        if (first > last) {
            continue;
        }
        const Marks inEachRow = eachRow(bandRows);
        const float y0 = static_cast<float>(originY + row * cellHeight);
        const float deepestY = depth.b > 0.0f ? y0 + cellHeight : y0;
        for (int column = first / cellWidth; column <= last / cellWidth; ++column) {
            const int cellLeft = column * cellWidth;
            const float x0 = static_cast<float>(originX + cellLeft);
            const float deepest =
                depth.a * (depth.a > 0.0f ? x0 + cellWidth : x0) + depth.b * deepestY + depth.c;
            const Marks marks = columnsOfRow(std::max(first, cellLeft) - cellLeft,
                                             std::min(last, cellLeft + cellWidth - 1) - cellLeft) *
                                inEachRow;
            const Marks whole = wholeCell(column, row);
            float& coveredAt = covered[at(column, row)];
            if (marks == whole) {
                coveredAt = std::min(coveredAt, deepest);
                anyCellCovered = true;
                continue;
            }
            Pending& marked = pending[at(column, row)];
            marked.deepest = marked.marks == 0 ? deepest : std::max(marked.deepest, deepest);
            marked.marks |= marks;
            if (marked.marks == whole) {
                coveredAt = std::min(coveredAt, marked.deepest);
                anyCellCovered = true;
                marked.marks = 0;
            }
        }
    }
}

bool OcclusionGrid::hides(float left, float bottom, float right, float top, float nearest) const
{
    if (!std::isfinite(left) || !std::isfinite(bottom) || !std::isfinite(right) || !std::isfinite(top) ||
        !std::isfinite(nearest) || columns == 0 || rows == 0) {
        return false;
    }
    // A pixel more on every side, for the rasteriser's snapping of the corners.
    left -= 1.0f;
    bottom -= 1.0f;
    right += 1.0f;
    top += 1.0f;
    if (right < static_cast<float>(originX) || top < static_cast<float>(originY) ||
        left > static_cast<float>(originX + width) || bottom > static_cast<float>(originY + height)) {
        return false; // off the window: left to the frustum's culling
    }
    // Held within the viewport before it becomes an int (a corner near the eye's plane can lie far off).
    const auto cellOf = [](float at, int origin, int extent, int size, int count) {
        const float inside = std::clamp(at - static_cast<float>(origin), 0.0f, static_cast<float>(extent));
        return std::min(static_cast<int>(inside) / size, count - 1);
    };
    const int firstColumn = cellOf(left, originX, width, cellWidth, columns);
    const int lastColumn = cellOf(right, originX, width, cellWidth, columns);
    const int firstRow = cellOf(bottom, originY, height, cellHeight, rows);
    const int lastRow = cellOf(top, originY, height, cellHeight, rows);
    for (int column = firstColumn; column <= lastColumn; ++column) {
        for (int row = firstRow; row <= lastRow; ++row) {
            if (!(covered[at(column, row)] + depthMargin < nearest)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace libkub
