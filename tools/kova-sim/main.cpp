// kova-sim: a simulated KOVA module on a pty pair or a serial device, for
// tests, benchmarks and demonstrations without hardware.
#include <fcntl.h>
#include <poll.h>
#include <sys/signalfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include "link/serial_device.h"
#include "link/serial_settings.h"
#include "link/serial_termios.h"
#include "listener.h"
#include "sim_config.h"
#include "sim_slave.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Line {
    int fd = -1;
    int slaveKeeper = -1;  // a pty's slave held open: no hang-up between clients
    SerialDevice device;   // --tty: closed at the end, which removes its lock file
};

bool OpenPty(Line* line) {
    line->fd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (line->fd < 0 || grantpt(line->fd) || unlockpt(line->fd)) return false;
    const char* path = ptsname(line->fd);
    line->slaveKeeper = open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (line->slaveKeeper < 0) return false;
    termios t;
    tcgetattr(line->slaveKeeper, &t);
    cfmakeraw(&t);
    tcsetattr(line->slaveKeeper, TCSANOW, &t);
    printf("%s\n", path);
    fflush(stdout);
    return true;
}

bool OpenTty(const SimOptions& options, Line* line) {
    SerialDevice& device = line->device;
    std::string reason;
    if (!OpenSerialDevice(options.tty, &device, &reason)) {
        fprintf(stderr, "kova-sim: %s\n", reason.c_str());
        return false;
    }
    LineSettings settings;
    settings.baud = options.baud;
    settings.parity = options.parity;
    settings.dataBits = options.dataBits;
    settings.stopBits = options.stopBits;
    settings.ctsFlow = false;
    if (!ApplyLineSettings(device.fd, settings)) {
        fprintf(stderr, "kova-sim: cannot set the line of %s: %s\n", device.path.c_str(),
                LineSettingsFailure(errno, settings.baud).c_str());
        CloseSerialDevice(&device);
        return false;
    }
    int flags = fcntl(device.fd, F_GETFL);
    fcntl(device.fd, F_SETFL, flags & ~O_NONBLOCK);
    line->fd = device.fd;
    return true;
}

// The signals that end the simulator arrive through a descriptor, so that it
// ends through its normal path and releases the serial device's lock file.
int StopSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) sigaddset(&set, signal);
    sigprocmask(SIG_BLOCK, &set, nullptr);
    return signalfd(-1, &set, SFD_CLOEXEC);
}

std::unique_ptr<SimSlave> MakeSlave(SimContext& context) {
    switch (context.options.protocol) {
        case SimProtocol::Rtu:
            return MakeModbusRtuSlave(context);
        case SimProtocol::Ascii:
            return MakeModbusAsciiSlave(context);
        case SimProtocol::Gateway:
            return MakeGatewaySlave(context);
        default:
            return MakeSyMaxSlave(context);
    }
}

// The shorter of two poll timeouts, where -1 waits for ever.
int Sooner(int a, int b) { return a < 0 || (b >= 0 && b < a) ? b : a; }

// The poll timeout: the slave's pause, or less when chatter or a fed line is
// due sooner.
int PollTimeout(const SimSlave& slave, int chatterMs, Clock::time_point nextChatter,
                const PortFeeds& feeds) {
    int timeout = Sooner(slave.PauseMs(), feeds.MsUntilDue());
    if (!chatterMs) return timeout;
    auto left = std::chrono::ceil<std::chrono::milliseconds>(nextChatter - Clock::now());
    return Sooner(timeout, left.count() > 0 ? int(left.count()) : 0);
}

// How serving a line ends: a pty or a device is served until a stop signal
// (a client that closes its end is waited out); a connection also ends when
// the client closes it.
enum class LineEnd { StopSignal, ClientGone };

