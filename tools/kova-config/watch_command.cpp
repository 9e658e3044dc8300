// watch: the values a module's data paths write, decoded by each path's
// editing mode and printed when they change. The paths come from the module
// (or a .KOV file); the module's own paths are read again whenever the
// signal register changes (a path matched: a message may have landed where a
// new configuration puts it) and every kConfigEvery polls, so a start
// register sent while it runs is followed. SIGINT and SIGTERM end it at once
// (the ending-signals thread).
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"
#include "common/printable.h"
#include "common/schedule_steps.h"
#include "config/config_file_image.h"
#include "emulator/editing_modes.h"
#include "emulator/register_decoding.h"
#include "link/link.h"
#include "transfer/register_map.h"
#include "transfer/section_codec.h"

namespace {

// Polls between two readings of the module's paths when no path matched.
constexpr int kConfigEvery = 100;
// Registers one read asks for: what every link kind carries.
constexpr int kReadChunk = 100;

struct WatchedPath {
    int port, path;  // 1-4
    int start, count;
    uint8_t mode;
    std::vector<int16_t> last;  // as last printed; empty before the first
    bool shown = false;
};

struct WatchedConfig {
    int rackBase = 1;
    std::vector<WatchedPath> paths;  // those with registers
};

WatchedConfig PathsOf(const PortConfig (&ports)[4], int rackBase) {
    WatchedConfig config;
    config.rackBase = rackBase;
    for (int p = 0; p < 4; ++p)
        for (int k = 0; k < 4; ++k) {
            const DataPath& d = ports[p].Paths[k];
            const int count = std::clamp<int>(d.RegisterCount, 0, kMaxRegisterCount);
            if (count > 0 && d.StartRegister > 0)
                config.paths.push_back({p + 1, k + 1, d.StartRegister, count, d.EditingMode, {}});
        }
    return config;
}

// The module's rack base and the numbers of its sixteen paths.
bool ReadModulePaths(Link* link, WatchedConfig* config) {
    uint16_t rackBase;
    if (RegisterRead(link, kRackBaseRegister, 1, &rackBase) != 1) return false;
    PortConfig ports[4]{};
    for (int p = 0; p < 4; ++p)
        for (int k = 0; k < 4; ++k) {
            const PortSection& section = PathNumbersSection(k);
            uint16_t registers[kMaxSectionRegisters];
            if (RegisterRead(link, SectionRegister(p + 1, section), section.count, registers) !=
                section.count)
                return false;
            DecodeSection(registers, section, ports[p]);
        }
    *config = PathsOf(ports, int16_t(rackBase));
    return true;
}

// Local time of day with milliseconds: 07:24:33.174
std::string TimeOfDay() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char text[32];
    size_t n = strftime(text, sizeof text, "%H:%M:%S", &local);
    std::snprintf(text + n, sizeof text - n, ".%03ld", long(now.tv_nsec / 1000000));
    return text;
}

std::string Registers(const WatchedPath& w) {
    std::string text = "4x" + std::to_string(w.start);
    if (w.count > 1) text += "-4x" + std::to_string(w.start + w.count - 1);
    return text;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

void PrintChange(const WatchedPath& w, bool csv) {
    const DecodedBlock d = DecodeBlock(w.mode, w.last);
    const std::string time = TimeOfDay();
    std::string line;
    if (csv) {
        std::string value = d.isText ? VisibleText(d.text) : d.text;
        line = time + "," + std::to_string(w.port) + "," + std::to_string(w.path) + "," +
               Registers(w) + "," + d.mode + "," + CsvField(value);
    } else {
        line = time + " port " + std::to_string(w.port) + " path " + std::to_string(w.path) + " " +
               Registers(w) + " " + DecodedText(d);
    }
    std::printf("%s\n", tools::Printable(line).c_str());
}

// Reads the registers of every path, in as few requests as the blocks
// allow, into each path's block; false when a read failed.
bool ReadBlocks(Link* link, std::vector<WatchedPath>& paths,
                std::vector<std::vector<int16_t>>* now) {
    std::vector<size_t> order(paths.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return paths[a].start < paths[b].start; });
    now->assign(paths.size(), {});
    for (size_t i = 0; i < order.size();) {
        const int first = paths[order[i]].start;
        int last = first + paths[order[i]].count - 1;
        size_t j = i + 1;
        for (; j < order.size(); ++j) {
            const int end = std::max(last, paths[order[j]].start + paths[order[j]].count - 1);
            if (end - first >= kReadChunk) break;
            last = end;
        }
        std::vector<uint16_t> values(size_t(last - first + 1));
        if (RegisterRead(link, first, int(values.size()), values.data()) != int(values.size()))
            return false;
        for (; i < j; ++i) {
            const WatchedPath& w = paths[order[i]];
            auto from = values.begin() + (w.start - first);
            (*now)[order[i]].assign(from, from + w.count);
        }
    }
    return true;
}

