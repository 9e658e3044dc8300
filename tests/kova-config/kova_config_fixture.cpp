#include "kova-config/kova_config_fixture.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/config_defaults.h"
#include "config/module_config.h"
#include "setup/link_setup.h"

extern char** environ;

Spawned::Spawned(Args argv, const std::string& out, const std::string& err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> pointers;
    for (std::string& a : argv) pointers.push_back(a.data());
    pointers.push_back(nullptr);
    if (posix_spawnp(&pid_, pointers[0], &actions, nullptr, pointers.data(), environ) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
}

Spawned::~Spawned() {
    if (pid_ > 0) Signal(SIGKILL);
}

int Spawned::Wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
}

int Spawned::Signal(int sig) {
    kill(pid_, sig);
    return Wait();
}

Args Join(Args a, const Args& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Sim::Sim(Wire wire, const Args& options) : wire_(wire) {
    Args place = wire == Tcp ? Args{"--protocol", "tcp", "--listen", "127.0.0.1:0"}
                             : Args{"--protocol", wire == SyMaxPty ? "symax" : "rtu"};
    process_ = std::make_unique<SimProcess>(Join(place, options));
    where_ = process_->Where();
}

Args Sim::Link() const {
    if (wire_ == Tcp) return {"--type", "tcp", "--host", "127.0.0.1", "--tcp-port", where_};
    return {"--type", wire_ == SyMaxPty ? "symax" : "rtu", "--port", where_};
}

ConfigFileContents SampleConfig() {
    ModuleConfig config;
    FillDefaults(config);
    ConfigFileContents c;
    c.plus = config.Plus;
    std::memcpy(c.ports, config.Ports, sizeof c.ports);
    c.printProgBaud = 3;
    c.plus.RackBase = 40;
    for (int p = 0; p < 4; ++p) {
        PortConfig& port = c.ports[p];
        port.BaudRate = int16_t(9 + p);
        port.Parity = int16_t(p % 3);
        port.Capitalize = p & 1;
        for (int k = 0; k < 4; ++k) port.Paths[k].StartRegister = int16_t(41 + 16 * p + 4 * k);
        CharSetPut(port.TerminateSet, unsigned(3 + p), true);
        CharSetPut(port.AcceptSet, 0x41, false);
        c.plus.TerminateCount[p] = int16_t(10 + p);
        c.plus.TerminateTimeout[p] = int16_t(300 + p);
        c.plus.TriggerInhibit[p] = int16_t(60 + p);
    }
    PortConfig& p2 = c.ports[1];
    std::strcpy(p2.Paths[2].Pattern, "\x02(##)*\r");
    std::memset(p2.Paths[3].Mask, 'M', 64);  // a full 64 characters
    p2.Paths[3].Mask[64] = 0;
    p2.Paths[1].RegisterCount = 64;
    p2.Paths[1].EditingMode = 7;
    p2.Paths[0].Continue = 1;
    std::strcpy(p2.PollQueries[0], "@001004D\r\n");
    std::strcpy(p2.PollQueries[15], "?V");
    p2.PollInterval = 70000;
    c.ports[3].PollInterval = 250;
    return c;
}

void KovaConfigTest::SetUp() {
    ASSERT_TRUE(HaveProgram(BuildProgram("kova-config"))) << "kova-config is not built";
    ASSERT_TRUE(HaveProgram(BuildProgram("kova-sim"))) << "kova-sim is not built";
    char pattern[] = "/tmp/kova-config-test-XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern));
    dir_ = pattern;
}

void KovaConfigTest::TearDown() {
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
}

RunResult KovaConfigTest::Run(const Args& args) {
    return RunProgram(Join({BuildProgram("kova-config")}, args));
}

void KovaConfigTest::WriteKov(const std::string& name, const ConfigFileContents& contents) {
    const std::vector<uint8_t> bytes = EncodeConfigFile(contents);
    WriteText(name, std::string(bytes.begin(), bytes.end()));
}

ConfigFileContents KovaConfigTest::ReadKov(const std::string& name) {
    std::ifstream in(Path(name), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    const std::string bytes = s.str();
    auto decoded = DecodeConfigFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    EXPECT_TRUE(decoded) << name << " is not a configuration file";
    EXPECT_EQ(bytes.size(), kConfigFileSize) << name;
    return decoded ? decoded->contents : ConfigFileContents{};
}

void KovaConfigTest::WriteText(const std::string& name, const std::string& text) {
    std::ofstream(Path(name), std::ios::binary) << text;
}

bool KovaConfigTest::Exists(const std::string& name) const {
    return std::filesystem::exists(Path(name));
}

std::vector<std::string> KovaConfigTest::Entries(const std::string& sub) const {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& e :
         std::filesystem::directory_iterator(sub.empty() ? dir_ : Path(sub), ignored))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void ExpectSameTransferredFields(const ConfigFileContents& expected,
                                 const ConfigFileContents& actual, bool plus) {
    for (int p = 0; p < 4; ++p) {
        PortConfig a = expected.ports[p], b = actual.ports[p];
        // The two reserved bytes of a port are the file's alone.
        std::memset(a.Reserved, 0, sizeof a.Reserved);
        std::memset(b.Reserved, 0, sizeof b.Reserved);
        EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << "port " << p + 1;
        if (!plus) continue;
        EXPECT_EQ(expected.plus.TerminateCount[p], actual.plus.TerminateCount[p]) << p + 1;
        EXPECT_EQ(expected.plus.TerminateTimeout[p], actual.plus.TerminateTimeout[p]) << p + 1;
        EXPECT_EQ(expected.plus.TriggerInhibit[p], actual.plus.TriggerInhibit[p]) << p + 1;
    }
    EXPECT_EQ(expected.plus.RackBase, actual.plus.RackBase);
    EXPECT_EQ(expected.printProgBaud, actual.printProgBaud);
}

std::string SetupFile(int16_t type, const std::string& tcpPort, int16_t serialPort) {
    LinkSetup setup = DefaultSetupFor("KOVASW.STP");
    setup.ConnectionType = type;
    setup.LinkPort = serialPort;
    setup.RouteCount = 1;
    setup.Route[0] = 1;
    std::snprintf(setup.TcpHost, sizeof setup.TcpHost, "127.0.0.1");
    setup.TcpPort = uint16_t(tcpPort.empty() ? 502 : std::stoi(tcpPort));
    const std::vector<uint8_t> bytes = EncodeSetup(setup);
    return std::string(bytes.begin(), bytes.end());
}
