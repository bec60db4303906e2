#!/usr/bin/env python3
"""Builds the fuzz targets' seed corpora from the asset pack.

fuzz/seeds.py OUT  writes OUT/config, OUT/obj, OUT/font and OUT/texture, one
directory per target, in each target's input layout (see the targets'
sources). Inputs stay small, since every execution reads its whole input:
meshes and pictures over 64 KiB give their first 16 KiB (meshes, cut at a
line end) or are left out (pictures). Inputs that once made a target fail,
kept in fuzz/found/<target's directory>/, join the corpora, so that every
run starts from them.
"""
import os
import pathlib
import struct
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
LIMIT = 64 * 1024
# The pictures the OBJ target writes beside its mesh.
PICTURES = [b"t.png", b"t.bmp", b"t.tga", b"t.pgm"]


def write(directory, name, data):
    directory.mkdir(parents=True, exist_ok=True)
    (directory / name).write_bytes(data)


def obj_seeds(out):
    for n, obj in enumerate(sorted((ROOT / "meshes").rglob("*.obj"))):
        text = obj.read_bytes()
        if len(text) > LIMIT:
            text = text[: text.rfind(b"\n", 0, 16 * 1024) + 1]
        # The target names its own MTL file ("m.mtl") ahead of the mesh.
        text = b"".join(l for l in text.splitlines(keepends=True) if not l.startswith(b"mtllib"))
        mtl = obj.with_suffix(".mtl")
        lines = mtl.read_bytes().splitlines(keepends=True) if mtl.exists() else []
        # Each texture the material names becomes one of the target's pictures.
        lines = [b"map_Kd " + PICTURES[(n + i) % len(PICTURES)] + b"\n" if l.startswith(b"map_Kd") else l
                 for i, l in enumerate(lines)]
        write(out / "obj", obj.stem, text + b"\xff" + b"".join(lines))


def font_seeds(out):
    font = (ROOT / "external" / "osaka_font.glf").read_bytes()
    write(out / "font", "osaka_font.glf", font)
    # The same font cut to four characters on a 4x4 texture.
    tex, width, height, start, end, chars = struct.unpack("<6i", font[:24])
    glyphs = font[24 : 24 + 4 * 24]
    texels = font[24 + (end - start + 1) * 24 :][: 2 * 4 * 4]
    write(out / "font", "small.glf", struct.pack("<6i", tex, 4, 4, start, start + 3, chars) + glyphs + texels)


def texture_seeds(out):
    for png in sorted((ROOT / "meshes").rglob("*.png")):
        data = png.read_bytes()
        if len(data) < LIMIT:
            # The leading byte picks the extension "png".
            write(out / "texture", png.parent.name + "-" + png.name, b"\x00" + data)


def main():
    out = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "build-fuzz/seeds")
    write(out / "config", "qelm.conf", (ROOT / "qelm.conf").read_bytes())
    obj_seeds(out)
    font_seeds(out)
    texture_seeds(out)
    for found in sorted((ROOT / "fuzz" / "found").glob("*/*")):
        write(out / found.parent.name, "found-" + found.name, found.read_bytes())


if __name__ == "__main__":
    main()
