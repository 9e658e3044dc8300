#!/usr/bin/env python3
"""Characters on the line for reading consecutive register sections, each
direction counted, for the link benchmark: Sy/Max (BCC or CRC, with its
acknowledges and DLE stuffing), Modbus RTU and Modbus ASCII.

usage: link_wire.py symax|symax-crc|rtu|ascii FIRST_REGISTER N,N,...
prints the number of characters."""
import sys

DLE = 0x10


def stuffed(data):
    return len(data) + sum(1 for b in data if b == DLE)


def symax_exchange(register, count, transaction, crc):
    offset = (register - 1) * 2
    request = [0x00, transaction, offset >> 8, offset & 0xFF, 0x00, count - 1]
    reply = [0x86, transaction, 0, 0] + [0] * (2 * count)  # the simulated registers are 0
    check = 2 if crc else 1
    frame = lambda data: 2 + 1 + 2 + 2 + stuffed(data) + 2 + check  # SOH, tag, route "01", STX, ETX
    return frame(request) + 2 + frame(reply) + 2  # each frame acknowledged with DLE and its tag


def rtu_exchange(count):
    return 8 + 5 + 2 * count


def ascii_exchange(count):
    # ':' + two digits per byte (address, PDU, LRC) + CR LF
    return (1 + 2 * 7 + 2) + (1 + 2 * (4 + 2 * count) + 2)


def main():
    protocol, register = sys.argv[1], int(sys.argv[2])
    sections = [int(n) for n in sys.argv[3].split(",")]
    total = 0
    for transaction, count in enumerate(sections):
        if protocol.startswith("symax"):
            total += symax_exchange(register, count, transaction & 0xFF, protocol == "symax-crc")
        elif protocol == "rtu":
            total += rtu_exchange(count)
        else:
            total += ascii_exchange(count)
        register += count
    print(total)


if __name__ == "__main__":
    main()
