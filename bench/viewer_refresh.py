#!/usr/bin/env python3
"""The register viewer's refresh rate, CPU time and terminal bytes.

Modbus TCP: kovasw on a pseudo-terminal of 80 x 25 views 20 registers with
their status registers (two reads per pass) from kova-sim on loopback,
through a relay that counts the requests. Measured: passes per second (goal
10, the pacing), the program's CPU time (goal under 2% of a core), and the
bytes written to the terminal per pass with nothing changing (goal under 20:
the spinner's cell) and with one value changing every pass (the relay
rewrites the first register of each reply; goal under 80).

Sy/Max at 9600 8E1 with status registers: the same view through a relay
between two pseudo-terminals that counts the bytes each way. Both ends pace
what they send to the line rate (the program does on a Sy/Max link, the
simulator with --pace), so the pty behaves as a 9600 baud line with 11 bits a
character. The wire-time limit is the time the bytes of one pass (both reads,
both directions) take on that line; goal at least 0.9 x that limit.
"""
from bench_setup import TICK, cpu_ticks, read_until, program_path, setup_bytes, spawn_on_pty
import os, pty, select, signal, socket, struct, subprocess, sys, tempfile, threading, time, tty

WINDOW = 5.0  # seconds of each measurement
CHAR_TIME = 11 / 9600  # start, 8 data, parity, stop


class TcpRelay(threading.Thread):
    """Forwards one Modbus TCP client to the simulator, counting the read
    requests; with change set, the first value of every read from register
    1 is replaced by a new number."""

    def __init__(self, target_port):
        super().__init__(daemon=True)
        self.listener = socket.socket()
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(1)
        self.port = self.listener.getsockname()[1]
        self.target_port = target_port
        self.reads = 0
        self.change = False
        self.counter = 0

    def run(self):
        client, _ = self.listener.accept()
        server = socket.create_connection(("127.0.0.1", self.target_port))
        pending_first = {}  # transaction -> the request read from register 1
        while True:
            ready = select.select([client, server], [], [])[0]
            if client in ready:
                data = client.recv(4096)
                if not data:
                    return
                # One request per segment: the program waits for each reply.
                if len(data) >= 12 and data[7] in (3, 4):
                    self.reads += 1
                    pending_first[data[0:2]] = struct.unpack(">H", data[8:10])[0] == 0
                server.sendall(data)
            if server in ready:
                data = server.recv(4096)
                if not data:
                    return
                if self.change and len(data) >= 11 and pending_first.get(data[0:2]):
                    self.counter = (self.counter + 1) & 0xFFFF
                    data = data[:9] + struct.pack(">H", self.counter) + data[11:]
                client.sendall(data)


def read_for(fd, seconds):
    """Bytes the program writes to its terminal in the next seconds."""
    written, end = 0, time.monotonic() + seconds
    while (left := end - time.monotonic()) > 0:
        if select.select([fd], [], [], left)[0]:
            written += len(os.read(fd, 65536))
    return written


def measure(pid, fd, count_reads):
    read_for(fd, 1.0)  # the screen settles after the start or a change of mode
    reads0, cpu0, t0 = count_reads(), cpu_ticks(pid), time.monotonic()
    written = read_for(fd, WINDOW)
    wall = time.monotonic() - t0
    passes = (count_reads() - reads0) / 2  # two reads per pass
    return passes / wall, (cpu_ticks(pid) - cpu0) / TICK / wall, written / max(passes, 1)


def start_sim(build, args):
    sim = subprocess.Popen([os.path.join(build, "kova-sim"), *args], stdout=subprocess.PIPE, text=True)
    return sim, [sim.stdout.readline().strip() for _ in range(2 if "--tcp" in args else 1)]


