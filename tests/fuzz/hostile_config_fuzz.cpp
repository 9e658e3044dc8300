// Fuzz target: a configuration holding whatever a module's registers hold.
// The input overwrites, word by word, the registers a module holds after a
// send of the defaults (the module-wide words, then the ports' register
// blocks from the chosen port on), and the configuration is fetched from them
// through the register map's decoding. Then the port editor screen is drawn,
// the configuration printed, a message from the input acquired and processed
// by the emulator, and the file image written and read back.
// None of them may read outside a table or buffer, change the record, or let
// a field's text break the listing's lines.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "config/config_defaults.h"
#include "config/config_documents.h"
#include "config/config_file_image.h"
#include "config/config_listing.h"
#include "config/module_config.h"
#include "config/validate.h"
#include "editors/port_editor_screen.h"
#include "emulator/message_texts.h"
#include "emulator/register_image.h"
#include "emulator_screen/process_message.h"
#include "emulator_screen/register_grid.h"
#include "transfer/register_map.h"
#include "transfer/section_codec.h"
#include "ui/console/memory_console.h"
#include "ui/screen.h"
#include "ui/screen_state.h"

namespace {

void Require(bool ok) {
    if (!ok) __builtin_trap();
}

// The input as a stream of bytes and of 16-bit words, high byte first as on
// the wire; a word the input no longer holds keeps its value.
class Input {
  public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Empty() const { return size_ == 0; }
    uint8_t Byte() {
        if (size_ == 0) return 0;
        --size_;
        return *data_++;
    }
    void Word(uint16_t& word) {
        if (size_ < 2) return;
        word = uint16_t(data_[0] << 8 | data_[1]);
        data_ += 2;
        size_ -= 2;
    }

  private:
    const uint8_t* data_;
    size_t size_;
};

// What a module holds: the module-wide words and each port's block.
struct ModuleRegisters {
    uint16_t printProgBaud, rackBase, terminateCount[4], terminateTimeout[4], triggerInhibit[4];
    uint16_t ports[kModulePorts][kPortRegisterCount];
};

ModuleRegisters AfterSendOf(const ModuleConfig& c, int16_t printProgBaud) {
    ModuleRegisters r{};
    r.printProgBaud = uint16_t(printProgBaud);
    r.rackBase = uint16_t(c.Plus.RackBase);
    for (int i = 0; i < 4; ++i) {
        r.terminateCount[i] = uint16_t(c.Plus.TerminateCount[i]);
        r.terminateTimeout[i] = uint16_t(c.Plus.TerminateTimeout[i]);
        r.triggerInhibit[i] = uint16_t(c.Plus.TriggerInhibit[i]);
    }
    for (int p = 0; p < kModulePorts; ++p)
        for (const PortSection& s : kPortSections)
            EncodeSection(c.Ports[p], s, r.ports[p] + s.offset);
    return r;
}

void Overwrite(Input& in, ModuleRegisters& r, int firstPort) {
    in.Word(r.printProgBaud);
    in.Word(r.rackBase);
    for (int i = 0; i < 4; ++i) {
        in.Word(r.terminateCount[i]);
        in.Word(r.terminateTimeout[i]);
        in.Word(r.triggerInhibit[i]);
    }
    for (int k = 0; k < kModulePorts; ++k)
        for (uint16_t& word : r.ports[(firstPort + k) % kModulePorts]) in.Word(word);
}

// A fetch of every port into a configuration that held the defaults.
void FetchFrom(const ModuleRegisters& r, ModuleConfig& c, int16_t& printProgBaud) {
    printProgBaud = int16_t(r.printProgBaud);
    c.Plus.RackBase = int16_t(r.rackBase);
    for (int i = 0; i < 4; ++i) {
        c.Plus.TerminateCount[i] = int16_t(r.terminateCount[i]);
        c.Plus.TerminateTimeout[i] = int16_t(r.terminateTimeout[i]);
        c.Plus.TriggerInhibit[i] = int16_t(r.triggerInhibit[i]);
    }
    for (int p = 0; p < kModulePorts; ++p)
        for (const PortSection& s : kPortSections)
            DecodeSection(r.ports[p] + s.offset, s, c.Ports[p]);
}

size_t Count(const std::string& s, char c) {
    size_t n = 0;  // find, not a loop of iterators: a debug build runs this often
    for (size_t at = s.find(c); at != std::string::npos; at = s.find(c, at + 1)) ++n;
    return n;
}

// The listing of a sound configuration, without and with the PLUS lines.
const std::string& SaneListing(bool plus) {
    static const std::string listings[2] = {
        [] {
            ModuleConfig c;
            FillDefaults(c);
            return ConfigListing(c, 3, 0, "1/Jan/26");
        }(),
        [] {
            ModuleConfig c;
            FillDefaults(c);
            return ConfigListing(c, 3, 1, "1/Jan/26");
        }(),
    };
    return listings[plus];
}

con::MemoryConsole& Console() {
    static con::MemoryConsole console;
    static ScreenState screenState;
    static bool started = false;
    if (!started) {
        ScreenInit(console, screenState);
        // The labels; values are drawn per input.
        DrawPortEditorScreen(OfflineWrites(kModelPlus));
        started = true;
    }
    return console;
}

// Acquires the text as the emulator does; the accepted text once a
// terminator, the count or the end of the text ends the message.
MessageTexts Acquire(const PortConfig& port, uint16_t terminateCount, const std::string& text) {
    MessageTexts t;
    for (unsigned char c : text) {
        const bool terminator = AcquireCharacter(t, port, c);
        if (terminator && t.AcceptedEmpty()) {
            t.Clear();  // an empty message: the next character starts another
            continue;
        }
        if (terminator || CountReached(t, terminateCount)) break;
    }
    return t;
}

}  // namespace

