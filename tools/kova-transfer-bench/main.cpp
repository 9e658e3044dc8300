// kova-transfer-bench: one whole-module transfer through the transfer layer,
// timed, for the benchmarks: "fetch" reads all four ports with their poll
// queries, the Print/Prog baud rate and the rack base into an empty memory;
// "send" sends a configuration file's ports with polls, the rack base and the
// baud rate. Both run the PLUS test before each port.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/config_files.h"
#include "setup/link_opening.h"
#include "transfer/module_transfer.h"

namespace {

int Usage() {
    fprintf(stderr,
            "usage: kova-transfer-bench fetch|send TIMES FILE.KOV symax DEVICE BAUD "
            "none|even|odd\n"
            "       kova-transfer-bench fetch|send TIMES FILE.KOV tcp HOST PORT\n"
            "Times whole-module transfers, one after another; send sends FILE.KOV, fetch\n"
            "ignores it.\n");
    return 2;
}

int ParityCode(const char* name) {
    if (!std::strcmp(name, "none")) return 0;
    if (!std::strcmp(name, "even")) return 1;
    if (!std::strcmp(name, "odd")) return 2;
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 8 && argc != 7) return Usage();
    const bool send = !std::strcmp(argv[1], "send");
    if (!send && std::strcmp(argv[1], "fetch")) return Usage();
    const int times = std::atoi(argv[2]);
    if (times < 1) return Usage();
    ++argv;  // the rest as if TIMES were not there
    --argc;
    const bool tcp = !std::strcmp(argv[3], "tcp");
    if (tcp ? argc != 6 : (argc != 7 || std::strcmp(argv[3], "symax"))) return Usage();

    const LoadedConfigFile loaded = LoadConfigFile(argv[2]);
    if (loaded.outcome != ConfigFileLoad::Loaded) {
        fprintf(stderr, "kova-transfer-bench: cannot read %s\n", argv[2]);
        return 1;
    }
    ModuleConfig config = ModuleConfigOf(loaded.contents);
    int16_t printProgBaud = loaded.contents.printProgBaud;

    // The link's own rate is the module's, so the baud change asks nothing.
    LinkSetup setup = DefaultSetupFor("KOVASW.STP");
    setup.ConnectionType = tcp ? LinkTypeModbusTcp : LinkTypeSyMax;
    setup.RouteCount = 1;
    setup.Route[0] = 1;
    setup.LinkBaud = 13;
    std::string reason;
    LinkHandle link;
    if (tcp) {
        setup.TcpPort = uint16_t(std::atoi(argv[5]));
        link = OpenLinkOn(setup, argv[4], &reason);
    } else {
        link = OpenLinkOn(setup, argv[4], &reason);
        if (link)
            SetSerialParameters(link.get(), std::atoi(argv[5]), ParityCode(argv[6]), 1, 500, 8);
    }
    if (!link) {
        fprintf(stderr, "Unable to establish link. %s\n", reason.c_str());
        return 1;
    }
    StderrReporter reporter(false, false);
    auto start = std::chrono::steady_clock::now();
    int ok = 1;
    ModuleSession session{link.get(), reporter};
    for (int i = 0; ok && i < times; ++i)
        ok = send ? SendAllPorts(session, config, printProgBaud, setup)
                  : FetchAllPorts(session, config, printProgBaud);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    link.reset();
    if (!ok) return 1;
    printf("%d %s of the whole module in %.4f s\n", times, send ? "sends" : "fetches", seconds);
    return 0;
}
