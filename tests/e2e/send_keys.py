#!/usr/bin/env python3
"""Sends key events straight to one window (XSendEvent), whatever window has
the focus. Usage: send_keys.py WINDOW_ID down|up|tap KEYSYM...

down presses the keys in order, up releases them in reverse order, tap does
both. Later keys carry the modifier state of earlier ones (Alt_L F4 is
Alt+F4). Unlike xdotool, which types through the real keyboard whenever the
target happens to hold the focus, this never reaches another window."""
import ctypes
import ctypes.util
import sys

KEY_PRESS, KEY_RELEASE = 2, 3
KEY_PRESS_MASK, KEY_RELEASE_MASK = 1, 2
MODIFIERS = {"Shift_L": 1, "Shift_R": 1, "Control_L": 4, "Control_R": 4, "Alt_L": 8, "Alt_R": 8}


class XKeyEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", ctypes.c_ulong),
        ("root", ctypes.c_ulong),
        ("subwindow", ctypes.c_ulong),
        ("time", ctypes.c_ulong),
        ("x", ctypes.c_int),
        ("y", ctypes.c_int),
        ("x_root", ctypes.c_int),
        ("y_root", ctypes.c_int),
        ("state", ctypes.c_uint),
        ("keycode", ctypes.c_uint),
        ("same_screen", ctypes.c_int),
    ]


class XEvent(ctypes.Union):
    _fields_ = [("xkey", XKeyEvent), ("pad", ctypes.c_long * 24)]


def main():
    window = int(sys.argv[1], 0)
    action = sys.argv[2]
    names = sys.argv[3:]
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XStringToKeysym.restype = ctypes.c_ulong
    x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
    x11.XKeysymToKeycode.restype = ctypes.c_ubyte
    x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(XEvent)]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open display")
    root = x11.XDefaultRootWindow(display)
    keycodes = []
    for name in names:
        code = x11.XKeysymToKeycode(display, x11.XStringToKeysym(name.encode()))
        if not code:
            sys.exit("no key code for %s" % name)
        keycodes.append((name, code))

    def send(kind, code, state):
        event = XEvent()
        k = event.xkey
        k.type = kind
        k.send_event = 1
        k.display = display
        k.window = window
        k.root = root
        k.time = 0
        k.x = k.y = k.x_root = k.y_root = 1
        k.state = state
        k.keycode = code
        k.same_screen = 1
        mask = KEY_PRESS_MASK if kind == KEY_PRESS else KEY_RELEASE_MASK
        x11.XSendEvent(display, window, 1, mask, ctypes.byref(event))

    state = 0
    if action in ("down", "tap"):
        for name, code in keycodes:
            send(KEY_PRESS, code, state)
            state |= MODIFIERS.get(name, 0)
    if action in ("up", "tap"):
        for name, _ in keycodes:
            state |= MODIFIERS.get(name, 0)
        for name, code in reversed(keycodes):
            state &= ~MODIFIERS.get(name, 0)
            send(KEY_RELEASE, code, state | MODIFIERS.get(name, 0))
    # A window that is already gone makes XSync report BadWindow and exit;
    # that is fine for a late release.
    x11.XSync(display, 0)
    x11.XCloseDisplay(display)


if __name__ == "__main__":
    main()
