"""Modbus ASCII slave from Debian's pymodbus, used as an independent peer:
unit 1, holding register at address a holds a + 1000, input register 2a."""
import sys

from pymodbus.datastore import ModbusSequentialDataBlock, ModbusServerContext, ModbusSlaveContext
from pymodbus.server import StartSerialServer
from pymodbus.transaction import ModbusAsciiFramer


def main():
    holding = ModbusSequentialDataBlock(0, [a + 1000 for a in range(2000)])
    inputs = ModbusSequentialDataBlock(0, [2 * a for a in range(2000)])
    slave = ModbusSlaveContext(hr=holding, ir=inputs, zero_mode=True)
    context = ModbusServerContext(slaves=slave, single=True)
    print("ready", flush=True)
    StartSerialServer(context=context, framer=ModbusAsciiFramer, port=sys.argv[1], baudrate=9600,
                      parity="N", timeout=0.05)


if __name__ == "__main__":
    main()
