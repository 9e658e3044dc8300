// emulate: what a configuration makes of the bytes a device really sent. The
// bytes go through one port's message framing and data paths as the module
// runs them (the code of the emulator screen and of kova-sim's feeds), into
// a cleared register image from the file's rack base; each message is then
// shown with the path that took it, the registers written and the value the
// path's editing mode put there.
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <nlohmann/json.hpp>
#include <unordered_map>

#include "commands.h"
#include "common/printable.h"
#include "config/config_file_image.h"
#include "emulator/bit_string.h"
#include "emulator/editing_modes.h"
#include "emulator/port_processing.h"
#include "emulator/register_decoding.h"

namespace {

enum class Output { Lines, Json, Csv };

struct WrittenRegister {
    int number;
    int16_t value;
};

// One path that took the message.
struct TakenPath {
    int path;
    std::vector<WrittenRegister> registers;  // those of the block the image holds
    int outside = 0;                         // those of the block beyond it
    DecodedBlock decoded;
    bool empty = false;  // a block of no registers
};

struct MessageReport {
    std::string message;  // the accepted text, control characters visible
    int characters = 0;   // accepted, also those the port could not keep
    std::vector<TakenPath> taken;
    uint16_t signal = 0;
    bool TooLong() const { return characters > kMessageChars; }
    std::string Why() const {
        if (!taken.empty()) return "";
        std::string why = "no pattern matched";
        if (TooLong())
            why = "too long (" + std::to_string(characters) + " characters, the port keeps " +
                  std::to_string(kMessageChars) + "), " + why;
        return why;
    }
};

std::string RegisterName(int number) { return "4x" + std::to_string(number); }

std::string DecodedShown(const TakenPath& t) {
    return t.empty ? t.decoded.mode + " (no registers)" : DecodedText(t.decoded);
}

// Lines are appended in place: a capture of many megabytes is hundreds of
// thousands of them.
void AppendNumber(std::string& out, long value) {
    char digits[24];
    auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, error == std::errc() ? end : digits);
}

// The emulator's bit-string form, without its closing blank.
std::string SignalBits(uint16_t signal) {
    std::string bits = FormatBitString(signal);
    return bits.substr(0, bits.find_last_not_of(' ') + 1);
}

// signalBits: the signal register after the message, as SignalBits shows it.
void AppendLine(std::string& out, const MessageReport& r, const std::string& signalBits) {
    out += '"';
    out += r.message;
    out += '"';
    for (const TakenPath& t : r.taken) {
        out += " | path ";
        AppendNumber(out, t.path);
        for (const WrittenRegister& w : t.registers) {
            out += " 4x";
            AppendNumber(out, w.number);
            out += '=';
            AppendNumber(out, w.value);
        }
        if (t.outside) {
            out += " (";
            AppendNumber(out, t.outside);
            out += " past the image)";
        }
        out += ' ';
        if (t.empty)
            out += DecodedShown(t);
        else
            AppendDecodedText(out, t.decoded);
    }
    if (r.taken.empty()) {
        out += " | none: ";
        out += r.Why();
    } else if (r.TooLong()) {
        out += " | cut to ";
        AppendNumber(out, kMessageChars);
        out += " of ";
        AppendNumber(out, r.characters);
        out += " characters";
    }
    out += " | signal ";
    out += signalBits;
    out += '\n';
}

nlohmann::json DecodedJson(const TakenPath& t) {
    nlohmann::json d = {{"path", t.path}, {"mode", t.decoded.mode}, {"text", DecodedShown(t)}};
    if (!t.decoded.valid || t.empty)
        d["value"] = nullptr;
    else if (t.decoded.isText)
        d["value"] = VisibleText(t.decoded.text);
    else if (t.decoded.mode == "FLOAT")
        d["value"] = t.decoded.number;
    else
        d["value"] = int64_t(t.decoded.number);
    return d;
}

