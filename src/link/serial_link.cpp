// Opening and setting serial links, and the transmitter pump that refills
// the transmit buffer from the protocol's byte producer.
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <new>

#include "link/link_backend.h"
#include "link/link_lifecycle.h"
#include "link/link_state.h"
#include "link/serial_port.h"
#include "link/serial_termios.h"

namespace {

constexpr int kSyMaxChunk = 8;
constexpr std::chrono::seconds kSettingsWait(2);

bool SetLinkRoute(Link* link, int netToNet, const LinkRoute& route) {
    link->netToNet = netToNet ? 1 : 0;
    if (!netToNet) {
        link->route = route;
        return true;
    }
    if (route.count > 7) return false;
    uint16_t first = route.entries[0];
    link->route.entries[0] = static_cast<uint16_t>(first < 100 ? first + 100 : first - 100);
    for (int i = 0; i < route.count; ++i) link->route.entries[i + 1] = route.entries[i];
    link->route.count = static_cast<uint16_t>(route.count + 1);
    return true;
}

// False, with errno set, when the line cannot be set at all. A device
// server's line is set on the server; Sy/Max's writes are still paced at
// the line's rate, which its line takes to carry them.
bool SetUpLines(SerialPort& port, const SerialDevice& device, bool syMax) {
    const int fd = device.fd;
    if (device.network) {
        port.modemLinesWork = port.rs485 = port.rtsWhileSending = false;
        port.paceWrites = syMax;
        return true;
    }
    if (!ApplyLineSettings(fd, port.settings)) return false;
    // Bytes that reached the port before it was ours (the late reply to a
    // program that has since closed it) answer nothing this link asks.
    tcflush(fd, TCIFLUSH);
    port.modemLinesWork = SetModemLine(fd, false, true);  // DTR on
    if (syMax) {
        SetModemLine(fd, true, true);
        port.paceWrites = true;
        return true;
    }
    port.rs485 = EnableRs485(fd);
    port.rtsWhileSending = !port.rs485 && port.modemLinesWork;
    if (port.rtsWhileSending) SetModemLine(fd, true, false);
    port.paceWrites = port.rtsWhileSending;  // RTS must stay up until the last bit left
    return true;
}

void FreeFailedLink(Link* link, SerialPort* port) {
    if (port) CloseSerialDevice(&port->device);
    if (link->stopEvent >= 0) close(link->stopEvent);
    delete port;
    DestroyLink(link);
}

}  // namespace

LinkHandle OpenSerialLinkAs(const char* portName, int netToNet, const LinkRoute& route,
                            LinkKind kind, std::string* reason) {
    bool nonSyMax = kind != LinkSyMax;
    Link* link = CreateLink(kind);
    link->transactionCounter = TransactionCounterAtOpen();
    if (!link->framing) {
        if (reason) *reason = "Not a serial link kind";
        FreeFailedLink(link, nullptr);
        return nullptr;
    }
    if (!SetLinkRoute(link, netToNet, route)) {
        if (reason) *reason = "A Net-to-Net route has at most 7 entries";
        FreeFailedLink(link, nullptr);
        return nullptr;
    }
    link->framing->readChunk = link->framing->transmitChunk =
        nonSyMax ? kSerialBufferSize : kSyMaxChunk;
    auto* port = new SerialPort;
    if (!OpenSerialDevice(portName ? portName : "", &port->device, reason)) {
        FreeFailedLink(link, port);
        return nullptr;
    }
    if (!SetUpLines(*port, port->device, !nonSyMax)) {
        if (reason)
            *reason = "Cannot set the line of " + port->device.path + ": " + strerror(errno);
        FreeFailedLink(link, port);
        return nullptr;
    }
    port->readIntervalMs = ReadIntervalMs(port->settings.baud);
    link->port = port;
    const LinkBackend* backend = link->backend;
    if (port->device.network && backend && !backend->answersTheLine) {
        port->drivenByRequester = true;
        return LinkHandle(link);
    }
    link->stopEvent = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    try {
        if (link->stopEvent < 0) throw std::bad_alloc();
        link->readerThread = std::thread(RunReaderThread, link);
    } catch (const std::exception&) {
        if (reason) *reason = "Cannot start the link's reader thread";
        FreeFailedLink(link, port);
        return nullptr;
    }
    return LinkHandle(link);
}

LinkHandle OpenSyMaxLink(const char* portName, int netToNet, const LinkRoute& route,
                         std::string* reason) {
    return OpenSerialLinkAs(portName, netToNet, route, LinkSyMax, reason);
}

namespace {

LinkHandle OpenModbusSerialLink(const char* portName, int drop, LinkKind kind,
                                std::string* reason) {
    LinkRoute route;
    route.count = static_cast<uint16_t>(drop);
    return OpenSerialLinkAs(portName, 0, route, kind, reason);
}

}  // namespace

LinkHandle OpenModbusRtuLink(const char* portName, int drop, std::string* reason) {
    return OpenModbusSerialLink(portName, drop, LinkModbusRtu, reason);
}

LinkHandle OpenModbusAsciiLink(const char* portName, int drop, std::string* reason) {
    return OpenModbusSerialLink(portName, drop, LinkModbusAscii, reason);
}

