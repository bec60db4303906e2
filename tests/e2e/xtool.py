#!/usr/bin/env python3
"""X helpers of the end-to-end tests: xtool.py keys WINDOW down|up|tap KEYSYM...,
close WINDOW, hold, lit XWD_FILE, share XWD_FILE X Y W H COLOUR, bursts WAV HZ,
lines FILE PREFIX... (see each function)."""
import ctypes
import ctypes.util
import math
import os
import struct
import sys
import time

C = ctypes
MODIFIERS = {"Shift_L": 1, "Shift_R": 1, "Control_L": 4, "Control_R": 4, "Alt_L": 8, "Alt_R": 8}


class XKeyEvent(C.Structure):
    _fields_ = [("type", C.c_int), ("serial", C.c_ulong), ("send_event", C.c_int),
                ("display", C.c_void_p), ("window", C.c_ulong), ("root", C.c_ulong),
                ("subwindow", C.c_ulong), ("time", C.c_ulong), ("x", C.c_int), ("y", C.c_int),
                ("x_root", C.c_int), ("y_root", C.c_int), ("state", C.c_uint),
                ("keycode", C.c_uint), ("same_screen", C.c_int)]


class XClientMessageEvent(C.Structure):
    _fields_ = [("type", C.c_int), ("serial", C.c_ulong), ("send_event", C.c_int),
                ("display", C.c_void_p), ("window", C.c_ulong), ("message_type", C.c_ulong),
                ("format", C.c_int), ("data", C.c_long * 5)]


class XEvent(C.Union):
    _fields_ = [("xkey", XKeyEvent), ("xclient", XClientMessageEvent), ("pad", C.c_long * 24)]


def x11():
    lib = C.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    for name, res, args in [("XOpenDisplay", C.c_void_p, [C.c_char_p]),
                            ("XDefaultRootWindow", C.c_ulong, [C.c_void_p]),
                            ("XStringToKeysym", C.c_ulong, [C.c_char_p]),
                            ("XKeysymToKeycode", C.c_ubyte, [C.c_void_p, C.c_ulong]),
                            ("XInternAtom", C.c_ulong, [C.c_void_p, C.c_char_p, C.c_int]),
                            ("XSendEvent", C.c_int, [C.c_void_p, C.c_ulong, C.c_int, C.c_long,
                                                     C.POINTER(XEvent)]),
                            ("XSync", C.c_int, [C.c_void_p, C.c_int]),
                            ("XCloseDisplay", C.c_int, [C.c_void_p])]:
        getattr(lib, name).restype, getattr(lib, name).argtypes = res, args
    display = lib.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open display")
    return lib, display


def keys(window, action, *names):
    """Key events straight to the window by XSendEvent, never through the real
    keyboard (xdotool types into whatever window holds the focus). Later keys
    carry the modifier state of earlier ones (Alt_L F4 is Alt+F4); up releases
    in reverse order."""
    window = int(window, 0)
    lib, display = x11()
    root = lib.XDefaultRootWindow(display)
    codes = []
    for name in names:
        code = lib.XKeysymToKeycode(display, lib.XStringToKeysym(name.encode()))
        if not code:
            sys.exit("no key code for %s" % name)
        codes.append((name, code))

    def send(kind, code, state):  # kind 2 = KeyPress, 3 = KeyRelease
        event = XEvent()
        k = event.xkey
        k.type, k.send_event, k.display, k.window, k.root = kind, 1, display, window, root
        k.x = k.y = k.x_root = k.y_root = 1
        k.state, k.keycode, k.same_screen = state, code, 1
        lib.XSendEvent(display, window, 1, 1 if kind == 2 else 2, C.byref(event))

    state = 0
    if action in ("down", "tap"):
        for name, code in codes:
            send(2, code, state)
            state |= MODIFIERS.get(name, 0)
    if action in ("up", "tap"):
        for name, _ in codes:
            state |= MODIFIERS.get(name, 0)
        for name, code in reversed(codes):
            state &= ~MODIFIERS.get(name, 0)
            send(3, code, state | MODIFIERS.get(name, 0))
    # A window already gone makes XSync exit on BadWindow: fine for a late release.
    lib.XSync(display, 0)
    lib.XCloseDisplay(display)


