// The texts of Sy/Max error codes and Modbus exception codes, and the ways
// the protocols turn a code into a link error text.
#include "link/link_errors.h"

#include <cstdio>

namespace {

const char* const kSyMaxErrors[] = {
    "No Error",
    "Illegal Opcode",
    "Illegal Intermediate Code",
    "Illegal Address",
    "Illegal Rack Address",
    "Instruction Not Allowed",
    "Item Not Found",
    "Protected Register",
    "Protected Memory",
    "Read-only Register",
    "Memory Limitation",
    "Communications Overflow",
    "Illegal CPU Rack Addressing",
    "Communications Error",
    "Not Allowed In RUN",
    "Communications Overflow",
    "Register Count Too Large",
    "Remote Device Inactive",
    "Rung Number Not Allowed",
    "Illegal Read Parameter",
    "Illegal Channel Number",
    "Changing Forced Bit",
    "Forcing Inhibited",
    "Fenced Register",
    "Forcing Non-forcible Register",
    "CPU Error",
    "Rack Addressing Overlaps User Memory",
    "Memory Error",
    "Illegal Baud Rate",
    "Illegal Route",
    "Inhibit Coil In Protected MemoryEnd Of File",
    "Protected Memory",
    "Data Error",
    "UVPROM Memory Error",
    "Write Protected",
    "Replace Not Allowed",
    "Past Last File",
    "View Protected",
    "Alarm Already Set",
    "Hardware Memory Security In Effect",
    "Illegal Register Write",
    "Illegal File Number",
    "Illegal Operation",
    "File Not Found",
    "Not Allowed During DLOG Tape",
    "Protected File",
    "Not Allowed Due To Keyswitch Position",
    "Programming MCR In Subroutine Area Not Allowed",
    "I/O, Register Or Channel Safeguarded",
    "Rack Address Not Alterable While Forcing Active",
    "Missing Module",
    "Illegal File Type",
    "Illegal Media Format",
    "Illegal Mark Number",
    "File Operation Aborted",
    "COMMS Queue Buffer Forced Emptied",
    "Battery Low",
    "Illegal Mark Number For GOTO Or GOSUB",
    "Mark St.Sub Cannot Be Inserted",
    "Return Rungs Not Allowed In Ladder Area",
    "Mark Number Previously Used",
    "Cannot Delete Mark St.Sub",
    "Cannot Delete Mark Having Return",
    "Return Must Have Mark",
    "Only One Return Per Mark",
    "GOSUB Without Return",
    "GOTO Mark Without Return",
    "Cannot Delete Mark",
    "Unused Mark Number",
    "Not Allowed In RUN With Programmable Interrupt",
    "Insufficient Data",
    "Unrecognized Command",
    "Illegal Parameter",
    "Illegal Source Parameter",
    "Illegal Destination Parameter",
    "Invalid Filespec",
    "Invalid Input Channel",
    "Invalid Output Channel",
    "Device Not Available",
    "Serial Link Not Established",
    "Hardware Read Fault",
    "Hardware Write Fault",
    "Read Error",
    "Write Error",
    "Directory Read Error",
    "Directory Write Error",
    "Directory Space Full",
    "Device Space Full",
    "File Not Found",
    "File Access Denied",
    "File Already Exists",
    "File Already Open",
    "File Format Error",
    "File Wrong Type",
    "Open Attempt To Open File",
    "I/O Attempt To Open File",
    "Write Attempt To Read-only File",
    "Record Out Of Range",
    "Too Many Open Files",
    "Operation Aborted By User",
    "Source Filespec Required",
    "Destination Filespec Required",
    "Maximum Open Count For File",
    "Incompatible Source Device/File Type",
    "Incompatible Destination Device/File Type",
    "Device Timeout",
    "Protected File",
    "Illegal File Type",
    "Illegal Device",
    "File Type Required",
    "Device Required",
    "Channel Required",
    "Route Required",
    "Filename Required",
    "Illegal Offset",
    "Illegal Count",
    "Source/Destination Cannot Be Same",
    "Duplicate Symbol",
    "File Mismatch",
    "Invalid Register Address",
    "Invalid File Name",
    "Write Data Error",
    "Insufficient Data For Write",
    "Invalid Read Parameter",
    "Communication Parity Error",
    "Busy Data Transfer Or Weld In Progress",
    "Communication Overrun Error",
    "Communication Framing Error",
    "Dropped Unexpected Reply",
    "Job Space Full",
    "Write Sequence Not Initiated",
    "Memory Full",
    "No Data Found",
    "Cannot Stop Attached Batch Job",
    "Illegal Communication To COMM Port",
    "Error Noted During A Transfer",
};

const char* const kModbusExceptions[] = {
    nullptr,
    "ILLEGAL FUNCTION",
    "ILLEGAL DATA ADDRESS",
    "ILLEGAL DATA VALUE",
    "SLAVE DEVICE FAILURE",
    "ACKNOWLEDGE",
    "SLAVE DEVICE BUSY",
    "NEGATIVE ACKNOWLEDGE",
    "MEMORY PARITY ERROR",
    "Modbus error 9",
    "Modbus error 10",
    "DOWNSTREAM DEVICE DIDN'T RESPOND",
    "NO FREE MASTER PATH",
};

}  // namespace

const char* SyMaxErrorText(unsigned code) {
    constexpr unsigned n = sizeof(kSyMaxErrors) / sizeof(kSyMaxErrors[0]);
    return code < n ? kSyMaxErrors[code] : "Unknown Error";
}

const char* ModbusExceptionText(unsigned code) {
    constexpr unsigned n = sizeof(kModbusExceptions) / sizeof(kModbusExceptions[0]);
    return code < n ? kModbusExceptions[code] : nullptr;
}

void SetSyMaxErrorText(Link* link, unsigned code) {
    SetLinkError(link, LinkFailure::ErrorReply, "(%u) %s", code, SyMaxErrorText(code));
}

void FormatModbusException(unsigned code, char* text, size_t size) {
    const char* known = ModbusExceptionText(code);
    if (known)
        snprintf(text, size, "Modbus error reply %u %s", code, known);
    else
        snprintf(text, size, "Modbus error reply %u", code);
}

void SetModbusExceptionText(Link* link, unsigned code) {
    char text[64];
    FormatModbusException(code, text, sizeof text);
    SetLinkError(link, LinkFailure::ErrorReply, "%s", text);
}
