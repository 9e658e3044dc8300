"""A working directory in which kovasw starts straight into its main menu.

The program reads KOVASW.STP at start and connects the link it names; without
one it opens the setup form. The benchmarks want the plain main menu, so they
get a setup naming a Modbus TCP link to a loopback listener of their own,
which accepts the connection and never has to answer (the main menu sends no
requests).
"""
import fcntl, os, pty, select, signal, socket, struct, sys, tempfile, termios, time

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

def program_path():
    """build/kovasw, or kovasw in the build folder named on the command line."""
    return os.path.abspath(os.path.join(sys.argv[1] if len(sys.argv) > 1 else "build", "kovasw"))

def spawn_on_pty(program, args=()):
    """Starts the program on a pseudo-terminal of 80 x 25; returns pid and master."""
    pid, fd = pty.fork()
    if pid == 0:
        os.environ.update(TERM="xterm-256color", LANG="C.UTF-8", LC_ALL="C.UTF-8")
        os.execv(program, [program, *args])
    fcntl.ioctl(fd, termios.TIOCSWINSZ, struct.pack("HHHH", 25, 80, 0, 0))
    os.kill(pid, signal.SIGWINCH)
    return pid, fd

class QuietStart:
    """A scratch directory with KOVASW.STP and the listener it names, made the
    current directory (programs started inside inherit it) until the end."""
    def __enter__(self):
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(64)
        self.dir = tempfile.mkdtemp(prefix="kova-bench-")
        with open(os.path.join(self.dir, "KOVASW.STP"), "wb") as f:
            f.write(setup_bytes(self.listener.getsockname()[1]))
        self.previous = os.getcwd()
        os.chdir(self.dir)
        return self

    def __exit__(self, *exc):
        os.chdir(self.previous)
        self.listener.close()
        for name in os.listdir(self.dir):
            os.unlink(os.path.join(self.dir, name))
        os.rmdir(self.dir)

TICK = os.sysconf("SC_CLK_TCK")

def cpu_ticks(pid):
    """The process's CPU time so far (utime + stime) in clock ticks."""
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])

def read_until(fd, needle, timeout=10.0):
    """What the program writes to its terminal up to and including needle."""
    data, end = b"", time.monotonic() + timeout
    while time.monotonic() < end:
        if select.select([fd], [], [], 0.05)[0]:
            data += os.read(fd, 65536)
            if needle in data:
                return data
    raise SystemExit(f"never saw {needle!r}")
