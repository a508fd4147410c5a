"""pyserial's example RFC 2217 server (python3-serial's rfc2217_server.py) as
it is, but listening on 127.0.0.1 only, and with the modem lines that a
pseudo-terminal lacks reading as low. Arguments: EXAMPLE -p PORT DEVICE."""
import errno
import fcntl
import runpy
import socket
import struct
import sys
import types

import serial.serialposix as posix

bind = socket.socket.bind
socket.socket.bind = lambda self, address: bind(self, ("127.0.0.1", address[1]))


def ioctl(fd, request, arg=0, *rest):
    try:
        return fcntl.ioctl(fd, request, arg, *rest)
    except OSError as error:
        if error.errno != errno.ENOTTY or request not in (posix.TIOCMBIS, posix.TIOCMBIC, posix.TIOCMGET):
            raise
        return struct.pack("I", 0) if request == posix.TIOCMGET else arg


posix.fcntl = types.SimpleNamespace(**{**vars(fcntl), "ioctl": ioctl})
sys.argv = sys.argv[1:]
runpy.run_path(sys.argv[0], run_name="__main__")
