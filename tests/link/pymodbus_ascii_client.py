"""Modbus ASCII master from Debian's pymodbus, used as an independent peer:
writes registers, reads them back and prints the values on one line."""
import sys

from pymodbus.client import ModbusSerialClient
from pymodbus.transaction import ModbusAsciiFramer


def main():
    port, unit, address = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    values = [int(v, 0) for v in sys.argv[4:]]
    client = ModbusSerialClient(port, framer=ModbusAsciiFramer, baudrate=9600, parity="N", timeout=3)
    if not client.connect():
        print("cannot open", port, file=sys.stderr)
        return 1
    if values:
        result = client.write_registers(address, values, slave=unit)
        if result.isError():
            print("write failed:", result, file=sys.stderr)
            return 1
    result = client.read_holding_registers(address, max(len(values), 1) if values else 13, slave=unit)
    if result.isError():
        print("read failed:", result, file=sys.stderr)
        return 1
    print(" ".join(str(v) for v in result.registers))
    client.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