std::string Json(const MessageReport& r) {
    nlohmann::json registers = nlohmann::json::object(), decoded = nlohmann::json::array();
    for (const TakenPath& t : r.taken) {
        for (const WrittenRegister& w : t.registers) registers[std::to_string(w.number)] = w.value;
        decoded.push_back(DecodedJson(t));
    }
    nlohmann::json paths = nlohmann::json::array();
    for (const TakenPath& t : r.taken) paths.push_back(t.path);
    nlohmann::json out = {
        {"message", r.message},
        {"characters", r.characters},
        {"path", r.taken.empty() ? nlohmann::json(nullptr) : nlohmann::json(r.taken[0].path)},
        {"paths", paths},
        {"registers", registers},
        {"decoded", decoded},
        {"reason", r.taken.empty() ? nlohmann::json(r.Why()) : nlohmann::json(nullptr)},
        {"signal", r.signal},
    };
    return out.dump() + "\n";
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

constexpr const char* kCsvHeader = "message,path,registers,decoded,reason,signal\n";

std::string Csv(const MessageReport& r) {
    std::string path = r.taken.empty() ? "" : std::to_string(r.taken[0].path);
    std::string registers, decoded;
    for (const TakenPath& t : r.taken) {
        for (const WrittenRegister& w : t.registers)
            registers += (registers.empty() ? "" : " ") + RegisterName(w.number) + "=" +
                         std::to_string(w.value);
        decoded += (decoded.empty() ? "" : "; ") + DecodedShown(t);
    }
    return CsvField(r.message) + "," + path + "," + registers + "," + CsvField(decoded) + "," +
           CsvField(r.Why()) + "," + std::to_string(r.signal) + "\n";
}

// Runs the port's messages into one image and tells each as it ends.
class Emulation {
  public:
    Emulation(const ConfigFileContents& contents, int port, Output output)
        : port_(contents.ports[port - 1]),
          portNumber_(port),
          rackBase_(contents.plus.RackBase),
          count_(uint16_t(contents.plus.TerminateCount[port - 1])),
          timeout_(contents.plus.TerminateTimeout[port - 1]),
          output_(output),
          state_(std::make_unique<EmulatorRegisters>()),
          image_(*state_, rackBase_) {
        *state_ = EmulatorRegisters{};
        if (output_ == Output::Csv) out_ += kCsvHeader;
    }

    bool Take(std::string_view bytes) {
        ReceiveBytes(texts_, port_, count_, bytes, [this](MessageTexts& t) { Complete(t); });
        return Flush(false);
    }

    // The end of the input is quiet for ever: a port with a timeout ends the
    // open message then, as the module would.
    bool Finish() {
        if (!texts_.AcceptedEmpty() && timeout_ > 0) {
            Complete(texts_);
            texts_.Clear();
        }
        return Flush(true);
    }

    std::string Summary() const {
        std::string s = "messages " + std::to_string(messages_);
        for (int p = 0; p < 4; ++p)
            s += ", path " + std::to_string(p + 1) + " " + std::to_string(perPath_[p]);
        s += ", not taken " + std::to_string(notTaken_) + "\n";
        if (!texts_.AcceptedEmpty())
            s += "left open at the end: \"" +
                 VisibleText(std::string_view(texts_.accepted, size_t(texts_.acceptedCount))) +
                 "\" (no terminator, and port " + std::to_string(portNumber_) +
                 " has no timeout)\n";
        return s;
    }

  private:
    void Complete(const MessageTexts& texts) {
        MessageReport report;
        report.taken.reserve(4);
        report.message = VisibleText(texts.accepted);
        report.characters = texts.acceptedTotal;
        const MessageOutcome outcome =
            ProcessPortMessage(port_, portNumber_, texts.accepted, image_);
        for (const PathOutcome& p : outcome.paths)
            if (p.matched) report.taken.push_back(Taken(p));
        report.signal = state_->signal;
        ++messages_;
        if (report.taken.empty()) ++notTaken_;
        for (const TakenPath& t : report.taken) ++perPath_[t.path - 1];
        switch (output_) {
            case Output::Lines:
                AppendLine(out_, report, ShownSignal(report.signal));
                break;
            case Output::Json:
                out_ += Json(report);
                break;
            case Output::Csv:
                out_ += Csv(report);
                break;
        }
    }

    TakenPath Taken(const PathOutcome& p) const {
        const DataPath& path = port_.Paths[p.path - 1];
        TakenPath t;
        t.path = p.path;
        t.registers.reserve(p.registers.size());
        t.empty = p.registers.empty();
        t.decoded = DecodeBlock(path.EditingMode, p.registers);
        for (size_t i = 0; i < p.registers.size(); ++i) {
            const int number = path.StartRegister + int(i);
            int16_t held;
            if (ReadImageRegister(*state_, rackBase_, number, held))
                t.registers.push_back({number, held});
            else
                ++t.outside;
        }
        return t;
    }

    bool Flush(bool always) {
        if (!always && out_.size() < (1u << 16)) return true;
        const bool written = std::fwrite(out_.data(), 1, out_.size(), stdout) == out_.size();
        out_.clear();
        return written;
    }

    const PortConfig& port_;
    int portNumber_, rackBase_;
    uint16_t count_;
    int16_t timeout_;
    Output output_;
    std::unique_ptr<EmulatorRegisters> state_;
    EmulatorImage image_;
    MessageTexts texts_;
    // The signal register takes few values in a run: each one's text is
    // made once.
    const std::string& ShownSignal(uint16_t signal) {
        auto [at, added] = signalTexts_.try_emplace(signal);
        if (added) at->second = SignalBits(signal);
        return at->second;
    }

    std::string out_;
    std::unordered_map<uint16_t, std::string> signalTexts_;
    int messages_ = 0, notTaken_ = 0, perPath_[4] = {};
};

int Trouble(const std::string& message) {
    std::fprintf(stderr, "kova-config: %s\n", tools::Printable(message).c_str());
    return kExitTrouble;
}

bool ParsePort(const std::string& text, int* port) {
    if (text.size() != 1 || text[0] < '1' || text[0] > '4') return false;
    *port = text[0] - '0';
    return true;
}

}  // namespace

