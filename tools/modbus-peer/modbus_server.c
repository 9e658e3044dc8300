/* A libmodbus RTU server on a serial device (a socat pty in the tests), or
 * with tcp:HOST:PORT a Modbus TCP server there (port 0: any free one; it
 * prints the port after "ready"), one connection at a time: 16384 holding
 * and input registers, holding register N (1-based) starts as N, input
 * register N as 2N. Serves until SIGTERM or SIGINT. */
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <modbus.h>

static volatile sig_atomic_t stop_requested;

static void on_stop(int sig) {
    (void)sig;
    stop_requested = 1;
}

/* "tcp:HOST:PORT": a TCP context listening there, its socket in *listener. */
static modbus_t *listen_tcp(const char *where, int *listener) {
    char host[256];
    const char *colon = strrchr(where, ':');
    if (strncmp(where, "tcp:", 4) || !colon || colon - where - 4 >= (long)sizeof host) return NULL;
    memcpy(host, where + 4, (size_t)(colon - where - 4));
    host[colon - where - 4] = 0;
    modbus_t *ctx = modbus_new_tcp(host, atoi(colon + 1));
    if (ctx && (*listener = modbus_tcp_listen(ctx, 1)) < 0) {
        modbus_free(ctx);
        return NULL;
    }
    return ctx;
}

static int bound_port(int fd) {
    struct sockaddr_in address;
    socklen_t length = sizeof address;
    memset(&address, 0, sizeof address);
    getsockname(fd, (struct sockaddr *)&address, &length);
    return ntohs(address.sin_port);
}

/* Clients one after the other: a client that goes is followed by the next. */
static void serve_tcp(modbus_t *ctx, int listener, modbus_mapping_t *map) {
    uint8_t query[MODBUS_TCP_MAX_ADU_LENGTH];
    while (!stop_requested) {
        if (modbus_tcp_accept(ctx, &listener) < 0) continue;
        int n;
        while (!stop_requested && (n = modbus_receive(ctx, query)) >= 0)
            if (n > 0) modbus_reply(ctx, query, n, map);
        close(modbus_get_socket(ctx));
    }
    close(listener);
}

int main(int argc, char **argv) {
    if (argc < 2 || !strcmp(argv[1], "--help")) {
        fprintf(argc < 2 ? stderr : stdout, "usage: kova-modbus-server DEVICE|tcp:HOST:PORT [SLAVE] [BAUD]\n");
        return argc < 2 ? 2 : 0;
    }
    int slave = argc > 2 ? atoi(argv[2]) : 1;
    int baud = argc > 3 ? atoi(argv[3]) : 9600;
    int listener = -1;
    int tcp = !strncmp(argv[1], "tcp:", 4);
    modbus_t *ctx = tcp ? listen_tcp(argv[1], &listener) : modbus_new_rtu(argv[1], baud, 'E', 8, 1);
    modbus_mapping_t *map = modbus_mapping_new(0, 0, 16384, 16384);
    if (!ctx || !map) return 1;
    for (int i = 0; i < 16384; ++i) {
        map->tab_registers[i] = (uint16_t)(i + 1);
        map->tab_input_registers[i] = (uint16_t)(2 * (i + 1));
    }
    modbus_set_slave(ctx, slave);
    if (!tcp && modbus_connect(ctx) != 0) {
        fprintf(stderr, "kova-modbus-server: %s\n", modbus_strerror(errno));
        return 1;
    }
    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = on_stop;  /* no SA_RESTART: the blocking receive returns */
    sigaction(SIGTERM, &sa, NULL);
    sigaction(SIGINT, &sa, NULL);
    printf("ready\n");
    if (tcp) printf("%d\n", bound_port(listener));
    fflush(stdout);
    if (tcp) serve_tcp(ctx, listener, map);
    uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
    while (!tcp && !stop_requested) {
        int n = modbus_receive(ctx, query);
        if (n > 0) modbus_reply(ctx, query, n, map);
    }
    modbus_mapping_free(map);
    modbus_close(ctx);
    modbus_free(ctx);
    return 0;
}