class Watch {
  public:
    Watch(Link* link, const ConfigOptions& options) : link_(link), options_(options) {}

    // The paths of the file, or none: the module's are read at the first poll.
    void UseFile(const WatchedConfig& config) {
        config_ = config;
        fromFile_ = true;
    }

    // One poll; false when a read failed (said on standard error).
    bool Poll(int done) {
        if (!fromFile_) {
            // The rack base, and so the signal register, comes with the paths.
            if (done == 0 && !Reload()) return Failed();
            uint16_t signal;
            if (!ReadSignal(&signal)) return Failed();
            if (done > 0 && (signal != signal_ || done % kConfigEvery == 0) && !Reload())
                return Failed();
            signal_ = signal;
        }
        std::vector<std::vector<int16_t>> now;
        if (!ReadBlocks(link_, config_.paths, &now)) return Failed();
        for (size_t i = 0; i < now.size(); ++i) {
            WatchedPath& w = config_.paths[i];
            if (w.shown && now[i] == w.last) continue;
            w.last = now[i];
            w.shown = true;
            PrintChange(w, options_.csv);
        }
        std::fflush(stdout);
        return true;
    }

  private:
    bool ReadSignal(uint16_t* signal) {
        // The signal register is the rack base's own number.
        return RegisterRead(link_, config_.rackBase, 1, signal) == 1;
    }

    bool Reload() {
        WatchedConfig fresh;
        if (!ReadModulePaths(link_, &fresh)) return false;
        Follow(fresh);
        return true;
    }

    // A path that kept its registers and mode keeps what it showed.
    void Follow(WatchedConfig& fresh) {
        for (WatchedPath& w : fresh.paths)
            for (const WatchedPath& old : config_.paths)
                if (old.port == w.port && old.path == w.path && old.start == w.start &&
                    old.count == w.count && old.mode == w.mode) {
                    w.last = old.last;
                    w.shown = old.shown;
                }
        config_ = std::move(fresh);
    }

    bool Failed() {
        const char* text = LinkErrorText(link_);
        std::fprintf(stderr, "kova-config: watch: %s\n",
                     *text ? tools::Printable(text).c_str() : "read failed");
        return false;
    }

    Link* link_;
    const ConfigOptions& options_;
    WatchedConfig config_;
    bool fromFile_ = false;
    uint16_t signal_ = 0;
};

}  // namespace

int RunWatch(const ConfigOptions& options) {
    WatchedConfig fileConfig;
    if (!options.watchConfig.empty()) {
        ConfigSnapshot snapshot;
        std::string error;
        if (!LoadOperand(options.watchConfig, options, &snapshot, &error)) {
            std::fprintf(stderr, "kova-config: %s\n", tools::Printable(error).c_str());
            return kExitTrouble;
        }
        fileConfig = PathsOf(snapshot.contents.ports, snapshot.contents.plus.RackBase);
    }
    std::string reason;
    LinkHandle link = OpenLinkSource(options.source, &reason);
    if (!link) {
        std::fprintf(stderr, "kova-config: Unable to establish link. %s\n",
                     tools::Printable(reason).c_str());
        return kExitFailed;
    }
    Watch watch(link.get(), options);
    if (!options.watchConfig.empty()) watch.UseFile(fileConfig);
    if (options.csv) std::printf("time,port,path,register,mode,value\n");
    bool allOk = true;
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    for (int done = 0; options.count == 0 || done < options.count; ++done) {
        if (done > 0) {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            while (next.tv_sec < now.tv_sec ||
                   (next.tv_sec == now.tv_sec && next.tv_nsec <= now.tv_nsec))
                next = tools::PlusMilliseconds(next, options.intervalMs);
            while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr) == EINTR) {
            }
        }
        allOk = watch.Poll(done) && allOk;
    }
    return allOk ? kExitOk : kExitFailed;
}
