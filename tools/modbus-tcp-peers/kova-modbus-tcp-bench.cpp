// kova-modbus-tcp-bench: the plain libmodbus client loop the benchmark
// compares the link with: N reads of COUNT holding registers from REGISTER
// (1-based) at HOST:PORT, printing the requests per second.
#include <modbus/modbus.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 6) {
        fprintf(stderr, "usage: kova-modbus-tcp-bench HOST PORT N REGISTER COUNT\n");
        return 2;
    }
    int n = atoi(argv[3]), reg = atoi(argv[4]), count = atoi(argv[5]);
    modbus_t* ctx = modbus_new_tcp(argv[1], atoi(argv[2]));
    if (!ctx || modbus_connect(ctx) < 0) {
        fprintf(stderr, "kova-modbus-tcp-bench: cannot connect\n");
        return 1;
    }
    std::vector<uint16_t> values(size_t(count > 0 ? count : 1));
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) {
        if (modbus_read_registers(ctx, reg - 1, count, values.data()) != count) {
            fprintf(stderr, "kova-modbus-tcp-bench: %s\n", modbus_strerror(errno));
            return 1;
        }
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("%d requests in %.3f s: %.1f requests per second\n", n, seconds, n / seconds);
    modbus_close(ctx);
    modbus_free(ctx);
    return 0;
}
