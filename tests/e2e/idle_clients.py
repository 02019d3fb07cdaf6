"""Small X clients for the idle watcher's end-to-end check.

reset:      calls XResetScreenSaver every second, as video players do.
fullscreen: maps a window that asks the window manager for full screen.
Both run until they are ended.
"""
import ctypes
import sys
import time

xlib = ctypes.CDLL("libX11.so.6")
xlib.XOpenDisplay.restype = ctypes.c_void_p
xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
xlib.XDefaultRootWindow.restype = ctypes.c_ulong
xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
xlib.XResetScreenSaver.argtypes = [ctypes.c_void_p]
xlib.XFlush.argtypes = [ctypes.c_void_p]
xlib.XCreateSimpleWindow.restype = ctypes.c_ulong
xlib.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                     ctypes.c_uint, ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong,
                                     ctypes.c_ulong]
xlib.XInternAtom.restype = ctypes.c_ulong
xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
xlib.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong,
                                 ctypes.c_int, ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
xlib.XStoreName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_char_p]
xlib.XMapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]

display = xlib.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the display")

if sys.argv[1] == "reset":
    while True:
        xlib.XResetScreenSaver(display)
        xlib.XFlush(display)
        time.sleep(1)

root = xlib.XDefaultRootWindow(display)
window = xlib.XCreateSimpleWindow(display, root, 0, 0, 320, 240, 0, 0, 0)
xlib.XStoreName(display, window, b"idle-test-fullscreen")
state = (ctypes.c_ulong * 1)(xlib.XInternAtom(display, b"_NET_WM_STATE_FULLSCREEN", 0))
xlib.XChangeProperty(display, window, xlib.XInternAtom(display, b"_NET_WM_STATE", 0), 4, 32, 0, state, 1)
xlib.XMapWindow(display, window)
xlib.XFlush(display)
while True:
    time.sleep(60)