// Serves until a stop signal, or for a connection until it closes. Adds the
// number of bytes received to *received.
LineEnd Serve(int fd, int signals, SimSlave& slave, int chatterMs, SimContext& context,
              bool connection, size_t* received) {
    Clock::time_point nextChatter = Clock::now() + std::chrono::milliseconds(chatterMs);
    Clock::time_point lastByte = Clock::now();
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {signals, POLLIN, 0}};
        int ready = poll(fds, 2, PollTimeout(slave, chatterMs, nextChatter, context.feeds));
        if (ready < 0) continue;
        if (fds[1].revents) return LineEnd::StopSignal;
        context.feeds.RunDue(context.image);
        if (chatterMs && Clock::now() >= nextChatter) {
            slave.Chatter();
            nextChatter = Clock::now() + std::chrono::milliseconds(chatterMs);
        }
        if (ready == 0) {
            // A wake-up for a fed line is no pause on the line unless the
            // pause has passed since the last byte came.
            if (slave.PauseMs() >= 0 &&
                Clock::now() - lastByte >= std::chrono::milliseconds(slave.PauseMs()))
                slave.OnPause();
            continue;
        }
        uint8_t buffer[512];
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (connection && (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)))
            return LineEnd::ClientGone;
        if (n > 0) {
            *received += size_t(n);
            lastByte = Clock::now();
        }
        for (ssize_t i = 0; i < n; ++i) slave.OnByte(buffer[i]);
    }
}

LineSettings SettingsOf(const SimOptions& options) {
    LineSettings settings;
    settings.baud = options.baud;
    settings.parity = options.parity;
    settings.dataBits = options.dataBits;
    settings.stopBits = options.stopBits;
    return settings;
}

// The serial protocol over TCP, as a device server in raw mode serves the
// line behind it: one connection at a time, each with a fresh receiver (a
// frame half received when a client went away is no part of the next
// client's request); others wait in the backlog.
int ServeSerialOverTcp(SimContext& context, int signals, size_t* received, size_t* sent) {
    int listener = ListenAndAnnounce(context.options.listen);
    if (listener < 0) return 1;
    // A reply written to a client that has just gone must not end us.
    signal(SIGPIPE, SIG_IGN);
    for (;;) {
        pollfd fds[2] = {{listener, POLLIN, 0}, {signals, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) break;
        int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        int one = 1;
        setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        LineWriter writer(client, context.options.pace, CharacterNanoseconds(SettingsOf(context.options)),
                          context.options.trickleMs);
        context.writer = &writer;
        auto slave = MakeSlave(context);
        const LineEnd end =
            Serve(client, signals, *slave, context.options.chatterMs, context, true, received);
        *sent += writer.BytesSent();
        context.writer = nullptr;
        close(client);
        if (end == LineEnd::StopSignal) break;
    }
    close(listener);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    SimOptions options;
    int exitCode = 0;
    if (!ParseSimOptions(argc, argv, &options, &exitCode)) return exitCode;
    RegisterImage image(options.model, options.eeprom);
    if (!PrepareImage(options, image)) return 1;
    image.alteredRegister = options.alterWritten;  // after --config and --set, which write too
    // Closed at exit, which flushes it.
    if (!options.logFile.empty() && !(image.log = fopen(options.logFile.c_str(), "w"))) {
        perror(("kova-sim: " + options.logFile).c_str());
        return 1;
    }
    // A line a request as it comes, so that `tail -f` and tests see it then.
    if (image.log) setvbuf(image.log, nullptr, _IOLBF, 0);
    int signals = StopSignals();
    if (options.protocol == SimProtocol::Tcp) {
        SimContext context{options, std::move(image), nullptr};
        if (!context.feeds.Load(options.feeds)) return 1;
        return ServeModbusTcp(context, signals);
    }
    if (!options.listen.empty()) {
        SimContext context{options, std::move(image), nullptr};
        if (!context.feeds.Load(options.feeds)) return 1;
        size_t received = 0, sent = 0;
        const int status = ServeSerialOverTcp(context, signals, &received, &sent);
        if (options.countBytes) printf("received %zu sent %zu\n", received, sent);
        return status;
    }
    Line line;
    if (options.pty ? !OpenPty(&line) : !OpenTty(options, &line)) {
        if (options.pty) perror("kova-sim: pty");
        return 1;
    }
    LineWriter writer(line.fd, options.pace, CharacterNanoseconds(SettingsOf(options)),
                      options.trickleMs);
    SimContext context{options, std::move(image), &writer};
    if (!context.feeds.Load(options.feeds)) return 1;
    auto slave = MakeSlave(context);
    size_t received = 0;
    Serve(line.fd, signals, *slave, options.chatterMs, context, false, &received);
    CloseSerialDevice(&line.device);
    if (options.countBytes) printf("received %zu sent %zu\n", received, writer.BytesSent());
    return 0;
}