int RunEmulate(const ConfigOptions& options) {
    int port;
    if (!ParsePort(options.operands[1], &port))
        return Trouble("port " + options.operands[1] + " is not 1 to 4");
    ConfigSnapshot snapshot;
    std::string error;
    if (!LoadOperand(options.operands[0], options, &snapshot, &error)) {
        Trouble(error);
        return options.operands[0] == kModuleOperand ? kExitFailed : kExitTrouble;
    }
    const bool fromFile = options.operands.size() > 2 && options.operands[2] != "-";
    const std::string inputName = fromFile ? options.operands[2] : "standard input";
    FILE* in = fromFile ? std::fopen(options.operands[2].c_str(), "rb") : stdin;
    if (!in) return Trouble(inputName + ": " + std::strerror(errno));

    const Output output = options.json ? Output::Json : options.csv ? Output::Csv : Output::Lines;
    Emulation emulation(snapshot.contents, port, output);
    std::vector<char> buffer(1 << 16);
    bool written = true;
    for (size_t n; written && (n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0;)
        written = emulation.Take(std::string_view(buffer.data(), n));
    const bool readFailed = std::ferror(in);
    if (fromFile) std::fclose(in);
    if (readFailed) return Trouble(inputName + ": cannot be read");
    written = emulation.Finish() && written;
    // The data on standard output alone; the summary beside it, unless the
    // output is for people.
    const std::string summary = emulation.Summary();
    if (output == Output::Lines)
        written =
            std::fwrite(summary.data(), 1, summary.size(), stdout) == summary.size() && written;
    else
        std::fputs(summary.c_str(), stderr);
    if (std::fflush(stdout) != 0 || !written) {
        std::perror("kova-config: standard output");
        return kExitTrouble;
    }
    return kExitOk;
}
