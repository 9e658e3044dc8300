/* A plain libmodbus RTU client loop: N reads of COUNT holding registers,
 * printing requests per second, to set the link's request rate against. */
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <modbus.h>

int main(int argc, char **argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: kova-modbus-client DEVICE N REGISTER COUNT\n");
        return 2;
    }
    int n = atoi(argv[2]), reg = atoi(argv[3]), count = atoi(argv[4]);
    modbus_t *ctx = modbus_new_rtu(argv[1], 9600, 'E', 8, 1);
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
