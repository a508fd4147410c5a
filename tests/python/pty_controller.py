"""A controller on a pseudo-terminal, written for the tests: it answers each
line the module writes by a rule and keeps every byte it was sent."""

import os
import select
import threading

HANDSHAKE = {b"RC,1;\r\n": b"(380,680)\r\n", b"RS;\r\n": b"RS,0!\r\n"}
HANDSHAKE_BYTES = b"RC,1;\r\nRS;\r\n"


def probing(line):
    """Answers the handshake and every probe (reading 100)."""
    if line.startswith(b"WA,1,"):
        return b"WA,0!\r\n"
    return b"RA,1,100\r\n" if line == b"RA,1;\r\n" else HANDSHAKE.get(line)


class PtyController:
    """answer(line) gives the reply bytes to one line (CR LF included), or
    None for silence. A context manager; path is the port name."""

    def __init__(self, answer):
        self.answer, self.received = answer, bytearray()
        self.master, self.slave = os.openpty()
        self.path = os.ttyname(self.slave)
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._serve, daemon=True)

    def __enter__(self):
        self._thread.start()
        return self

    def __exit__(self, *exc):
        self._stop.set()
        self._thread.join()
        os.close(self.master)
        os.close(self.slave)

    def _serve(self):
        line = b""
        while not self._stop.is_set():
            if select.select([self.master], [], [], 0.02)[0]:
                data = os.read(self.master, 4096)
                self.received += data
                for byte in data:
                    line += bytes([byte])
                    if byte == ord("\n"):
                        reply, line = self.answer(line), b""
                        if reply:
                            os.write(self.master, reply)
