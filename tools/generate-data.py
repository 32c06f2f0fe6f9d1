#!/usr/bin/env python3
"""Writes every model and image under data/ (except the shader sources).

    python3 tools/generate-data.py [--out DIR] [--only NAME,...]

Standard library only: PNG files are written with zlib and struct, COLLADA 1.4.1 as plain XML text. The output is
deterministic, so running it twice gives identical files. NAME is one of board, tile, die, duck, sky, dice, icon;
the icon (the desktop entry's picture, not read by the game) goes to packaging/icons/ or --icon-out DIR, in the
hicolor theme's layout: one PNG per size under <size>x<size>/apps/ and an SVG under scalable/apps/.

Conventions the game relies on:
- Images are loaded bottom-up, so texture coordinate (u, v) names the pixel in column u * width and in row
  (1 - v) * height counted from the top of the file; every painter below works in (u, v).
- Each model is one <triangles> group with POSITION, NORMAL and TEXCOORD, wound counter-clockwise seen from outside,
  and names its colour texture as the first image, relative to the .dae's folder.
- Geometry ids differ between the files: the vertex-buffer cache shares buffers by geometry id.
"""

import argparse
import math
import os
import random
import struct
import sys
import zlib

# --------------------------------------------------------------------------------------------------------------------
# Small vector helpers (tuples of three floats)


def add(a, b):
    return (a[0] + b[0], a[1] + b[1], a[2] + b[2])


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def mul(a, s):
    return (a[0] * s, a[1] * s, a[2] * s)


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def length(a):
    return math.sqrt(dot(a, a))


def normalize(a):
    n = length(a)
    return (a[0] / n, a[1] / n, a[2] / n) if n > 1e-12 else (0.0, 1.0, 0.0)


def clamp(x, lo=0.0, hi=1.0):
    return lo if x < lo else hi if x > hi else x


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


# --------------------------------------------------------------------------------------------------------------------
# Deterministic value noise (2D), tileable with period 256 lattice cells


class Noise:
    def __init__(self, seed):
        rng = random.Random(seed)
        self.perm = list(range(256))
        rng.shuffle(self.perm)
        self.perm += self.perm
        self.values = [rng.random() for _ in range(256)]

    def lattice(self, x, y):
        return self.values[self.perm[self.perm[x & 255] + (y & 255)]]

    def value(self, x, y):
        xi, yi = math.floor(x), math.floor(y)
        fx, fy = x - xi, y - yi
        sx, sy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
        a = self.lattice(xi, yi)
        b = self.lattice(xi + 1, yi)
        c = self.lattice(xi, yi + 1)
        d = self.lattice(xi + 1, yi + 1)
        top = a + (b - a) * sx
        bottom = c + (d - c) * sx
        return top + (bottom - top) * sy

    def fbm(self, x, y, octaves=4, gain=0.5):
        total, amplitude, norm = 0.0, 1.0, 0.0
        for _ in range(octaves):
            total += amplitude * self.value(x, y)
            norm += amplitude
            amplitude *= gain
            x, y = x * 2.03 + 17.1, y * 2.03 + 5.7
        return total / norm


# --------------------------------------------------------------------------------------------------------------------
# PNG writing (8-bit RGB, colour type 2)


def png_bytes(width, height, rows, channels=3):
    """rows: height bytearrays of channels * width bytes (RGB or RGBA), the top row of the picture first."""
    raw = bytearray()
    previous = bytes(channels * width)
    for row in rows:
        # Choose per row between no filter and the "up" filter by the smaller sum of magnitudes.
        up = bytes((row[i] - previous[i]) & 255 for i in range(len(row)))
        cost_none = sum(b if b < 128 else 256 - b for b in row)
        cost_up = sum(b if b < 128 else 256 - b for b in up)
        if cost_up < cost_none:
            raw.append(2)
            raw += up
        else:
            raw.append(0)
            raw += row
        previous = row

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2 if channels == 3 else 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
            chunk(b"IEND", b""))


def to_byte(x):
    return int(clamp(x) * 255.0 + 0.5)


def paint(width, height, colour_at):
    """Calls colour_at(u, v) for the centre of every pixel, in texture coordinates, and returns the PNG rows."""
    rows = []
    for row in range(height):
        v = 1.0 - (row + 0.5) / height
        line = bytearray()
        for col in range(width):
            r, g, b = colour_at((col + 0.5) / width, v)
            line += bytes((to_byte(r), to_byte(g), to_byte(b)))
        rows.append(line)
    return rows


def write_png(path, width, height, rows, channels=3):
    assert len(rows) == height and all(len(r) == channels * width for r in rows)
    with open(path, "wb") as f:
        f.write(png_bytes(width, height, rows, channels))


# --------------------------------------------------------------------------------------------------------------------
# Triangle meshes and COLLADA output


class Mesh:
    """Triangles with one position, normal and texture coordinate per corner; equal values are shared on output."""

    def __init__(self):
        self.triangles = []  # each: three (position, normal, texcoord)

    def triangle(self, corners):
        self.triangles.append(tuple(corners))

    def quad(self, corners):
        """Four corners in counter-clockwise order seen from outside."""
        a, b, c, d = corners
        self.triangle((a, b, c))
        self.triangle((a, c, d))

    def flat_quad(self, positions, texcoords):
        n = normalize(cross(sub(positions[1], positions[0]), sub(positions[2], positions[0])))
        self.quad([(p, n, t) for p, t in zip(positions, texcoords)])

    def flat_triangle(self, positions, texcoords):
        n = normalize(cross(sub(positions[1], positions[0]), sub(positions[2], positions[0])))
        self.triangle([(p, n, t) for p, t in zip(positions, texcoords)])

    def extend(self, other):
        self.triangles += other.triangles

    def bounds(self):
        points = [c[0] for t in self.triangles for c in t]
        return (tuple(min(p[i] for p in points) for i in range(3)), tuple(max(p[i] for p in points) for i in range(3)))