def close(window):
    """WM_DELETE_WINDOW, as a window manager's close button sends it."""
    window = int(window, 0)
    lib, display = x11()
    event = XEvent()
    c = event.xclient
    c.type, c.display, c.window, c.format = 33, display, window, 32  # ClientMessage
    c.message_type = lib.XInternAtom(display, b"WM_PROTOCOLS", 0)
    c.data[0] = lib.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    lib.XSendEvent(display, window, 0, 0, C.byref(event))
    lib.XSync(display, 0)
    lib.XCloseDisplay(display)


def hold():
    """An idle connection to the display until the parent process ends."""
    parent = os.getppid()
    x11()
    while os.getppid() == parent:
        time.sleep(0.5)


def lit(path):
    """A pixel is lit when any channel is above 16 (ZPixmap, 24 or 32 bpp)."""
    data = open(path, "rb").read()
    h = struct.unpack(">25I", data[:100])
    if h[2] != 2 or h[11] not in (24, 32):
        sys.exit("unsupported xwd: format %d, %d bpp" % (h[2], h[11]))
    width, height, step, line = h[4], h[5], h[11] // 8, h[12]
    start = h[0] + 12 * h[19]
    count = 0
    for y in range(height):
        row = data[start + y * line:start + y * line + width * step]
        count += sum(1 for x in range(0, width * step, step) if max(row[x:x + 3]) > 16)
    print("%.4f" % (count / float(width * height)))


def share(path, x, y, w, h, colour):
    """Share of the pixels of a region (fractions of the picture from its
    top-left corner) in a colour class (ZPixmap, 24 or 32 bpp)."""
    data = open(path, "rb").read()
    hd = struct.unpack(">25I", data[:100])
    width, height, step, line, start = hd[4], hd[5], hd[11] // 8, hd[12], hd[0] + 12 * hd[19]
    test = {"red": lambda r, g, b: r > 150 and g < 90 and b < 90,
            "green": lambda r, g, b: g > 150 and r < 120 and b < 120,
            "yellow": lambda r, g, b: r > 180 and g > 150 and b < 100,
            "grey": lambda r, g, b: 80 < r < 180 and abs(r - g) < 12 and abs(g - b) < 12,
            "dark": lambda r, g, b: max(r, g, b) < 60,
            "sky": lambda r, g, b: b > 180 and b > r + 30}[colour]
    xs = range(int(float(x) * width), int((float(x) + float(w)) * width))
    ys = range(int(float(y) * height), int((float(y) + float(h)) * height))
    at = lambda px, py: start + py * line + px * step  # blue in the lowest byte
    hits = sum(1 for py in ys for px in xs if test(data[at(px, py) + 2], data[at(px, py) + 1], data[at(px, py)]))
    print("%.4f" % (hits / float(max(1, len(xs) * len(ys)))))


def bursts(path, hz):
    """How often a tone starts in a 16-bit mono WAV file: tenths of a second
    with its amplitude above 0.1 after ones below."""
    data = open(path, "rb").read()
    at = data.find(b"data")
    size = struct.unpack("<I", data[at + 4:at + 8])[0] // 2
    values = struct.unpack("<%dh" % size, data[at + 8:at + 8 + 2 * size])
    window, c = 2205, 2 * math.cos(2 * math.pi * float(hz) / 22050)
    count, was = 0, False
    for start in range(0, size - window + 1, window):
        s1 = s2 = 0.0
        for v in values[start:start + window]:
            s1, s2 = v / 32768.0 + c * s1 - s2, s1
        loud = 2 * math.sqrt(max(s1 * s1 + s2 * s2 - c * s1 * s2, 0)) / window > 0.1
        count, was = count + (loud and not was), loud
    print(count)


def lines(path, *wanted):
    """Lines starting with the prefixes appear in the file in this order."""
    text = open(path, errors="replace").read().split("\n")
    at = 0
    for want in wanted:
        while at < len(text) and not text[at].startswith(want):
            at += 1
        if at == len(text):
            sys.exit("not found (in order): %r" % want)
        at += 1


if __name__ == "__main__":
    commands = {"keys": keys, "close": close, "hold": hold, "lit": lit, "lines": lines, "share": share,
                "bursts": bursts}
    if len(sys.argv) < 2 or sys.argv[1] not in commands:
        sys.exit(__doc__)
    commands[sys.argv[1]](*sys.argv[2:])
