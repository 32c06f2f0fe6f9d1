#!/usr/bin/env python3
"""Compares a picture drawn on another architecture with the same picture drawn on amd64.

The bound for another architecture: a pixel's difference is the largest difference of its three 8-bit
channels.
- Any pixel may differ by up to 2 levels. Another architecture's floating point rounds differently
  (arm64 fuses multiply-adds, rounding a lighting or depth term once where amd64 rounds twice), and a
  value that lies near the boundary between two levels then lands on the other one; the lighting and the
  texture lookup each add such a step, hence 2 and not 1.
- By more than 2 levels only edge pixels: a triangle edge through a pixel centre may fall to the
  neighbouring pixel. They form lines one pixel wide (no 2 x 2 square of pixels that all differ by more
  than 2 levels holds any of them), at most 0.1 % of the pixels (rounded down).
A missing shadow, a face lit wrongly or a part not drawn changes whole areas and fails. The die drawn by
kubora-view at 320 x 240 on Debian 13, arm64 under qemu against amd64: 3888 pixels differ, 3451 by one
level, 388 by 2, and 49 by 3 or 4, all of those on edges (on Debian 12 it was first seen as 437 pixels
by 2 levels, 32 of them away from edges).

Prints the counts: pixels that differ, by how much, and how many lie away from any edge (where the
amd64 picture changes by no more than 8 levels across the pixel's 3 x 3 neighbourhood).
  scripts/compare-pictures.py REFERENCE.png OTHER.png     (ImageMagick's convert reads the pictures)
Exits 0 within the bound, 1 beyond it, 2 when a picture cannot be read or the sizes differ.
"""
import subprocess
import sys


def read_rgb(path):
    """The picture as (width, height, bytes of RGB, top row first)."""
    try:
        size = subprocess.run(["identify", "-format", "%w %h", path], check=True, capture_output=True, text=True)
        width, height = (int(word) for word in size.stdout.split())
        rgb = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
    except (subprocess.CalledProcessError, ValueError) as error:
        sys.exit(f"compare-pictures: {path}: cannot read the picture ({error})")
    if len(rgb) != width * height * 3:
        sys.exit(f"compare-pictures: {path}: {len(rgb)} bytes of RGB for {width} x {height}")
    return width, height, rgb


def main():
    if len(sys.argv) != 3:
        sys.exit("compare-pictures: usage: REFERENCE.png OTHER.png")
    width, height, reference = read_rgb(sys.argv[1])
    other_width, other_height, other = read_rgb(sys.argv[2])
    if (width, height) != (other_width, other_height):
        print(f"compare-pictures: {sys.argv[2]} is {other_width} x {other_height}, not {width} x {height}")
        sys.exit(2)

    def difference(index):
        return max(abs(reference[3 * index + c] - other[3 * index + c]) for c in range(3))

    def flat(x, y):  # no edge in the reference around (x, y)
        values = [[], [], []]
        for ny in range(max(0, y - 1), min(height, y + 2)):
            for nx in range(max(0, x - 1), min(width, x + 2)):
                for c in range(3):
                    values[c].append(reference[3 * (ny * width + nx) + c])
        return all(max(v) - min(v) <= 8 for v in values)

    differences = [difference(i) for i in range(width * height)]
    counts = {}
    for d in differences:
        if d:
            counts[d] = counts.get(d, 0) + 1
    beyond = [i for i, d in enumerate(differences) if d > 2]

    def in_square(index):  # a 2 x 2 square of pixels all beyond 2 levels holds it
        x, y = index % width, index // width
        for sx in (x - 1, x):
            for sy in (y - 1, y):
                if 0 <= sx < width - 1 and 0 <= sy < height - 1:
                    if all(differences[(sy + dy) * width + sx + dx] > 2 for dx in (0, 1) for dy in (0, 1)):
                        return True
        return False

    squares = sum(1 for i in beyond if in_square(i))
    allowed = width * height // 1000
    away = sum(1 for i, d in enumerate(differences) if d and flat(i % width, i // width))
    beyond_away = sum(1 for i in beyond if flat(i % width, i // width))
    by_level = ", ".join(f"{n} by {d}" for d, n in sorted(counts.items())) or "none"
    print(f"compare-pictures: {width} x {height}: {sum(counts.values())} pixels differ ({by_level}); "
          f"{away} of them away from any edge; {len(beyond)} by more than 2 levels, {beyond_away} of those "
          f"away from any edge (at most {allowed} may differ so, none in a 2 x 2 square of them: {squares})")
    within = len(beyond) <= allowed and squares == 0
    print("compare-pictures: " + ("within" if within else "beyond") + " the bound for another architecture")
    sys.exit(0 if within else 1)


main()