def number(x, decimals):
    text = f"{x:.{decimals}f}"
    if "." in text:
        text = text.rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def dae_text(name, mesh, image_file, colours, decimals):
    """One COLLADA 1.4.1 document: asset, the colour image, a phong effect, its material, one triangles group."""
    lists = ([], [], [])
    index_maps = ({}, {}, {})
    p = []
    digits = (decimals, 4, 5)
    for tri in mesh.triangles:
        for corner in tri:
            for k in range(3):
                key = tuple(number(x, digits[k]) for x in corner[k])
                if key not in index_maps[k]:
                    index_maps[k][key] = len(lists[k])
                    lists[k].append(key)
                p.append(index_maps[k][key])

    def source(kind, values, params):
        stride = len(params)
        flat = " ".join(" ".join(v) for v in values)
        param_xml = "".join(f'<param name="{n}" type="float"/>' for n in params)
        return (f'        <source id="{name}-{kind}">\n'
                f'          <float_array id="{name}-{kind}-array" count="{len(values) * stride}">{flat}</float_array>\n'
                f'          <technique_common>\n'
                f'            <accessor source="#{name}-{kind}-array" count="{len(values)}" stride="{stride}">'
                f'{param_xml}</accessor>\n'
                f'          </technique_common>\n'
                f'        </source>\n')

    def colour(c):
        return " ".join(number(x, 3) for x in c)

    indices = " ".join(str(i) for i in p)
    return f"""<?xml version="1.0" encoding="utf-8"?>
<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">
  <asset>
    <contributor>
      <author>Kubora</author>
      <authoring_tool>tools/generate-data.py</authoring_tool>
    </contributor>
    <created>2026-01-01T00:00:00</created>
    <modified>2026-01-01T00:00:00</modified>
    <unit name="meter" meter="1"/>
    <up_axis>Y_UP</up_axis>
  </asset>
  <library_images>
    <image id="{name}-image" name="{name}-image">
      <init_from>{image_file}</init_from>
    </image>
  </library_images>
  <library_effects>
    <effect id="{name}-effect" name="{name}-effect">
      <profile_COMMON>
        <technique sid="common">
          <phong>
            <emission><color>{colour(colours['emission'])}</color></emission>
            <ambient><color>{colour(colours['ambient'])}</color></ambient>
            <diffuse><color>{colour(colours['diffuse'])}</color></diffuse>
            <specular><color>{colour(colours['specular'])}</color></specular>
            <shininess><float>{number(colours['shininess'], 3)}</float></shininess>
          </phong>
        </technique>
      </profile_COMMON>
    </effect>
  </library_effects>
  <library_materials>
    <material id="{name}-material" name="{name}-material">
      <instance_effect url="#{name}-effect"/>
    </material>
  </library_materials>
  <library_geometries>
    <geometry id="{name}-geometry" name="{name}">
      <mesh>
{source("positions", lists[0], ("X", "Y", "Z"))}{source("normals", lists[1], ("X", "Y", "Z"))}{source("texcoords", lists[2], ("S", "T"))}        <vertices id="{name}-vertices">
          <input semantic="POSITION" source="#{name}-positions"/>
        </vertices>
        <triangles material="{name}-symbol" count="{len(mesh.triangles)}">
          <input semantic="VERTEX" source="#{name}-vertices" offset="0"/>
          <input semantic="NORMAL" source="#{name}-normals" offset="1"/>
          <input semantic="TEXCOORD" source="#{name}-texcoords" offset="2" set="0"/>
          <p>{indices}</p>
        </triangles>
      </mesh>
    </geometry>
  </library_geometries>
  <library_visual_scenes>
    <visual_scene id="{name}-scene" name="{name}-scene">
      <node id="{name}-node" name="{name}">
        <instance_geometry url="#{name}-geometry">
          <bind_material>
            <technique_common>
              <instance_material symbol="{name}-symbol" target="#{name}-material"/>
            </technique_common>
          </bind_material>
        </instance_geometry>
      </node>
    </visual_scene>
  </library_visual_scenes>
  <scene>
    <instance_visual_scene url="#{name}-scene"/>
  </scene>
</COLLADA>
"""


def check_mesh(name, mesh, expect_min, expect_max, tolerance=1e-4, closed_centre=None):
    """Fails the generator when a model leaves its required extent or has a face turned inwards."""
    lo, hi = mesh.bounds()
    for axis in range(3):
        if expect_min[axis] is not None and abs(lo[axis] - expect_min[axis]) > tolerance:
            sys.exit(f"{name}: minimum {lo} differs from {expect_min}")
        if expect_max[axis] is not None and abs(hi[axis] - expect_max[axis]) > tolerance:
            sys.exit(f"{name}: maximum {hi} differs from {expect_max}")
    for tri in mesh.triangles:
        a, b, c = (corner[0] for corner in tri)
        face = cross(sub(b, a), sub(c, a))
        if length(face) < 1e-12:
            sys.exit(f"{name}: degenerate triangle {tri}")
        for corner in tri:
            if dot(face, corner[1]) <= 0.0:
                sys.exit(f"{name}: corner normal {corner[1]} disagrees with the winding of {a} {b} {c}")
        if closed_centre is not None:
            centre = mul(add(add(a, b), c), 1.0 / 3.0)
            if dot(face, sub(centre, closed_centre)) <= 0.0:
                sys.exit(f"{name}: triangle {a} {b} {c} faces inwards")
    u_values = [corner[2][0] for t in mesh.triangles for corner in t]
    v_values = [corner[2][1] for t in mesh.triangles for corner in t]
    if min(u_values) < 0 or max(u_values) > 1 or min(v_values) < 0 or max(v_values) > 1:
        sys.exit(f"{name}: texture coordinates leave 0..1")
    print(f"{name}: {len(mesh.triangles)} triangles, extent {fmt(lo)} .. {fmt(hi)}")


def check_closed(name, mesh):
    """Every edge of a closed, outward-wound surface is used once in each direction, and its volume is positive."""
    edges = {}
    volume = 0.0
    for tri in mesh.triangles:
        keys = [tuple(round(x, 5) for x in corner[0]) for corner in tri]
        for k in range(3):
            edge = (keys[k], keys[(k + 1) % 3])
            edges[edge] = edges.get(edge, 0) + 1
        volume += dot(tri[0][0], cross(tri[1][0], tri[2][0])) / 6.0
    for (a, b), count in edges.items():
        if count != 1 or edges.get((b, a), 0) != 1:
            sys.exit(f"{name}: edge {a} -> {b} is used {count} times, its reverse {edges.get((b, a), 0)} times")
    if volume <= 0.0:
        sys.exit(f"{name}: the surface is wound inwards (volume {volume})")
    return volume


def fmt(v):
    return "(" + ", ".join(f"{x:.3f}" for x in v) + ")"


def write_model(out, name, mesh, colours, decimals):
    with open(os.path.join(out, f"{name}.dae"), "w", newline="\n") as f:
        f.write(dae_text(name, mesh, f"{name}.png", colours, decimals))


# --------------------------------------------------------------------------------------------------------------------
# Tile: a bevelled slab spanning x, z -1..1 and y -0.2..0.2. The owner's colour replaces its ambient colour at run
# time and the texture multiplies it, so the texture is a light, nearly neutral stone.

TILE_TOP = 0.2
TILE_BEVEL_Y = 0.1
TILE_INSET = 0.86


def tile_uv(x, z):
    return ((x + 1.0) * 0.5, (1.0 - z) * 0.5)


