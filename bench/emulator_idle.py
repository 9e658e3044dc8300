#!/usr/bin/env python3
"""CPU time the emulator uses while it waits for a key, and time per message.

Runs build/kovasw on a pseudo-terminal of 80 x 25 with the keystrokes for
Emulate > from oFfline memory > port 1 on its command line, then reads the
process's utime + stime from /proc/<pid>/stat over a few seconds in the two
waits of the message loop: for the next character, and at "Ready for more
data". Then times typed messages end to end (key to "Ready for more data").
"""
from bench_setup import TICK, cpu_ticks, read_until, QuietStart, program_path, spawn_on_pty
import os, pty, select, signal, statistics, sys, time, fcntl, termios, struct

IDLE_SECONDS = 3.0

def drain(fd, quiet=0.2):
    while select.select([fd], [], [], quiet)[0]:
        os.read(fd, 65536)

def idle_cpu(pid, fd):
    drain(fd)
    before, t0 = cpu_ticks(pid), time.monotonic()
    time.sleep(IDLE_SECONDS)  # the measurement window, not a synchronisation
    used, wall = cpu_ticks(pid) - before, time.monotonic() - t0
    return used / TICK, wall

def main():
    program = program_path()
    with QuietStart():
        run(program)

def run(program):
    pid, fd = spawn_on_pty(program, ["EF/R"])
    read_until(fd, b"INSERT for hex entry")
    cpu, wall = idle_cpu(pid, fd)
    print(f"waiting for a character:      {cpu * 1000:.0f} ms CPU in {wall:.1f} s ({100 * cpu / wall:.2f}%; goal 0)")
    os.write(fd, b"1\r")
    read_until(fd, b"Ready for more data")
    cpu, wall = idle_cpu(pid, fd)
    print(f"waiting at Ready for more:    {cpu * 1000:.0f} ms CPU in {wall:.1f} s ({100 * cpu / wall:.2f}%; goal 0)")
    times = []
    for i in range(30):
        t0 = time.monotonic()
        os.write(fd, f"{i}\r".encode())
        read_until(fd, b"Ready for more data")
        times.append(time.monotonic() - t0)
    print(f"typed message to Ready, median: {1000 * statistics.median(times):.1f} ms over {len(times)} messages")
    os.kill(pid, signal.SIGTERM)
    os.waitpid(pid, 0)
    os.close(fd)

if __name__ == "__main__":
    main()
