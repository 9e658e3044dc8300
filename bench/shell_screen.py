#!/usr/bin/env python3
"""Bytes the program writes to its terminal, and the time to the first menu.

Runs build/kovasw on a pseudo-terminal of 80 x 25 (TERM=xterm-256color) and
counts what it writes: (a) from start to the first menu, (b) for one Right
move on the menu bar, and a full repaint of the screen (forced by shrinking the
terminal and growing it back). Also the median wall time from start to the
first menu over several runs.
"""
from bench_setup import QuietStart, program_path, spawn_on_pty
import fcntl, os, pty, select, signal, statistics, struct, sys, termios, time

QUIET = 0.15  # seconds without output that end a burst

def set_size(fd, rows, cols):
    fcntl.ioctl(fd, termios.TIOCSWINSZ, struct.pack("HHHH", rows, cols, 0, 0))

def burst(fd, timeout=5.0):
    """Reads until the output has been quiet a while; returns bytes and time of the last."""
    data, last, end = b"", time.monotonic(), time.monotonic() + timeout
    while time.monotonic() < end:
        ready, _, _ = select.select([fd], [], [], QUIET)
        if not ready:
            if data:
                break
            continue
        try:
            chunk = os.read(fd, 65536)
        except OSError:
            break
        data += chunk
        last = time.monotonic()
    return data, last

def stop(pid, fd):
    os.kill(pid, signal.SIGTERM)
    os.waitpid(pid, 0)
    os.close(fd)

def measure_bytes(program):
    pid, fd = spawn_on_pty(program)
    start_bytes, _ = burst(fd)
    os.write(fd, b"\x1bOC")  # Right, in the keypad mode the program sets
    move_bytes, _ = burst(fd)
    set_size(fd, 20, 60); os.kill(pid, signal.SIGWINCH); burst(fd)
    set_size(fd, 25, 80); os.kill(pid, signal.SIGWINCH)
    repaint_bytes, _ = burst(fd)
    stop(pid, fd)
    return len(start_bytes), len(move_bytes), len(repaint_bytes)

def esc_latency(program, runs=10):
    """Time from a lone Esc to the pull-down closing, the median of several."""
    pid, fd = spawn_on_pty(program)
    burst(fd)
    times = []
    for _ in range(runs):
        os.write(fd, b"F")
        burst(fd)
        t0 = time.monotonic()
        os.write(fd, b"\x1b")
        ready, _, _ = select.select([fd], [], [], 2.0)
        if ready:
            times.append(time.monotonic() - t0)
        burst(fd)
    stop(pid, fd)
    return statistics.median(times)

def time_to_menu(program):
    t0 = time.monotonic()
    pid, fd = spawn_on_pty(program)
    data, last = burst(fd)
    stop(pid, fd)
    if b"F10 to clear" not in data:
        raise SystemExit("the menu never appeared")
    return last - t0

def main():
    program = program_path()
    with QuietStart():
        run(program)

def run(program):
    start, move, repaint = measure_bytes(program)
    print(f"full repaint of 80x25:       {repaint} bytes")
    print(f"start to first menu:         {start} bytes ({start / repaint:.2f} x full repaint)")
    print(f"one Right move on the bar:   {move} bytes ({100 * move / repaint:.1f}% of full repaint; goal < 5%)")
    print(f"lone Esc to the screen's answer, median: {1000 * esc_latency(program):.1f} ms (goal < 50 ms)")
    times = [time_to_menu(program) for _ in range(15)]
    print(f"start to first menu, median: {1000 * statistics.median(times):.1f} ms over {len(times)} runs (goal < 50 ms)")

if __name__ == "__main__":
    main()
