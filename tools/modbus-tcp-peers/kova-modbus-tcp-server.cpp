// kova-modbus-tcp-server: libmodbus's Modbus TCP server on a loopback port,
// a reference peer for the link tests and benchmarks. Holding register r
// (0-based wire address) holds r * 3 + 1, input register r holds r * 5 + 2.
// It prints the port it listens on alone on its first line, then serves one
// connection at a time until it is stopped by a signal.
#include <arpa/inet.h>
#include <modbus/modbus.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kRegisters = 10000;

int ListeningPort(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

void Serve(modbus_t* ctx, modbus_mapping_t* map, int listener) {
    uint8_t query[MODBUS_TCP_MAX_ADU_LENGTH];
    for (;;) {
        if (modbus_tcp_accept(ctx, &listener) < 0) continue;
        for (;;) {
            int rc = modbus_receive(ctx, query);
            if (rc > 0) modbus_reply(ctx, query, rc, map);
            if (rc < 0) break;  // the client went: wait for the next one
        }
        close(modbus_get_socket(ctx));
    }
}

}  // namespace

int main(int argc, char** argv) {
    int port = 0;
    if (argc == 3 && !strcmp(argv[1], "--port")) {
        port = atoi(argv[2]);
    } else if (argc != 1) {
        fprintf(stderr, "usage: kova-modbus-tcp-server [--port N]\n");
        return 2;
    }
    modbus_t* ctx = modbus_new_tcp("127.0.0.1", port);
    modbus_mapping_t* map = modbus_mapping_new(0, 0, kRegisters, kRegisters);
    if (!ctx || !map) return 1;
    for (int r = 0; r < kRegisters; ++r) {
        map->tab_registers[r] = uint16_t(r * 3 + 1);
        map->tab_input_registers[r] = uint16_t(r * 5 + 2);
    }
    int listener = modbus_tcp_listen(ctx, 1);
    if (listener < 0) {
        fprintf(stderr, "kova-modbus-tcp-server: %s\n", modbus_strerror(errno));
        return 1;
    }
    printf("%d\n", ListeningPort(listener));
    fflush(stdout);
    Serve(ctx, map, listener);
}
