#!/usr/bin/env python3
"""The serial terminal on a pty offered as serial port ttyS0.

Starts build/kovasw on a pseudo-terminal of 80 x 25 with a device root whose
ttyS0 is a pty this script plays the far end of, and the keystrokes for
Utility > Terminal emulator. Then:
- captures to a file while 1 MB of text with control bytes mixed in arrives
  as fast as the pty carries it, and times it until the capture holds all of
  it; the capture must equal, byte for byte, what the display rules make of
  the input (shown and captured in order);
- CPU (utime + stime from /proc/<pid>/stat) over 3 s of an idle terminal;
- CPU while a steady 115200-baud stream (11.5 kB/s, in 10 ms slices) arrives;
- CPU over 5 s while the port has vanished and the terminal waits for it to
  come back (an attempt to open it about once a second).
"""
from bench_setup import TICK, cpu_ticks, read_until, QuietStart, program_path, spawn_on_pty
import os, random, select, shutil, signal, sys, tempfile, threading, time

TOTAL = 1 << 20

class Drain(threading.Thread):
    """Reads the program's screen output so that it never blocks on it."""
    def __init__(self, fd):
        super().__init__(daemon=True)
        self.fd, self.stop, self.tail = fd, False, b""
    def run(self):
        while not self.stop:
            if select.select([self.fd], [], [], 0.05)[0]:
                try:
                    self.tail = (self.tail + os.read(self.fd, 65536))[-4096:]
                except OSError:
                    return

def display(data):
    """The display rules for received bytes, for a stream in which every CR is
    followed at once by the next byte and the last byte is not a CR."""
    out, col, i = bytearray(), 1, 0
    code = lambda b: b"<%02X>" % b
    while i < len(data):
        b = data[i]; i += 1
        if 0x20 <= b <= 0x7E:
            out.append(b); col += 1
            if col > 80: col -= 80
            continue
        if col > 77:
            out += b"\r\n"; col = 1
        out += code(b); col += 4
        if col > 80:
            col -= 80; continue
        if b != 0x0D:
            continue
        c = data[i]; i += 1
        if c == 0x0A:
            if col > 77: out += b"\r\n"
            out += code(c) + b"\r\n"; col = 1
        else:
            out += b"\r\n"
            if 0x20 <= c <= 0x7F:
                out.append(c); col = 2
            else:
                out += code(c); col = 5
    return bytes(out)

def sample_text(size, seed=13):
    rng = random.Random(seed)
    words = [b"KOVA", b"port", b"12.5", b"READY", b"\x1b[2J", b"\x02STX\x03", b"\t", b"\x00", b"\xff"]
    out = bytearray()
    while len(out) < size:
        out += rng.choice(words) + (b"\r\n" if rng.random() < 0.08 else b" ")
    out = out[:size]
    while out[-1] == 0x0D:
        out = out[:-1] + b"."
    return bytes(out)

def make_device_root():
    master, slave = os.openpty()
    import tty
    tty.setraw(slave)
    root = tempfile.mkdtemp(prefix="kova-bench-ports-")
    os.makedirs(os.path.join(root, "sys/class/tty/ttyS0/device"))
    os.makedirs(os.path.join(root, "dev"))
    os.symlink(os.ttyname(slave), os.path.join(root, "dev/ttyS0"))
    return root, master, slave

def write_all(fd, data):
    view = memoryview(data)
    while view:
        view = view[os.write(fd, view):]

def measure_cpu(pid, seconds, feed=None):
    before, t0 = cpu_ticks(pid), time.monotonic()
    if feed:
        feed(seconds)
    else:
        time.sleep(seconds)  # the measurement window, not a synchronisation
    return (cpu_ticks(pid) - before) / TICK, time.monotonic() - t0

def main():
    program = program_path()
    root, master, slave = make_device_root()
    try:
        with QuietStart() as q:
            run(program, root, master, q.dir)
    finally:
        os.close(slave)
        shutil.rmtree(root, ignore_errors=True)

def run(program, root, master, workdir):
    pid, fd = spawn_on_pty(program, ["--device-root", root, "UT"])
    drain = measure_open_port(pid, fd, master, workdir)
    measure_lost_port(pid, master, drain)
    finish(pid, fd, drain)

def measure_open_port(pid, fd, master, workdir):
    read_until(fd, b"type ENTER.")
    os.write(fd, b"\x1b[18~")  # F7
    read_until(fd, b"Capture to file?")
    os.write(fd, b"capture.txt\r")
    read_until(fd, b"Type F8 to end capture.")
    drain = Drain(fd); drain.start()

    data = sample_text(TOTAL)
    expected = display(data)
    capture = os.path.join(workdir, "capture.txt")
    t0, ticks = time.monotonic(), cpu_ticks(pid)
    writer = threading.Thread(target=write_all, args=(master, data)); writer.start()
    while os.path.getsize(capture) < len(expected) and time.monotonic() - t0 < 120:
        time.sleep(0.005)
    elapsed = time.monotonic() - t0
    cpu = max((cpu_ticks(pid) - ticks) / TICK, 1 / TICK)
    writer.join()
    with open(capture, "rb") as f:
        same = f.read() == expected
    print(f"1 MB with control bytes at pty speed: {TOTAL / elapsed / 1e6:.2f} MB/s "
          f"({elapsed:.2f} s; goal at least 1 MB/s); capture equal to the display rules: "
          f"{'yes' if same else 'NO'}")
    # On a loaded machine the wall time counts other programs' turns too.
    print(f"  the terminal's own CPU for it: {cpu:.2f} s ({TOTAL / cpu / 1e6:.2f} MB per CPU second)")

    time.sleep(0.3)
    cpu, wall = measure_cpu(pid, 3.0)
    print(f"idle terminal: {cpu * 1000:.0f} ms CPU in {wall:.1f} s ({100 * cpu / wall:.2f}%; goal 0)")

    stream = sample_text(11520 * 4, seed=7)
    def feed(seconds):
        per_slice, at, next_time = 115, 0, time.monotonic()
        end = next_time + seconds
        while time.monotonic() < end:
            write_all(master, stream[at:at + per_slice]); at = (at + per_slice) % (len(stream) - per_slice)
            next_time += 0.01
            time.sleep(max(0, next_time - time.monotonic()))
    cpu, wall = measure_cpu(pid, 3.0, feed)
    print(f"steady 115200-baud stream: {cpu * 1000:.0f} ms CPU in {wall:.1f} s "
          f"({100 * cpu / wall:.1f}% of a core; goal under 10%)")
    return drain

def measure_lost_port(pid, master, drain):
    os.close(master)  # the adapter is pulled
    t0 = time.monotonic()
    while b"Lost port" not in drain.tail and time.monotonic() - t0 < 10:
        time.sleep(0.01)
    cpu, wall = measure_cpu(pid, 5.0)
    print(f"waiting for a lost port: {cpu * 1000:.0f} ms CPU in {wall:.1f} s "
          f"({100 * cpu / wall:.2f}% of a core; goal under 0.5%)")

def finish(pid, fd, drain):
    drain.stop = True; drain.join()
    os.kill(pid, signal.SIGTERM)
    os.waitpid(pid, 0)
    os.close(fd)

if __name__ == "__main__":
    main()