int SetSerialParameters(Link* link, int baud, int parity, int stopBits, int replyTimeout,
                        int dataBits) {
    if (!LinkIsValid(link)) return 0;
    std::unique_lock<std::recursive_mutex> guard(link->lock);
    link->replyTimeout = static_cast<uint16_t>(replyTimeout);
    SerialPort* port = link->port;
    if (!port) return 1;
    LineSettings settings = port->settings;
    if (baud > 0) settings.baud = static_cast<unsigned>(baud);
    if (parity >= ParityNone && parity <= ParityMark) settings.parity = parity;
    settings.stopBits = stopBits == 2 ? 2 : 1;
    settings.dataBits = dataBits;
    port->pendingSettings = settings;
    if (port->drivenByRequester) DriveLineOnce(link, *port, std::chrono::nanoseconds(0));
    WakeReaderThread(link);
    // The reader applies them between two polls; it never takes longer
    // unless it is stuck in the driver, which must not hang the caller.
    if (!port->settingsApplied.wait_for(guard, kSettingsWait,
                                        [port] { return !port->pendingSettings; })) {
        port->pendingSettings.reset();
        SetLinkError(link, LinkFailure::PortSettings,
                     "Can't set port parameters: the port does not answer");
        return 0;
    }
    if (port->settingsError) {
        SetLinkError(link, LinkFailure::PortSettings, "Can't set port parameters: %s",
                     LineSettingsFailure(port->settingsError, settings.baud).c_str());
        return 0;
    }
    return 1;
}

void KickTransmitter(Link* link) {
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    if (!(link->framing->lineFlags & LineWriting)) PumpTransmitter(link, 0);
}

void PumpTransmitter(Link* link, int written) {
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    int kept =
        link->framing->transmitLength > written ? link->framing->transmitLength - written : 0;
    for (int i = 0; i < kept; ++i)
        link->framing->transmitBuffer[i] = link->framing->transmitBuffer[written + i];
    link->framing->transmitLength = static_cast<uint16_t>(kept);
    while (link->framing->transmitLength < link->framing->transmitChunk) {
        int byte = NextTransmitByte(link);
        if (byte >= 256) break;
        link->framing->transmitBuffer[link->framing->transmitLength++] = static_cast<uint8_t>(byte);
    }
    if (link->framing->transmitLength) {
        link->framing->lineFlags |= LineWriting;
        WakeReaderThread(link);
    } else {
        link->framing->lineFlags &= ~LineWriting;
    }
}

void ReceiveByte(Link* link, uint8_t byte) {
    const LinkBackend* backend = link->backend;
    if (backend && backend->receiveByte) backend->receiveByte(link, byte);
}

int NextTransmitByte(Link* link) {
    const LinkBackend* backend = link->backend;
    if (!backend || !backend->nextTransmitByte) return 256;
    return backend->nextTransmitByte(link);
}

void StopReaderThread(Link* link) {
    if (link->readerThread.joinable()) {
        link->port->stop = true;
        WakeReaderThread(link);
        link->readerThread.join();  // the thread closes the device
        close(link->stopEvent);
        link->stopEvent = -1;
    } else if (link->port && link->port->drivenByRequester) {
        std::lock_guard<std::recursive_mutex> guard(link->lock);
        CloseSerialDevice(&link->port->device);
    } else {
        return;
    }
    delete link->port;
    link->port = nullptr;
}

void ReopenLostDevice(Link* link, SerialPort& port) {
    port.reopenWanted = false;
    SerialDevice device;
    port.reopenFailure.clear();
    if (OpenSerialDevice(port.device.path, &device, &port.reopenFailure)) {
        if (SetUpLines(port, device, link->kind == LinkSyMax)) {
            // The path stays as it is: only the descriptor and the lock are new.
            port.device.fd = device.fd;
            port.device.lockPath = device.lockPath;
            port.lost = false;
            port.written = 0;
        } else {
            CloseSerialDevice(&device);
        }
    }
    port.settingsApplied.notify_all();
}

bool ReopenSerialPort(Link* link) {
    if (!link->port) return true;  // nothing of a port to lose
    std::unique_lock<std::recursive_mutex> guard(link->lock);
    SerialPort* port = link->port;
    if (!port->lost) return true;
    port->reopenWanted = true;
    if (port->drivenByRequester) DriveLineOnce(link, *port, std::chrono::nanoseconds(0));
    WakeReaderThread(link);
    port->settingsApplied.wait_for(guard, kSettingsWait, [port] { return !port->reopenWanted; });
    port->reopenWanted = false;
    if (!port->lost) return true;
    const std::string& path = port->device.path;
    // A device server is not unplugged: what the connect said is what to fix.
    if (port->device.network && !port->reopenFailure.empty()) {
        SetLinkError(link, LinkFailure::ConnectionLost, "%s", port->reopenFailure.c_str());
        return false;
    }
    SetLinkError(link, LinkFailure::LostPort, "Lost port %s: it is not there now (unplugged?)",
                 path.substr(path.rfind('/') + 1).c_str());
    return false;
}

bool LinkPortLost(Link* link) {
    if (!LinkIsValid(link) || !link->port) return false;
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    return link->port->lost;
}

bool LinkOverNetwork(Link* link) {
    if (!LinkIsValid(link) || !link->port) return false;
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    return link->port->device.network;
}

std::string LinkPortName(Link* link) {
    if (!LinkIsValid(link) || !link->port) return "";
    const std::string& path = link->port->device.path;
    return path.substr(path.rfind('/') + 1);
}
