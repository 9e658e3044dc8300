"""A working directory in which kovasw starts straight into its main menu.

The program reads KOVASW.STP at start and connects the link it names; without
one it opens the setup form. The benchmarks want the plain main menu, so they
get a setup naming a Modbus TCP link to a loopback listener of their own,
which accepts the connection and never has to answer (the main menu sends no
requests).
"""
import os, socket, struct, tempfile

def setup_bytes(tcp_port, host="127.0.0.1"):
    words = lambda *v: struct.pack("<%dH" % len(v), *[x & 0xFFFF for x in v])
    data = (words(6, 0, 0, 13, 1, 0, 1, 0)          # type, port, reserved, baud, data, stop, parity, check
            + words(1, 1) + bytes(18)               # route count, the unit, the rest of the route
            + words(0, 13, 1, 0, 0)                 # terminal port, baud, data, stop, parity
            + b"EDIT.COM" + bytes(34)
            + words(0, 0, 20, 1, 0, 0, 500, tcp_port)
            + host.encode() + bytes(42 - len(host))
            + words(0))
    assert len(data) == 150
    return data

class QuietStart:
    """A scratch directory with KOVASW.STP and the listener it names."""
    def __enter__(self):
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(64)
        self.dir = tempfile.mkdtemp(prefix="kova-bench-")
        with open(os.path.join(self.dir, "KOVASW.STP"), "wb") as f:
            f.write(setup_bytes(self.listener.getsockname()[1]))
        return self

    def __exit__(self, *exc):
        self.listener.close()
        for name in os.listdir(self.dir):
            os.unlink(os.path.join(self.dir, name))
        os.rmdir(self.dir)
