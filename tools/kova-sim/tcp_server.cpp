// The simulated module as a Modbus TCP server: listens on HOST:PORT, serves
// any number of clients, answers requests for its unit identifier (the
// drop) from the register image, until SIGTERM or SIGINT. It prints
// "listening" alone on its first line once it accepts connections, then the
// port it listens on (useful with port 0).
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "listener.h"
#include "replies.h"
#include "sim_slave.h"

namespace {

constexpr size_t kMaxClients = 16;

struct Client {
    int fd;
    Bytes pending;
    Bytes lastReply;  // what --chatter sends again under an older transaction
};

bool SendReply(const SimContext& c, int fd, const Bytes& reply) {
    if (!c.options.trickleMs) return send(fd, reply.data(), reply.size(), MSG_NOSIGNAL) >= 0;
    for (size_t i = 0; i < reply.size(); ++i) {
        if (i) std::this_thread::sleep_for(std::chrono::milliseconds(c.options.trickleMs));
        if (send(fd, &reply[i], 1, MSG_NOSIGNAL) < 0) return false;
    }
    return true;
}

// A reply a request of this client might have had, under a transaction
// identifier it no longer waits for.
void Chatter(Client& client) {
    if (client.lastReply.size() < 8) return;
    Bytes old = client.lastReply;
    uint16_t transaction = uint16_t((old[0] << 8 | old[1]) - 1);
    old[0] = uint8_t(transaction >> 8);
    old[1] = uint8_t(transaction);
    send(client.fd, old.data(), old.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

// The reply frame to one request frame, or empty for no reply.
Bytes Answer(SimContext& c, const Bytes& frame) {
    if (frame[6] != c.options.drop || c.DropThisRequest()) return {};
    Bytes pdu(frame.begin() + 7, frame.end());
    Bytes reply = ModbusReply(pdu, c.image, c.options.errorCode);
    if (reply.empty()) return {};
    if (int ms = c.DelayThisReply()) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    size_t length = reply.size() + 1;
    Bytes out = {frame[0], frame[1], 0, 0, uint8_t(length >> 8), uint8_t(length), frame[6]};
    out.insert(out.end(), reply.begin(), reply.end());
    // A frame on TCP carries no check: the damage is a function code that
    // does not match the request.
    if (c.CorruptThisReply()) out[7] ^= 0x40;
    return out;
}

// Takes what came; false when the client has gone or sent no Modbus TCP.
bool Receive(SimContext& c, Client& client) {
    uint8_t buffer[1024];
    ssize_t n = recv(client.fd, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    client.pending.insert(client.pending.end(), buffer, buffer + n);
    while (client.pending.size() >= 6) {
        size_t length = size_t(client.pending[4] << 8 | client.pending[5]);
        if (length < 2 || length > 254 || client.pending[2] || client.pending[3]) return false;
        if (client.pending.size() < 6 + length) break;
        Bytes frame(client.pending.begin(), client.pending.begin() + long(6 + length));
        client.pending.erase(client.pending.begin(), client.pending.begin() + long(6 + length));
        Bytes reply = Answer(c, frame);
        if (reply.empty() && c.options.chatterMs && frame[6] == c.options.drop) {
            // A request left unanswered still tells chatter what to send.
            reply = {frame[0], frame[1], 0, 0, 0, 5, frame[6], 0x03, 2, 0x12, 0x34};
            client.lastReply = reply;
            continue;
        }
        if (!reply.empty()) client.lastReply = reply;
        if (!reply.empty() && !SendReply(c, client.fd, reply)) return false;
    }
    return true;
}

void Accept(int listener, std::vector<Client>& clients) {
    int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return;
    if (clients.size() >= kMaxClients) {
        close(fd);
        return;
    }
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    clients.push_back({fd, {}});
}

}  // namespace

int ServeModbusTcp(SimContext& context, int signals) {
    int listener = ListenAndAnnounce(context.options.listen);
    if (listener < 0) return 1;
    std::vector<Client> clients;
    using Clock = std::chrono::steady_clock;
    Clock::time_point nextChatter = Clock::now();
    for (;;) {
        std::vector<pollfd> fds = {{signals, POLLIN, 0}, {listener, POLLIN, 0}};
        for (const Client& client : clients) fds.push_back({client.fd, POLLIN, 0});
        int timeout = -1;
        if (context.options.chatterMs) {
            auto left = std::chrono::ceil<std::chrono::milliseconds>(nextChatter - Clock::now());
            timeout = left.count() > 0 ? int(left.count()) : 0;
        }
        int feedMs = context.feeds.MsUntilDue();
        if (feedMs >= 0 && (timeout < 0 || feedMs < timeout)) timeout = feedMs;
        if (poll(fds.data(), fds.size(), timeout) < 0) continue;
        if (fds[0].revents) break;
        context.feeds.RunDue(context.image);
        if (context.options.chatterMs && Clock::now() >= nextChatter) {
            for (Client& client : clients) Chatter(client);
            nextChatter = Clock::now() + std::chrono::milliseconds(context.options.chatterMs);
        }
        for (size_t i = clients.size(); i-- > 0;) {
            if (!fds[i + 2].revents) continue;
            if (Receive(context, clients[i])) continue;
            close(clients[i].fd);
            clients.erase(clients.begin() + long(i));
        }
        if (fds[1].revents & POLLIN) Accept(listener, clients);
    }
    for (const Client& client : clients) close(client.fd);
    close(listener);
    return 0;
}