def tcp_bench(build, program):
    sim, lines = start_sim(build, ["--tcp", "127.0.0.1:0"])
    relay = TcpRelay(int(lines[1]))
    relay.start()
    work = tempfile.mkdtemp(prefix="kova-bench-viewer-")
    try:
        with open(os.path.join(work, "KOVASW.STP"), "wb") as f:
            f.write(setup_bytes(relay.port))
        os.chdir(work)
        pid, fd = spawn_on_pty(program, ["UV"])
        read_until(fd, b"4x20")
        rate, cpu, idle_bytes = measure(pid, fd, lambda: relay.reads)
        relay.change = True
        _, _, change_bytes = measure(pid, fd, lambda: relay.reads)
        os.kill(pid, signal.SIGTERM)
        os.waitpid(pid, 0)
        print(f"Modbus TCP refreshes:          {rate:.1f} per second (goal 10)")
        print(f"Modbus TCP CPU:                {100 * cpu:.2f}% of a core (goal under 2%)")
        print(f"terminal bytes per refresh:    {idle_bytes:.1f} idle (goal under 20), "
              f"{change_bytes:.1f} with one value changing (goal under 80)")
    finally:
        sim.terminate()
        sim.wait()
        for name in os.listdir(work):
            os.unlink(os.path.join(work, name))
        os.rmdir(work)


class SerialWire(threading.Thread):
    """Two pty masters joined, counting requests and bytes."""

    def __init__(self, a, b):
        super().__init__(daemon=True)
        self.a, self.b = a, b
        self.frames = 0  # DLE STX from the program's side: one per request
        self.bytes = 0
        self.dle = False
        self.running = True

    def count(self, data):
        for byte in data:
            if self.dle and byte == 0x02:
                self.frames += 1
            self.dle = byte == 0x10 and not self.dle

    def run(self):
        while self.running:
            for src in select.select([self.a, self.b], [], [], 0.1)[0]:
                try:
                    data = os.read(src, 4096)
                except OSError:
                    return
                if src == self.a:
                    self.count(data)
                self.bytes += len(data)
                os.write(self.b if src == self.a else self.a, data)


def symax_bench(build, program):
    program_master, program_slave = pty.openpty()
    sim_master, sim_slave = pty.openpty()
    for fd in (program_master, sim_master):
        tty.setraw(fd)
    sim = subprocess.Popen([os.path.join(build, "kova-sim"), "--protocol", "symax", "--pace",
                            "--baud", "9600", "--parity", "even", "--tty", os.ttyname(sim_slave)])
    wire = SerialWire(program_master, sim_master)
    wire.start()
    work = tempfile.mkdtemp(prefix="kova-bench-viewer-")
    root = os.path.join(work, "root")
    os.makedirs(os.path.join(root, "sys/class/tty/ttyS0/device"))
    os.makedirs(os.path.join(root, "dev"))
    os.symlink(os.ttyname(program_slave), os.path.join(root, "dev/ttyS0"))
    try:
        words = lambda *v: struct.pack("<%dH" % len(v), *[x & 0xFFFF for x in v])
        setup = bytearray(setup_bytes(502))
        setup[0:16] = words(1, 0, 0, 13, 1, 0, 1, 0)  # Sy/Max, ttyS0, 9600 (13), 8 bits, 1 stop, even, BCC
        with open(os.path.join(work, "KOVASW.STP"), "wb") as f:
            f.write(setup)
        os.chdir(work)
        pid, fd = spawn_on_pty(program, ["--device-root", root, "UV"])
        read_until(fd, b"4x20", timeout=20)
        frames0, bytes0 = wire.frames, wire.bytes
        rate, cpu, _ = measure(pid, fd, lambda: wire.frames)
        passes = (wire.frames - frames0) / 2
        per_pass = (wire.bytes - bytes0) / max(passes, 1)
        limit = 1 / (per_pass * CHAR_TIME)
        os.kill(pid, signal.SIGTERM)
        os.waitpid(pid, 0)
        print(f"Sy/Max 9600 8E1 refreshes:     {rate:.2f} per second; wire-time limit {limit:.2f} "
              f"({per_pass:.0f} bytes a pass); {rate / limit:.2f} x the limit (goal 0.9 or more)")
        print(f"Sy/Max 9600 8E1 CPU:           {100 * cpu:.2f}% of a core")
    finally:
        wire.running = False
        sim.terminate()
        sim.wait()
        subprocess.run(["rm", "-rf", work])


def main():
    program = program_path()
    build = os.path.dirname(program)
    here = os.getcwd()
    tcp_bench(build, program)
    os.chdir(here)
    symax_bench(build, program)


if __name__ == "__main__":
    main()