def tile_mesh():
    mesh = Mesh()
    corners = [(-1, -1), (1, -1), (1, 1), (-1, 1)]  # (x, z), counter-clockwise seen from below
    top = [(x * TILE_INSET, TILE_TOP, z * TILE_INSET) for x, z in corners]
    rim = [(x, TILE_BEVEL_Y, z) for x, z in corners]
    low = [(x, -TILE_TOP, z) for x, z in corners]

    def quad(points):
        mesh.flat_quad(points, [tile_uv(p[0], p[2]) for p in points])

    quad(list(reversed(top)))  # top, counter-clockwise seen from above
    quad(low)  # bottom
    for i in range(4):
        j = (i + 1) % 4
        quad([rim[j], rim[i], top[i], top[j]])  # bevel; the ring runs clockwise seen from above
        quad([low[j], low[i], rim[i], rim[j]])  # side
    return mesh


def tile_texture():
    noise = Noise(11)
    size = 128

    def colour(u, v):
        x, z = u * 2.0 - 1.0, 1.0 - v * 2.0
        cloud = noise.fbm(u * 4.0, v * 4.0, 4) - 0.5
        speck = noise.value(u * 60.0 + 9.0, v * 60.0) - 0.5
        base = 0.93 + 0.08 * cloud + 0.04 * speck
        edge = max(abs(x), abs(z))
        groove = smoothstep(0.03, 0.0, abs(edge - 0.72))  # an engraved square
        bevel = smoothstep(TILE_INSET - 0.02, TILE_INSET + 0.02, edge)
        shade = base * (1.0 - 0.18 * groove) * (1.0 - 0.14 * bevel)
        return (shade, shade * 0.985, shade * 0.95)

    return size, size, paint(size, size, colour)


# --------------------------------------------------------------------------------------------------------------------
# Dice: a cube spanning -1..1, one atlas cell per face; opposite faces add up to seven and 1, 2, 3 run
# counter-clockwise around their shared corner. The status bar's die pictures use the same pip layout.

PIPS = {
    1: [(0, 0)],
    2: [(-1, 1), (1, -1)],
    3: [(-1, 1), (0, 0), (1, -1)],
    4: [(-1, -1), (-1, 1), (1, -1), (1, 1)],
    5: [(-1, -1), (-1, 1), (0, 0), (1, -1), (1, 1)],
    6: [(-1, -1), (-1, 0), (-1, 1), (1, -1), (1, 0), (1, 1)],
}

# value: (outward normal, up direction in the face)
DIE_FACES = {
    1: ((0, 0, 1), (0, 1, 0)),
    6: ((0, 0, -1), (0, 1, 0)),
    3: ((1, 0, 0), (0, 1, 0)),
    4: ((-1, 0, 0), (0, 1, 0)),
    5: ((0, 1, 0), (0, 0, -1)),
    2: ((0, -1, 0), (0, 0, 1)),
}

DIE_CELL = 64
DIE_ATLAS = (3 * DIE_CELL, 2 * DIE_CELL)


def die_cell_rect(value):
    """Texture rectangle (u0, v0, u1, v1) of a face's cell, half a texel inside its border."""
    col, row = (value - 1) % 3, (value - 1) // 3
    w, h = DIE_ATLAS
    u0, u1 = (col * DIE_CELL + 0.5) / w, ((col + 1) * DIE_CELL - 0.5) / w
    v1, v0 = 1.0 - (row * DIE_CELL + 0.5) / h, 1.0 - ((row + 1) * DIE_CELL - 0.5) / h
    return u0, v0, u1, v1


def die_mesh():
    mesh = Mesh()
    for value, (n, up) in sorted(DIE_FACES.items()):
        right = cross(up, n)
        u0, v0, u1, v1 = die_cell_rect(value)
        corners = []
        for s, t in ((-1, -1), (1, -1), (1, 1), (-1, 1)):
            p = add(add(n, mul(right, s)), mul(up, t))
            corners.append((p, n, (u0 + (s + 1) * 0.5 * (u1 - u0), v0 + (t + 1) * 0.5 * (v1 - v0))))
        mesh.quad(corners)
    return mesh


def die_face_colour(value, s, t, pixel, face, pip, outside):
    """Colour of a die face at (s, t) in -1..1; pixel is the width of one pixel in those units."""
    # The pips sit on a 3 x 3 grid at +-0.52 and are slightly shaded, as if cut into the face.
    colour = face
    for px, py in PIPS[value]:
        d = math.hypot(s - px * 0.52, t - py * 0.52)
        cover = smoothstep(0.17 + pixel, 0.17 - pixel, d)
        if cover > 0.0:
            inner = mix(pip, mix(pip, face, 0.25), clamp((t - py * 0.52) / 0.17 * 0.5 + 0.5))
            colour = mix(colour, inner, cover)
    # Rounded outline: darken towards the border, and outside a rounded square use the outside colour.
    qx, qy = max(abs(s) - 0.78, 0.0), max(abs(t) - 0.78, 0.0)
    corner = math.hypot(qx, qy) - 0.2
    colour = mix(colour, mul(colour, 0.82), smoothstep(-0.12, 0.0, corner))
    if outside is not None:
        colour = mix(colour, outside, smoothstep(-pixel, pixel, corner))
    return colour


def die_texture():
    w, h = DIE_ATLAS
    ivory = (0.97, 0.95, 0.9)
    pip = (0.12, 0.1, 0.1)

    def colour(u, v):
        col, row = min(int(u * 3), 2), min(int((1.0 - v) * 2), 1)
        value = row * 3 + col + 1
        u0, v0, u1, v1 = die_cell_rect(value)
        s, t = (u - u0) / (u1 - u0) * 2 - 1, (v - v0) / (v1 - v0) * 2 - 1
        return die_face_colour(value, s, t, 2.0 / DIE_CELL, ivory, pip, None)

    return w, h, paint(w, h, colour)


def die_picture(value):
    """The status bar's picture of one face: white, so that the row colour tints it, with near-black pips."""
    size = 64

    def colour(u, v):
        return die_face_colour(value, u * 2 - 1, v * 2 - 1, 2.0 / size, (1.0, 1.0, 1.0), (0.06, 0.06, 0.06),
                               (0.12, 0.12, 0.12))

    return size, size, paint(size, size, colour)


ICON_FACE = (0.15, 0.3, 0.9)
ICON_PIP = (0.97, 0.97, 1.0)
ICON_SIZES = (48, 64, 128, 256)  # the sizes desktops and software centres ask for
ICON_NAME = "org.kubora.kubora"  # the AppStream id, which the desktop entry and the icons share


