/* A libmodbus RTU server on a serial device (a socat pty in the tests):
 * 16384 holding and input registers, holding register N (1-based) starts
 * as N, input register N as 2N. Serves until SIGTERM or SIGINT. */
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <modbus.h>

static volatile sig_atomic_t stop_requested;

static void on_stop(int sig) {
    (void)sig;
    stop_requested = 1;
}

int main(int argc, char **argv) {
    if (argc < 2 || !strcmp(argv[1], "--help")) {
        fprintf(argc < 2 ? stderr : stdout, "usage: kova-modbus-server DEVICE [SLAVE] [BAUD]\n");
        return argc < 2 ? 2 : 0;
    }
    int slave = argc > 2 ? atoi(argv[2]) : 1;
    int baud = argc > 3 ? atoi(argv[3]) : 9600;
    modbus_t *ctx = modbus_new_rtu(argv[1], baud, 'E', 8, 1);
    modbus_mapping_t *map = modbus_mapping_new(0, 0, 16384, 16384);
    if (!ctx || !map) return 1;
    for (int i = 0; i < 16384; ++i) {
        map->tab_registers[i] = (uint16_t)(i + 1);
        map->tab_input_registers[i] = (uint16_t)(2 * (i + 1));
    }
    modbus_set_slave(ctx, slave);
    if (modbus_connect(ctx) != 0) {
        fprintf(stderr, "kova-modbus-server: %s\n", modbus_strerror(errno));
        return 1;
    }
    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = on_stop;  /* no SA_RESTART: the blocking receive returns */
    sigaction(SIGTERM, &sa, NULL);
    sigaction(SIGINT, &sa, NULL);
    printf("ready\n");
    fflush(stdout);
    uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
    while (!stop_requested) {
        int n = modbus_receive(ctx, query);
        if (n > 0) modbus_reply(ctx, query, n, map);
    }
    modbus_mapping_free(map);
    modbus_close(ctx);
    modbus_free(ctx);
    return 0;
}