// Each input draws, prints and emulates a whole configuration.
extern "C" int KovaFuzzReplayRounds() { return 800; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    const uint8_t pick = in.Byte();
    const int port = pick & 3;
    const int16_t model = int16_t(pick >> 2 & 3);  // 3 too: only 0 hides the PLUS items
    // The message first, so that long inputs, which reach the later ports'
    // registers, still bring one.
    std::string message(in.Byte() % 100, '\0');
    for (char& c : message) c = char(in.Byte() | 1);  // no NUL: the texts end at one
    ModuleConfig config;
    FillDefaults(config);
    int16_t printProgBaud = 3;
    ModuleRegisters registers = AfterSendOf(config, printProgBaud);
    Overwrite(in, registers, port);
    FetchFrom(registers, config, printProgBaud);

    con::MemoryConsole& console = Console();
    console.ClearCalls();
    ConfigDocuments documents;
    documents.WorkingConfig = config;
    documents.PrintProgBaud = printProgBaud;

    ShowPortValues(documents, port, model);

    const std::string listing = ConfigListing(config, printProgBaud, model, "1/Jan/26");
    const std::string& sane = SaneListing(model != 0);
    Require(Count(listing, '\n') == Count(sane, '\n'));
    Require(Count(listing, '\f') == Count(sane, '\f'));

    const int rackBase = config.Plus.RackBase;
    EmulatorRegisters emulator{};
    emulator.origin = OriginAtStart(emulator.origin, rackBase);
    DrawRegisterGrid(emulator, rackBase);
    const MessageTexts texts =
        Acquire(config.Ports[port], uint16_t(config.Plus.TerminateCount[port]), message);
    if (!texts.AcceptedEmpty()) ProcessMessage(emulator, documents.WorkingConfig, port + 1, texts.accepted);

    // Drawing, printing and emulating only read the record.
    Require(std::memcmp(&documents.WorkingConfig, &config, sizeof config) == 0);
    Require(documents.PrintProgBaud == printProgBaud);

    // The file carries every byte as read.
    const auto image = EncodeConfigFile(DocumentOf(config, printProgBaud, 0));
    const auto decoded = DecodeConfigFile(image.data(), image.size());
    Require(decoded && decoded->layout == ConfigLayout::V1113);
    const ModuleConfig back = ModuleConfigOf(decoded->contents);
    Require(std::memcmp(&back, &config, sizeof config) == 0);
    Require(decoded->contents.printProgBaud == printProgBaud);

    // Validation leaves strings that end inside their fields.
    ValidatePortsOf(config, 0, 3, [](const std::string& m) { Require(m.size() < 136); });
    for (const PortConfig& p : config.Ports)
        for (const DataPath& d : p.Paths)
            Require(strnlen(d.Pattern, 65) <= 64 && d.RegisterCount <= 64);
    return 0;
}