def icon_picture(size):
    """The desktop icon: the human player's blue die showing five, on a transparent background (RGBA)."""
    pixel = 2.0 / size
    rows = []
    for row in range(size):
        line = bytearray()
        t = 1.0 - (row + 0.5) / size * 2.0
        for col in range(size):
            s = (col + 0.5) / size * 2.0 - 1.0
            r, g, b = die_face_colour(5, s, t, pixel, ICON_FACE, ICON_PIP, None)
            qx, qy = max(abs(s) - 0.78, 0.0), max(abs(t) - 0.78, 0.0)
            alpha = smoothstep(pixel, -pixel, math.hypot(qx, qy) - 0.2)
            line += bytes((to_byte(r), to_byte(g), to_byte(b), to_byte(alpha)))
        rows.append(line)
    return size, size, rows


def icon_svg():
    """The same die as a scalable picture, in the units of die_face_colour (-1..1, t pointing up)."""
    def hex_colour(c):
        return "#" + "".join(f"{to_byte(x):02x}" for x in c)

    # The face darkens to 0.82 of its colour over the outer 0.12 of its rounded outline: a darker rounded
    # square under a lighter one inset by half of that band stands for the shading.
    pips = "\n".join(f'  <circle cx="{px * 0.52 + 0.0:g}" cy="{-py * 0.52 + 0.0:g}" r="0.17" fill="url(#pip)"/>'
                     for px, py in PIPS[5])
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="-1 -1 2 2">
  <title>Kubora</title>
  <defs>
    <linearGradient id="pip" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="{hex_colour(mix(ICON_PIP, ICON_FACE, 0.25))}"/>
      <stop offset="1" stop-color="{hex_colour(ICON_PIP)}"/>
    </linearGradient>
  </defs>
  <rect x="-0.98" y="-0.98" width="1.96" height="1.96" rx="0.2" fill="{hex_colour(mul(ICON_FACE, 0.82))}"/>
  <rect x="-0.92" y="-0.92" width="1.84" height="1.84" rx="0.14" fill="{hex_colour(ICON_FACE)}"/>
{pips}
</svg>
"""


# --------------------------------------------------------------------------------------------------------------------
# Board: drawn scaled by BOARD_SCALE at BOARD_POSITION, so it is modelled in world units and converted. A field of
# dark wood with brass lines between the tile places, framed by a raised rim.

BOARD_SCALE = (16.8, 3.0, 16.8)
BOARD_POSITION = (10.0, -2.0, 9.0)
FIELD_LOW, FIELD_HIGH = -1.4, 22.4  # inner edge of the rim, 0.4 outside the outermost tiles (-1 .. 22)
RIM_LOW, RIM_HIGH = -2.0, 23.0  # outer edge of the rim, clear of the duck's base beyond the far corner
FIELD_Y = -1.25  # just under the tiles' bottom at -1.2
RIM_Y = -0.95
CHAMFER = 0.15
BOTTOM_Y = -2.75
BOARD_TEXTURE = (512, 640)  # the field takes the top 512 rows, the rim's wood strip the 128 below
BOARD_FIELD_V = 0.2  # texture rows above this belong to the field, below to the strip


def board_model_point(p):
    return tuple((p[i] - BOARD_POSITION[i]) / BOARD_SCALE[i] for i in range(3))


def board_field_uv(x, z):
    span = FIELD_HIGH - FIELD_LOW
    return ((x - FIELD_LOW) / span, BOARD_FIELD_V + (z - FIELD_LOW) / span * (1.0 - BOARD_FIELD_V))


def board_mesh():
    world = Mesh()

    def ring(extent, y):
        lo, hi = extent
        return [(lo, y, lo), (hi, y, lo), (hi, y, hi), (lo, y, hi)]  # counter-clockwise seen from below

    field = ring((FIELD_LOW, FIELD_HIGH), FIELD_Y)
    rim_inner = ring((FIELD_LOW, FIELD_HIGH), RIM_Y)
    rim_outer = ring((RIM_LOW + CHAMFER, RIM_HIGH - CHAMFER), RIM_Y)
    chamfer = ring((RIM_LOW, RIM_HIGH), RIM_Y - CHAMFER)
    bottom = ring((RIM_LOW, RIM_HIGH), BOTTOM_Y)

    top = list(reversed(field))
    world.flat_quad(top, [board_field_uv(p[0], p[2]) for p in top])
    world.flat_quad(bottom, [(0.02, 0.02), (0.98, 0.02), (0.98, 0.1), (0.02, 0.1)])

    # The rim's pieces share the wood strip: u runs along the side, v across the band of each piece.
    strip = BOARD_FIELD_V - 0.01

    def band(a, b, c, d, v0, v1):
        # a to b along the lower edge, c and d above b and a: counter-clockwise seen from the front.
        span = RIM_HIGH - RIM_LOW
        axis = 0 if a[0] != b[0] else 2
        ua, ub = (0.02 + 0.96 * (q[axis] - RIM_LOW) / span for q in (a, b))
        world.flat_quad([a, b, c, d], [(ua, v0), (ub, v0), (ub, v1), (ua, v1)])

    for i in range(4):
        j = (i + 1) % 4
        # The field's ring runs clockwise seen from above: outward faces take its edges from j to i, the inner wall
        # (which faces the field) from i to j.
        band(field[i], field[j], rim_inner[j], rim_inner[i], 0.01, strip * 0.12)
        band(rim_inner[i], rim_inner[j], rim_outer[j], rim_outer[i], strip * 0.12, strip * 0.42)
        band(chamfer[j], chamfer[i], rim_outer[i], rim_outer[j], strip * 0.42, strip * 0.5)
        band(bottom[j], bottom[i], chamfer[i], chamfer[j], strip * 0.5, strip)

    mesh = Mesh()
    for tri in world.triangles:
        corners = []
        for p, n, t in tri:
            # Normals are transformed by the inverse transpose of the scale, then renormalised.
            m = normalize(tuple(n[i] * BOARD_SCALE[i] for i in range(3)))
            corners.append((board_model_point(p), m, t))
        mesh.triangle(corners)
    return mesh


def board_texture():
    width, height = BOARD_TEXTURE
    noise = Noise(23)
    walnut = (0.32, 0.2, 0.12)
    walnut_dark = (0.22, 0.13, 0.07)
    oak = (0.72, 0.52, 0.32)
    oak_dark = (0.55, 0.37, 0.2)
    brass = (0.86, 0.7, 0.36)

    def wood(a, b, light, dark, rings):
        warp = noise.fbm(a * 0.15, b * 1.5, 3)
        grain = 0.5 + 0.5 * math.sin((b + warp * 2.5) * rings)
        fine = noise.value(a * 2.0, b * 40.0)
        return mix(light, dark, clamp(0.55 * grain + 0.45 * fine))

    def colour(u, v):
        if v < BOARD_FIELD_V:
            return wood(u * 40.0, v * 30.0, oak, oak_dark, 9.0)
        span = FIELD_HIGH - FIELD_LOW
        x = FIELD_LOW + u * span
        z = FIELD_LOW + (v - BOARD_FIELD_V) / (1.0 - BOARD_FIELD_V) * span
        c = wood(x, z, walnut, walnut_dark, 7.0)
        # Brass lines halfway between neighbouring tiles, and a frame around all tiles.
        line = 0.0
        if -1.2 < x < 22.2 and -1.2 < z < 22.2:
            for w in (x, z):
                if 0.0 < w < 21.0:
                    d = (w - 1.5) % 3.0
                    line = max(line, smoothstep(0.09, 0.04, min(d, 3.0 - d)))
        frame = smoothstep(0.09, 0.04, abs(min(x, z, 21.0 - x, 21.0 - z) + 1.2))
        c = mix(c, brass, max(line, frame) * 0.85)
        return c

    return width, height, paint(width, height, colour)


# --------------------------------------------------------------------------------------------------------------------
# Sky box: six faces painted from one direction function, each pixel through the same face corners and texture
# coordinates that the sky box draws with, so that neighbouring faces meet without a seam.

# element: corners (texture coordinate, vertex) as the sky box draws them
SKY_FACES = {
    4: [((1, 0), (-1, -1, 1)), ((1, 1), (-1, 1, 1)), ((0, 1), (1, 1, 1)), ((0, 0), (1, -1, 1))],
    5: [((1, 0), (-1, -1, -1)), ((1, 1), (-1, 1, -1)), ((0, 1), (1, 1, -1)), ((0, 0), (1, -1, -1))],
    3: [((1, 1), (-1, 1, -1)), ((0, 1), (-1, 1, 1)), ((0, 0), (-1, -1, 1)), ((1, 0), (-1, -1, -1))],
    2: [((1, 1), (1, 1, -1)), ((0, 1), (1, 1, 1)), ((0, 0), (1, -1, 1)), ((1, 0), (1, -1, -1))],
    0: [((0, 0), (1, 1, -1)), ((1, 0), (1, 1, 1)), ((1, 1), (-1, 1, 1)), ((0, 1), (-1, 1, -1))],
    1: [((0, 0), (1, -1, -1)), ((1, 0), (1, -1, 1)), ((1, 1), (-1, -1, 1)), ((0, 1), (-1, -1, -1))],
}

SUN = normalize((12.0, 15.0, 12.0))  # where the scene's directional light shines from


def sky_face_point(element, s, t):
    """The cube point that the sky box shows at texture coordinate (s, t) of a face (bilinear in the corners)."""
    corner = {tc: p for tc, p in SKY_FACES[element]}
    p00, p10, p11, p01 = corner[(0, 0)], corner[(1, 0)], corner[(1, 1)], corner[(0, 1)]
    return tuple((1 - s) * (1 - t) * p00[i] + s * (1 - t) * p10[i] + s * t * p11[i] + (1 - s) * t * p01[i]
                 for i in range(3))


class Sky:
    def __init__(self):
        self.noise = Noise(5)

    def clouds(self, x, z, scale):
        return self.noise.fbm(x * scale + 31.0, z * scale + 7.0, 5, 0.55)

    def colour(self, d):
        x, y, z = d
        zenith = (0.16, 0.36, 0.74)
        horizon = (0.68, 0.8, 0.93)
        sun_amount = max(dot(d, SUN), 0.0)
        if y >= 0.0:
            c = mix(horizon, zenith, math.pow(y, 0.55))
            # Fair-weather clouds on a high plane: thin towards the horizon, where they would shimmer.
            density = self.clouds(x / (y + 0.08), z / (y + 0.08), 0.9)
            cover = smoothstep(0.46, 0.74, density) * smoothstep(0.02, 0.3, y)
            lit = mix((0.86, 0.88, 0.93), (1.0, 0.99, 0.96), 0.5 + 0.5 * sun_amount)
            shade = mix(lit, (0.72, 0.76, 0.84), smoothstep(0.62, 0.9, density))
            c = mix(c, shade, cover * 0.92)
        else:
            # Below the horizon a calm sea: darker straight down, paling into haze at the horizon, with the
            # sun glittering on it.
            depth = -y
            calm = smoothstep(0.02, 0.25, depth)  # ripples far away would only shimmer
            ripple = 0.5 + (self.noise.fbm(x / (depth + 0.02) * 9.0, z / (depth + 0.02) * 9.0, 3) - 0.5) * calm
            water = mix((0.26, 0.47, 0.6), (0.1, 0.29, 0.43), smoothstep(0.0, 0.5, depth))
            water = mul(water, 0.92 + 0.16 * ripple)
            c = mix(water, horizon, math.pow(1.0 - depth, 14.0))
            reflected = max(dot((x, -y, z), SUN), 0.0)
            fine = self.noise.value(x / (depth + 0.02) * 40.0 + 3.0, z / (depth + 0.02) * 40.0) * calm
            glitter = math.pow(reflected, 24.0) * smoothstep(0.76, 0.9, 0.6 * fine + 0.4 * ripple)
            c = add(c, mul((1.0, 0.92, 0.75), 0.7 * glitter + 0.2 * math.pow(reflected, 60.0) +
                           0.1 * math.pow(reflected, 6.0)))
        # Glow around the sun and its disc.
        c = add(c, mul((1.0, 0.85, 0.6), 0.22 * math.pow(sun_amount, 6.0) + 0.5 * math.pow(sun_amount, 120.0)))
        if sun_amount > 0.9993:
            c = mix(c, (1.0, 1.0, 0.95), smoothstep(0.9993, 0.9997, sun_amount))
        return c


def sky_texture(element, size):
    sky = Sky()
    rows = []
    for row in range(size):
        # Edge texels hold the exact edge directions, so both faces of an edge show the same colours there.
        t = 1.0 - row / (size - 1)
        line = bytearray()
        for col in range(size):
            r, g, b = sky.colour(normalize(sky_face_point(element, col / (size - 1), t)))
            line += bytes((to_byte(r), to_byte(g), to_byte(b)))
        rows.append(line)
    return size, size, rows


# --------------------------------------------------------------------------------------------------------------------
# Duck: a mallard drake facing +x, feet at y = 0 on a small round grass base, about 116 units tall. Built from
# smooth, closed, overlapping parts; its texture is an atlas of one region per part.

DUCK_REGIONS = {
    "body": (0.0, 0.5, 0.5, 1.0),
    "head": (0.5, 0.5, 1.0, 1.0),
    "wing": (0.5, 0.25, 1.0, 0.5),
    "bill": (0.0, 0.25, 0.25, 0.5),
    "eye": (0.25, 0.375, 0.375, 0.5),
    "feet": (0.375, 0.375, 0.5, 0.5),
    "grass": (0.0, 0.0, 0.25, 0.25),
    "plinth": (0.25, 0.0, 0.5, 0.25),
}
DUCK_ATLAS = 256


def region_uv(region, s, t):
    """(s, t) in 0..1 within a region of the atlas, kept two texels inside its border."""
    u0, v0, u1, v1 = DUCK_REGIONS[region]
    margin = 2.0 / DUCK_ATLAS
    return (u0 + margin + clamp(s) * (u1 - u0 - 2 * margin), v0 + margin + clamp(t) * (v1 - v0 - 2 * margin))


def rotate_z(p, degrees):
    a = math.radians(degrees)
    return (p[0] * math.cos(a) - p[1] * math.sin(a), p[0] * math.sin(a) + p[1] * math.cos(a), p[2])


def rotate_y(p, degrees):
    a = math.radians(degrees)
    return (p[0] * math.cos(a) + p[2] * math.sin(a), p[1], -p[0] * math.sin(a) + p[2] * math.cos(a))


def smooth_part(point_at, uv_at, rings, segments):
    """A closed surface over the unit sphere: point_at(unit) gives the point, uv_at(unit, point) its texture
    coordinate. Normals are the area-weighted average of the faces around each point (welded by position)."""
    grid = []
    for j in range(rings + 1):
        theta = math.pi * j / rings
        row = []
        for i in range(segments + 1):
            phi = 2.0 * math.pi * (i % segments) / segments
            unit = (-math.cos(theta), math.sin(theta) * math.cos(phi), math.sin(theta) * math.sin(phi))
            if j in (0, rings):
                unit = (-math.cos(theta), 0.0, 0.0)
            p = point_at(unit)
            row.append((p, uv_at(unit, p)))
        grid.append(row)
    faces = []
    for j in range(rings):
        for i in range(segments):
            a, b, c, d = grid[j][i], grid[j][i + 1], grid[j + 1][i + 1], grid[j + 1][i]
            for tri in ((a, c, b), (a, d, c)):
                if length(cross(sub(tri[1][0], tri[0][0]), sub(tri[2][0], tri[0][0]))) > 1e-9:
                    faces.append(tri)
    volume = sum(dot(f[0][0], cross(f[1][0], f[2][0])) for f in faces)
    if volume < 0.0:
        faces = [(f[0], f[2], f[1]) for f in faces]
    return smooth_mesh(faces)


def smooth_mesh(faces):
    """faces: triangles of (position, texcoord); returns a Mesh with normals averaged over shared positions."""
    normals = {}

    def key(p):
        return tuple(round(x, 4) for x in p)

    for f in faces:
        n = cross(sub(f[1][0], f[0][0]), sub(f[2][0], f[0][0]))
        for corner in f:
            normals[key(corner[0])] = add(normals.get(key(corner[0]), (0.0, 0.0, 0.0)), n)
    mesh = Mesh()
    for f in faces:
        mesh.triangle([(p, normalize(normals[key(p)]), t) for p, t in f])
    return mesh


def ellipsoid(centre, radii, region, uv=None, deform=None, turn=None, rings=12, segments=16):
    def point_at(unit):
        p = (unit[0] * radii[0], unit[1] * radii[1], unit[2] * radii[2])
        if deform:
            p = deform(p, unit)
        if turn:
            p = turn(p)
        return add(p, centre)

    def uv_at(unit, p):
        if uv:
            return region_uv(region, *uv(unit, p))
        return region_uv(region, 0.5 + 0.5 * unit[0], 0.5 + 0.5 * unit[1])

    return smooth_part(point_at, uv_at, rings, segments)


def body_deform(p, unit):
    x, y, z = p
    if unit[1] < 0.0:
        y *= 0.88 + 0.1 * max(unit[0], 0.0)  # flatter belly, fuller chest
    tail = clamp((-x - 12.0) / 40.0)
    y *= 1.0 - 0.5 * tail * tail
    z *= 1.0 - 0.62 * tail * tail
    y += 20.0 * tail * tail
    x -= 8.0 * tail * tail * tail
    return (x, y, z)


def wing_deform(p, unit):
    """Folded wing: rounded at the shoulder, tapering to a point at the back."""
    back = clamp(-unit[0])
    return (p[0], p[1] * (1.0 - 0.55 * back * back) + 3.0 * back * back, p[2] * (1.0 - 0.3 * back))


def planar(x0, x1, y0, y1):
    return lambda unit, p: ((p[0] - x0) / (x1 - x0), (p[1] - y0) / (y1 - y0))


def foot(side_z):
    """A flat webbed foot with three toes, flat-shaded, 2.2 units thick."""
    outline = [(0.0, 0.0), (17.0, 8.5), (15.0, 3.5), (22.0, 0.0), (15.0, -3.5), (17.0, -8.5)]
    outline = [(x + 2.0, side_z + z) for x, z in outline]
    centre = (9.0, side_z)
    thickness = 2.2
    mesh = Mesh()
    feet_uv = region_uv("feet", 0.5, 0.5)
    n = len(outline)
    for k in range(n):
        a, b = outline[k], outline[(k + 1) % n]
        top = [(centre[0], thickness, centre[1]), (b[0], thickness, b[1]), (a[0], thickness, a[1])]
        if cross(sub(top[1], top[0]), sub(top[2], top[0]))[1] < 0:
            top = [top[0], top[2], top[1]]
        mesh.flat_triangle(top, [feet_uv] * 3)
        bottom = [(p[0], 0.0, p[2]) for p in top]
        mesh.flat_triangle([bottom[0], bottom[2], bottom[1]], [feet_uv] * 3)
        # Side wall under the top edge from top[1] to top[2], which it runs the other way round.
        p1, p2 = top[1], top[2]
        mesh.flat_quad([(p1[0], 0.0, p1[2]), (p2[0], 0.0, p2[2]), p2, p1], [feet_uv] * 4)
    return mesh


def plinth(radius, segments=40):
    """Round grass base: top at y = 0 with a bevelled edge, side down to y = -8."""
    centre = (4.0, 0.0)
    bevel, depth = 3.0, 8.0
    mesh = Mesh()

    def ring(r, y, k):
        a = 2.0 * math.pi * k / segments
        return (centre[0] + r * math.cos(a), y, centre[1] - r * math.sin(a))  # k increasing: counter-clockwise

    def grass_uv(p):
        return region_uv("grass", 0.5 + (p[0] - centre[0]) / (2 * radius), 0.5 + (p[2] - centre[1]) / (2 * radius))

    def side_uv(k, t):
        return region_uv("plinth", k / segments, t)

    middle_top, middle_bottom = (centre[0], 0.0, centre[1]), (centre[0], -depth, centre[1])
    for k in range(segments):
        a0, a1 = 2.0 * math.pi * k / segments, 2.0 * math.pi * (k + 1) / segments
        # Top fan: counter-clockwise seen from above.
        t0, t1 = ring(radius - bevel, 0.0, k), ring(radius - bevel, 0.0, k + 1)
        up = (0.0, 1.0, 0.0)
        mesh.triangle([(middle_top, up, grass_uv(middle_top)), (t0, up, grass_uv(t0)), (t1, up, grass_uv(t1))])
        # Bevel and side with smooth normals around the ring.
        b0, b1 = ring(radius, -bevel, k), ring(radius, -bevel, k + 1)
        s0, s1 = ring(radius, -depth, k), ring(radius, -depth, k + 1)
        bevel_n0 = normalize((math.cos(a0), 1.0, -math.sin(a0)))
        bevel_n1 = normalize((math.cos(a1), 1.0, -math.sin(a1)))
        mesh.quad([(b0, bevel_n0, grass_uv(b0)), (b1, bevel_n1, grass_uv(b1)), (t1, bevel_n1, grass_uv(t1)),
                   (t0, bevel_n0, grass_uv(t0))])
        side_n0, side_n1 = (math.cos(a0), 0.0, -math.sin(a0)), (math.cos(a1), 0.0, -math.sin(a1))
        mesh.quad([(s0, side_n0, side_uv(k, 0.05)), (s1, side_n1, side_uv(k + 1, 0.05)),
                   (b1, side_n1, side_uv(k + 1, 0.95)), (b0, side_n0, side_uv(k, 0.95))])
        down = (0.0, -1.0, 0.0)
        mesh.triangle([(middle_bottom, down, side_uv(0.5 * segments, 0.1)), (s1, down, side_uv(k + 1, 0.1)),
                       (s0, down, side_uv(k, 0.1))])
    return mesh


def duck_parts():
    parts = {}
    parts["body"] = ellipsoid((0.0, 44.0, 0.0), (50.0, 27.0, 29.0), "body", planar(-62.0, 55.0, 15.0, 80.0),
                              body_deform, rings=18, segments=24)
    neck_axis = normalize((9.0, 30.0, 0.0))
    neck_tilt = math.degrees(math.atan2(neck_axis[0], neck_axis[1]))
    parts["neck"] = ellipsoid((31.0, 74.0, 0.0), (14.0, 21.0, 13.0), "head", planar(10.0, 60.0, 50.0, 118.0),
                              turn=lambda p: rotate_z(p, -neck_tilt), rings=10, segments=16)
    parts["head"] = ellipsoid((36.0, 97.0, 0.0), (21.0, 18.5, 16.5), "head", planar(10.0, 60.0, 50.0, 118.0),
                              rings=14, segments=20)

    def bill_deform(p, unit):
        x, y, z = p
        tip = clamp(unit[0])
        z *= 1.0 + 0.35 * tip  # spatulate tip
        y -= 3.0 * tip * tip  # a slight downward curve
        return (x, y, z)

    parts["bill"] = ellipsoid((58.0, 91.0, 0.0), (18.0, 5.0, 9.0), "bill", lambda u, p: (0.5 + 0.5 * u[0], 0.5),
                              bill_deform, lambda p: rotate_z(p, -6.0), rings=10, segments=14)
    for side in (1.0, -1.0):
        parts[f"eye{side:+.0f}"] = ellipsoid((47.5, 101.0, 13.2 * side), (3.3, 3.3, 3.3), "eye",
                                             rings=6, segments=8)
        parts[f"wing{side:+.0f}"] = ellipsoid(
            (-8.0, 53.0, 24.0 * side), (33.0, 13.0, 5.5), "wing", lambda u, p: (0.5 + 0.5 * u[0], 0.5 + 0.5 * u[1]),
            wing_deform, lambda p, side=side: rotate_y(rotate_z(p, -12.0), -7.0 * side), rings=10, segments=16)
        parts[f"leg{side:+.0f}"] = ellipsoid(
            (6.0, 12.5, 10.0 * side), (2.8, 11.5, 2.8), "feet", turn=lambda p: rotate_z(p, -8.0), rings=6, segments=8)
        parts[f"foot{side:+.0f}"] = foot(10.0 * side)
    # The parts above the legs were shaped around a body at y = 44; they sit 3 units lower on shorter legs.
    for name, part in parts.items():
        if not name.startswith(("leg", "foot")):
            part.triangles = [tuple((add(p, (0.0, -3.0, 0.0)), n, t) for p, n, t in tri) for tri in part.triangles]
    parts["plinth"] = plinth(38.0)
    return parts


def duck_mesh():
    mesh = Mesh()
    for name, part in duck_parts().items():
        check_closed(f"duck {name}", part)
        mesh.extend(part)
    return mesh


def duck_texture():
    noise = Noise(31)
    size = DUCK_ATLAS
    grey = (0.66, 0.66, 0.64)
    chestnut = (0.42, 0.2, 0.11)
    green = (0.05, 0.33, 0.16)
    black = (0.08, 0.08, 0.09)

    def local(region, u, v):
        u0, v0, u1, v1 = DUCK_REGIONS[region]
        margin = 2.0 / size
        return (u - u0 - margin) / (u1 - u0 - 2 * margin), (v - v0 - margin) / (v1 - v0 - 2 * margin)

    def body(s, t):
        x, y = -62.0 + s * 117.0, 15.0 + t * 65.0
        vermiculation = 0.04 * math.sin(y * 2.1 + 3.0 * noise.value(x * 0.2, y * 0.2))
        c = mul(grey, 1.0 + vermiculation)
        c = mix(c, (0.48, 0.42, 0.36), smoothstep(60.0, 70.0, y) * smoothstep(-35.0, -10.0, x))  # brown back
        c = mix(c, (0.84, 0.84, 0.82), smoothstep(30.0, 22.0, y))  # pale belly
        c = mix(c, chestnut, smoothstep(20.0, 30.0, x) * smoothstep(24.0, 32.0, y))  # chest
        c = mix(c, black, smoothstep(-30.0, -38.0, x))  # rump
        c = mix(c, (0.9, 0.9, 0.88), smoothstep(-50.0, -55.0, x))  # white tail
        return c

    def head(s, t):
        x, y = 10.0 + s * 50.0, 50.0 + t * 68.0
        sheen = noise.fbm(x * 0.08, y * 0.08, 3)
        c = mix(green, (0.08, 0.22, 0.3), sheen * 0.8)
        c = mix(c, (1.0, 1.0, 1.0), smoothstep(2.2, 1.2, abs(y - 76.0)))  # white collar
        c = mix(c, chestnut, smoothstep(74.5, 73.5, y))
        return c

    def wing(s, t):
        c = mix((0.5, 0.45, 0.4), (0.58, 0.54, 0.5), t)
        c = mul(c, 1.0 - 0.08 * (0.5 + 0.5 * math.sin(s * 40.0)))  # feather edges
        speculum = smoothstep(0.18, 0.22, s) * smoothstep(0.46, 0.42, s) * smoothstep(0.6, 0.55, t)
        c = mix(c, (0.16, 0.28, 0.78), speculum)
        border = max(smoothstep(0.03, 0.0, abs(s - 0.2)), smoothstep(0.03, 0.0, abs(s - 0.44))) * \
            smoothstep(0.6, 0.55, t)
        c = mix(c, (0.95, 0.95, 0.95), border)
        c = mix(c, (0.3, 0.27, 0.25), smoothstep(0.14, 0.06, s))  # dark primaries at the back
        return c

    def bill(s, t):
        c = (0.86, 0.78, 0.24)
        return mix(c, (0.2, 0.18, 0.1), smoothstep(0.9, 0.95, s))

    def grass(s, t):
        r = math.hypot(s - 0.5, t - 0.5) * 2.0
        blades = noise.fbm(s * 24.0, t * 24.0, 3)
        c = mix((0.22, 0.45, 0.14), (0.42, 0.65, 0.22), blades)
        return mix(c, (0.3, 0.4, 0.16), smoothstep(0.85, 1.0, r))

    def plinth_side(s, t):
        grain = noise.fbm(s * 30.0, t * 3.0, 3)
        return mix((0.34, 0.21, 0.11), (0.46, 0.3, 0.16), grain)

    painters = {"body": body, "head": head, "wing": wing, "bill": bill, "grass": grass, "plinth": plinth_side,
                "eye": lambda s, t: (0.04, 0.03, 0.03), "feet": lambda s, t: (0.96, 0.5, 0.12)}

    def colour(u, v):
        for region, (u0, v0, u1, v1) in DUCK_REGIONS.items():
            if u0 <= u < u1 and v0 <= v < v1:
                return painters[region](*local(region, u, v))
        return (0.5, 0.5, 0.5)

    return size, size, paint(size, size, colour)


# --------------------------------------------------------------------------------------------------------------------

MATERIALS = {
    # The scene is lit from behind the camera's usual side (the sun stands beyond the board), so the faces the
    # player sees get ambient light only: ambient colours are high.
    # An unowned tile is light, neutral stone; an owned tile's ambient becomes the owner's colour, so the diffuse
    # part stays moderate to let that colour dominate.
    "tile": dict(emission=(0, 0, 0, 1), ambient=(0.95, 0.95, 0.93, 1), diffuse=(0.42, 0.42, 0.41, 1),
                 specular=(0.5, 0.5, 0.5, 1), shininess=64),
    "die": dict(emission=(0, 0, 0, 1), ambient=(1.0, 1.0, 0.98, 1), diffuse=(0.8, 0.8, 0.78, 1),
                specular=(0.4, 0.4, 0.4, 1), shininess=40),
    "board": dict(emission=(0, 0, 0, 1), ambient=(1.0, 1.0, 1.0, 1), diffuse=(0.8, 0.8, 0.8, 1),
                  specular=(0.25, 0.25, 0.22, 1), shininess=24),
    "duck": dict(emission=(0, 0, 0, 1), ambient=(1.0, 1.0, 1.0, 1), diffuse=(0.85, 0.85, 0.85, 1),
                 specular=(0.3, 0.3, 0.3, 1), shininess=20),
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data"))
    parser.add_argument("--only", default="board,tile,die,duck,sky,dice,icon")
    parser.add_argument("--icon-out", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..",
                                                           "packaging", "icons"))
    parser.add_argument("--sky-size", type=int, default=512)
    args = parser.parse_args()
    wanted = set(args.only.split(","))
    out = os.path.normpath(args.out)
    os.makedirs(out, exist_ok=True)
    if args.sky_size % 4:
        sys.exit("--sky-size must be a multiple of 4")

    if "tile" in wanted:
        mesh = tile_mesh()
        check_mesh("tile", mesh, (-1, -0.2, -1), (1, 0.2, 1), closed_centre=(0, 0, 0))
        check_closed("tile", mesh)
        write_model(out, "tile", mesh, MATERIALS["tile"], 4)
        write_png(os.path.join(out, "tile.png"), *tile_texture())
    if "die" in wanted:
        mesh = die_mesh()
        check_mesh("die", mesh, (-1, -1, -1), (1, 1, 1), closed_centre=(0, 0, 0))
        check_closed("die", mesh)
        write_model(out, "die", mesh, MATERIALS["die"], 4)
        write_png(os.path.join(out, "die.png"), *die_texture())
    if "board" in wanted:
        mesh = board_mesh()
        lo = board_model_point((RIM_LOW, BOTTOM_Y, RIM_LOW))
        hi = board_model_point((RIM_HIGH, RIM_Y, RIM_HIGH))
        check_mesh("board", mesh, lo, hi, tolerance=1e-6)
        check_closed("board", mesh)
        write_model(out, "board", mesh, MATERIALS["board"], 5)
        write_png(os.path.join(out, "board.png"), *board_texture())
    if "duck" in wanted:
        mesh = duck_mesh()
        check_mesh("duck", mesh, (None, None, None), (None, None, None))
        write_model(out, "duck", mesh, MATERIALS["duck"], 2)
        write_png(os.path.join(out, "duck.png"), *duck_texture())
    if "dice" in wanted:
        for value in range(1, 7):
            write_png(os.path.join(out, f"die{value}.png"), *die_picture(value))
    if "icon" in wanted:
        icon_out = os.path.normpath(args.icon_out)
        os.makedirs(icon_out, exist_ok=True)
        for size in ICON_SIZES:
            folder = os.path.join(icon_out, f"{size}x{size}", "apps")
            os.makedirs(folder, exist_ok=True)
            write_png(os.path.join(folder, ICON_NAME + ".png"), *icon_picture(size), channels=4)
        folder = os.path.join(icon_out, "scalable", "apps")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, ICON_NAME + ".svg"), "w") as f:
            f.write(icon_svg())
    if "sky" in wanted:
        for element in range(6):
            write_png(os.path.join(out, f"SkyBox{element}.png"), *sky_texture(element, args.sky_size))
            print(f"SkyBox{element}.png written")


if __name__ == "__main__":
    main()
