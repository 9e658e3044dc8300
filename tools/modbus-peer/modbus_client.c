/* A plain libmodbus client loop, RTU on a serial device or Modbus TCP with
 * tcp:HOST:PORT: N reads of COUNT holding registers, printing requests per
 * second, to set the link's request rate against. */
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <modbus.h>

/* "HOST:PORT" */
static modbus_t *new_tcp(const char *where) {
    char host[256];
    const char *colon = strrchr(where, ':');
    if (!colon || colon - where >= (long)sizeof host) return NULL;
    memcpy(host, where, (size_t)(colon - where));
    host[colon - where] = 0;
    return modbus_new_tcp(host, atoi(colon + 1));
}

int main(int argc, char **argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: kova-modbus-client DEVICE|tcp:HOST:PORT N REGISTER COUNT\n");
        return 2;
    }
    int n = atoi(argv[2]), reg = atoi(argv[3]), count = atoi(argv[4]);
    modbus_t *ctx = !strncmp(argv[1], "tcp:", 4) ? new_tcp(argv[1] + 4) : modbus_new_rtu(argv[1], 9600, 'E', 8, 1);
    if (!ctx || modbus_set_slave(ctx, 1) != 0 || modbus_connect(ctx) != 0) {
        fprintf(stderr, "kova-modbus-client: %s\n", modbus_strerror(errno));
        return 1;
    }
    uint16_t values[125];
    struct timespec start, end;
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (int i = 0; i < n; ++i) {
        if (modbus_read_registers(ctx, reg - 1, count, values) != count) {
            fprintf(stderr, "kova-modbus-client: %s\n", modbus_strerror(errno));
            return 1;
        }
    }
    clock_gettime(CLOCK_MONOTONIC, &end);
    double seconds = (end.tv_sec - start.tv_sec) + (end.tv_nsec - start.tv_nsec) / 1e9;
    printf("%d requests in %.3f s: %.1f requests per second\n", n, seconds, n / seconds);
    modbus_close(ctx);
    modbus_free(ctx);
    return 0;
}
