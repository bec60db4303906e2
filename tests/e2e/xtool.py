#!/usr/bin/env python3
"""Helpers of the end-to-end tests: xtool.py keys WINDOW down|up|tap KEYSYM... |
close WINDOW | share XWD_FILE X Y W H COLOUR | bursts WAV HZ."""
import ctypes as C
import ctypes.util
import math
import struct
import sys

MODIFIERS = {"Shift_L": 1, "Control_L": 4, "Alt_L": 8}


class Key(C.Structure):  # XKeyEvent, padded to the size of an XEvent
    _fields_ = [("type", C.c_int), ("serial", C.c_ulong), ("send_event", C.c_int), ("display", C.c_void_p),
                ("window", C.c_ulong), ("root", C.c_ulong), ("subwindow", C.c_ulong), ("time", C.c_ulong),
                ("x", C.c_int), ("y", C.c_int), ("x_root", C.c_int), ("y_root", C.c_int), ("state", C.c_uint),
                ("keycode", C.c_uint), ("same_screen", C.c_int), ("pad", C.c_long * 12)]


class Message(C.Structure):  # XClientMessageEvent, padded likewise
    _fields_ = [("type", C.c_int), ("serial", C.c_ulong), ("send_event", C.c_int), ("display", C.c_void_p),
                ("window", C.c_ulong), ("message_type", C.c_ulong), ("format", C.c_int),
                ("data", C.c_long * 5), ("pad", C.c_long * 12)]


def x11():
    x = C.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    for name, res, args in [("XOpenDisplay", C.c_void_p, [C.c_char_p]), ("XDefaultRootWindow", C.c_ulong, [C.c_void_p]),
                            ("XStringToKeysym", C.c_ulong, [C.c_char_p]),
                            ("XKeysymToKeycode", C.c_ubyte, [C.c_void_p, C.c_ulong]),
                            ("XInternAtom", C.c_ulong, [C.c_void_p, C.c_char_p, C.c_int]),
                            ("XSendEvent", C.c_int, [C.c_void_p, C.c_ulong, C.c_int, C.c_long, C.c_void_p]),
                            ("XSync", C.c_int, [C.c_void_p, C.c_int])]:
        getattr(x, name).restype, getattr(x, name).argtypes = res, args
    return x, x.XOpenDisplay(None) or sys.exit("cannot open display")


def keys(window, action, *names):
    """Key events straight to the window (XSendEvent), not through the server's
    shared keyboard. Later keys carry the modifiers of earlier ones (Alt_L F4 is Alt+F4)."""
    x, display = x11()
    codes = [(name, x.XKeysymToKeycode(display, x.XStringToKeysym(name.encode()))) for name in names]
    state, window = 0, int(window, 0)

    def send(kind, code):  # 2 KeyPress, 3 KeyRelease
        event = Key(type=kind, send_event=1, display=display, window=window, root=x.XDefaultRootWindow(display),
                    x=1, y=1, x_root=1, y_root=1, state=state, keycode=code, same_screen=1)
        x.XSendEvent(display, window, 1, 1 if kind == 2 else 2, C.byref(event))
    for name, code in codes if action != "up" else []:
        send(2, code)
        state |= MODIFIERS.get(name, 0)
    for i in range(len(codes) - 1, -1, -1) if action != "down" else []:  # each released with the modifiers still held
        state = sum(MODIFIERS.get(name, 0) for name, _ in codes[:i + 1])
        send(3, codes[i][1])
    x.XSync(display, 0)  # a window already gone ends this with BadWindow: fine for a late release


def close(window):
    """Sends WM_DELETE_WINDOW, as a window manager's close button does."""
    x, display = x11()
    event = Message(type=33, display=display, window=int(window, 0), format=32)  # ClientMessage
    event.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    x.XSendEvent(display, int(window, 0), 0, 0, C.byref(event))
    x.XSync(display, 0)


def share(path, x, y, w, h, colour):
    """Share of a region's pixels in a colour class (an xwd ZPixmap of 24 or 32 bits)."""
    data = open(path, "rb").read()
    hd = struct.unpack(">25I", data[:100])
    width, height, step, line, start = hd[4], hd[5], hd[11] // 8, hd[12], hd[0] + 12 * hd[19]
    test = {"red": lambda r, g, b: r > 150 and g < 90 and b < 90,
            "green": lambda r, g, b: g > 150 and r < 120 and b < 120,
            "yellow": lambda r, g, b: r > 180 and g > 150 and b < 100,
            "grey": lambda r, g, b: 80 < r < 180 and abs(r - g) < 12 and abs(g - b) < 12,
            "dark": lambda r, g, b: max(r, g, b) < 60,
            "lit": lambda r, g, b: max(r, g, b) > 16,
            "sky": lambda r, g, b: b > 180 and b > r + 30}[colour]
    xs = range(int(float(x) * width), int((float(x) + float(w)) * width))
    ys = range(int(float(y) * height), int((float(y) + float(h)) * height))
    at = lambda px, py: start + py * line + px * step  # blue in the lowest byte
    hits = sum(1 for py in ys for px in xs if test(data[at(px, py) + 2], data[at(px, py) + 1], data[at(px, py)]))
    print("%.4f" % (hits / float(max(1, len(xs) * len(ys)))))


def bursts(path, hz):
    """How often a tone starts in a 16-bit mono WAV file: tenths of a second
    with its amplitude above 0.1 after ones below (Goertzel's filter)."""
    data = open(path, "rb").read()
    at = data.find(b"data")
    size = struct.unpack("<I", data[at + 4:at + 8])[0] // 2
    values = struct.unpack("<%dh" % size, data[at + 8:at + 8 + 2 * size])
    window, c = 2205, 2 * math.cos(2 * math.pi * float(hz) / 22050)
    count, was = 0, False
    for begin in range(0, size - window + 1, window):
        s1 = s2 = 0.0
        for v in values[begin:begin + window]:
            s1, s2 = v / 32768.0 + c * s1 - s2, s1
        loud = 2 * math.sqrt(max(s1 * s1 + s2 * s2 - c * s1 * s2, 0)) / window > 0.1
        count, was = count + (loud and not was), loud
    print(count)


if __name__ == "__main__":
    commands = {"keys": keys, "close": close, "share": share, "bursts": bursts}
    if len(sys.argv) < 2 or sys.argv[1] not in commands:
        sys.exit(__doc__)
    commands[sys.argv[1]](*sys.argv[2:])
