// backup --history and --metrics against simulated modules over Modbus TCP:
// a first run makes the files, a second with no change leaves them alone, a
// change made with kova-link is kept in the history with its diff, and the
// metrics file reads back as a Prometheus scraper reads it.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "common/file_contents.h"
#include "kova-config/backup_metrics.h"
#include "kova-config/kova_config_fixture.h"
#include "transfer/register_map.h"

namespace {

using HistoryTest = KovaConfigTest;

std::string ListLine(const std::string& name, const Sim& sim) {
    std::string line = name;
    for (const std::string& word : sim.Link()) line += " " + word;
    return line + "\n";
}

// The summary row of a module.
std::string RowOf(const std::string& summary, const std::string& name) {
    std::istringstream rows(summary);
    for (std::string row; std::getline(rows, row);)
        if (row.rfind(name + " ", 0) == 0) return row;
    return "";
}

// Port 3 path 2's editing mode, as the module commands' diff test changes it.
RunResult WriteEditingMode(const Sim& sim, int mode) {
    const int reg = SectionRegister(3, PathNumbersSection(1)) + 2;
    return RunProgram(Join(Join({BuildProgram("kova-link")}, sim.Link()),
                           {"write", std::to_string(reg), std::to_string(mode)}));
}

// A metrics file read back by the rules of the text exposition format: each
// sample by "name{labels}", each family with its HELP and TYPE before its
// samples, every line ended.
struct Metrics {
    std::map<std::string, double> samples;
    std::string fault;  // the first line that breaks the format

    double At(const std::string& name, const std::string& module = "") const {
        const auto it = samples.find(module.empty() ? name : name + "{module=\"" + module + "\"}");
        return it == samples.end() ? -1 : it->second;
    }
    bool Has(const std::string& name, const std::string& module) const {
        return samples.count(name + "{module=\"" + module + "\"}") != 0;
    }
};

Metrics ParseMetrics(const std::string& text) {
    Metrics m;
    std::set<std::string> helped, typed;
    if (text.empty() || text.back() != '\n') m.fault = "the last line is not ended";
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line) && m.fault.empty();) {
        std::istringstream words(line);
        std::string first, name, rest;
        words >> first;
        if (first == "#") {
            words >> rest >> name;
            (rest == "HELP" ? helped : typed).insert(name);
            if (rest == "TYPE" && line != "# TYPE " + name + " gauge") m.fault = line;
            continue;
        }
        const size_t space = line.rfind(' ');
        const std::string series = line.substr(0, space), value = line.substr(space + 1);
        name = series.substr(0, series.find('{'));
        char* end = nullptr;
        const double number = std::strtod(value.c_str(), &end);
        if (!helped.count(name) || !typed.count(name) || *end || value.empty() ||
            m.samples.count(series))
            m.fault = line;
        m.samples[series] = number;
    }
    return m;
}

struct stat StatOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st;
}

TEST_F(HistoryTest, NewThenUnchangedThenChangedThenAFailedModuleKeepsItsLastSuccess) {
    WriteKov("SAMPLE.KOV", SampleConfig());
    Sim north(Sim::Tcp, {"--config", Path("SAMPLE.KOV")});
    Sim east(Sim::Tcp, {"--config", Path("SAMPLE.KOV")});
    Sim dead(Sim::Tcp);
    WriteText("first.list",
              ListLine("north", north) + ListLine("east", east) + ListLine("dead", dead));
    WriteText("plant.list", ListLine("north", north) + ListLine("east", east));
    dead.Stop();
    const std::string prom = Path("kova.prom");
    const Args backup = {"-q", "--history", "--metrics", prom, "backup"};
    const std::string up = "kova_backup_up", changed = "kova_backup_changed",
                      success = "kova_backup_last_success_timestamp_seconds";

    // A first run: new files, and a module that cannot be reached.
    const RunResult first = Run(Join(backup, {Path("first.list"), Path("out")}));
    EXPECT_EQ(first.status, 1) << first.out << first.err;
    EXPECT_NE(RowOf(first.out, "north").find("  new "), std::string::npos) << first.out;
    EXPECT_NE(RowOf(first.out, "east").find("  new "), std::string::npos) << first.out;
    EXPECT_NE(RowOf(first.out, "dead").find("Connection refused"), std::string::npos) << first.out;
    const Metrics m1 = ParseMetrics(ReadFile(prom));
    ASSERT_EQ(m1.fault, "");
    EXPECT_EQ(m1.At(up, "north"), 1);
    EXPECT_EQ(m1.At(up, "dead"), 0);
    EXPECT_EQ(m1.At(changed, "east"), 0);
    EXPECT_TRUE(m1.Has("kova_backup_duration_seconds", "dead"));
    EXPECT_EQ(m1.At(success, "dead"), 0);  // it never succeeded
    EXPECT_GT(m1.At(success, "north"), 1.5e9);
    EXPECT_GE(m1.At("kova_backup_run_timestamp_seconds"), m1.At(success, "north"));

    // A second with no change: the files are left exactly as they were.
    const std::string eastBytes = ReadFile(Path("out/east.KOV"));
    const struct stat eastBefore = StatOf(Path("out/east.KOV"));
    const RunResult second = Run(Join(backup, {Path("plant.list"), Path("out")}));
    EXPECT_EQ(second.status, 0) << second.out << second.err;
    EXPECT_NE(RowOf(second.out, "east").find("  unchanged "), std::string::npos) << second.out;
    const struct stat eastAfter = StatOf(Path("out/east.KOV"));
    EXPECT_EQ(eastAfter.st_mtim.tv_sec, eastBefore.st_mtim.tv_sec);
    EXPECT_EQ(eastAfter.st_mtim.tv_nsec, eastBefore.st_mtim.tv_nsec);
    EXPECT_EQ(eastAfter.st_ino, eastBefore.st_ino);
    EXPECT_EQ(Entries("out"), (std::vector<std::string>{"east.KOV", "north.KOV"}));

    // A third after a register was written: the old file and its diff kept.
    ASSERT_EQ(WriteEditingMode(east, 3).status, 0);
    const RunResult third = Run(Join(backup, {Path("plant.list"), Path("out")}));
    EXPECT_EQ(third.status, 3) << third.out << third.err;
    EXPECT_NE(RowOf(third.out, "east").find("  changed: 1 field "), std::string::npos) << third.out;
    EXPECT_NE(RowOf(third.out, "north").find("  unchanged "), std::string::npos) << third.out;
    const std::vector<std::string> kept = Entries("out/history/east");
    ASSERT_EQ(kept.size(), 2u);
    const std::string stamp = kept[0].substr(0, kept[0].size() - 4);
    EXPECT_EQ(kept, (std::vector<std::string>{stamp + ".KOV", stamp + ".diff"}));
    EXPECT_EQ(stamp.size(), 15u);
    EXPECT_EQ(stamp[8], 'T');
    EXPECT_EQ(ReadFile(Path("out/history/east/" + stamp + ".KOV")), eastBytes);
    EXPECT_EQ(ReadFile(Path("out/history/east/" + stamp + ".diff")),
              "Port 3 Path 2 Editing Mode: ASCII -> FLOAT\n");
    EXPECT_EQ(ReadKov("out/east.KOV").ports[2].Paths[1].EditingMode, 3);
    const Metrics m3 = ParseMetrics(ReadFile(prom));
    ASSERT_EQ(m3.fault, "");
    EXPECT_EQ(m3.At(changed, "east"), 1);
    EXPECT_EQ(m3.At(changed, "north"), 0);

    // The module's versions, newest first.
    const RunResult listed = Run({"history", Path("out"), "east"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    std::istringstream rows(listed.out);
    std::vector<std::string> lines;
    for (std::string row; std::getline(rows, row);) lines.push_back(row);
    ASSERT_EQ(lines.size(), 3u) << listed.out;
    EXPECT_EQ(lines[0].rfind("SAVED", 0), 0u) << lines[0];
    EXPECT_NE(lines[1].find("     -  " + Path("out/east.KOV")), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find("     1  " + Path("out/history/east/" + stamp + ".KOV")),
              std::string::npos)
        << lines[2];
    const std::string replaced = stamp.substr(0, 4) + "-" + stamp.substr(4, 2) + "-" +
                                 stamp.substr(6, 2) + " " + stamp.substr(9, 2) + ":" +
                                 stamp.substr(11, 2) + ":" + stamp.substr(13, 2);
    EXPECT_NE(lines[2].find("  " + replaced + "  "), std::string::npos) << lines[2];

    // A fourth with the module gone: it keeps its last success time.
    east.Stop();
    const RunResult fourth = Run(Join(backup, {Path("plant.list"), Path("out")}));
    EXPECT_EQ(fourth.status, 1) << fourth.out;
    const Metrics m4 = ParseMetrics(ReadFile(prom));
    ASSERT_EQ(m4.fault, "");
    EXPECT_EQ(m4.At(up, "east"), 0);
    EXPECT_EQ(m4.At(success, "east"), m3.At(success, "east"));
    EXPECT_GE(m4.At(success, "north"), m3.At(success, "north"));
}

// Whoever may write into the backup folder must not steer the history's
// files elsewhere: a link at the history folder or a module's folder fails
// that module, and the latest file stays the earlier one.
// --text: beside every .KOV a backup writes, latest and kept, the text
// export gives for it; one missing beside an unchanged file is made again.
// Without --history the latest file alone has its text.
TEST_F(HistoryTest, TextCopiesAreWhatExportGivesForEachFile) {
    WriteKov("SAMPLE.KOV", SampleConfig());
    Sim sim(Sim::Tcp, {"--config", Path("SAMPLE.KOV")});
    WriteText("plant.list", ListLine("east", sim));
    const auto exported = [this](const std::string& kov) {
        const RunResult r = Run({"export", Path(kov)});
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out;
    };
    const Args backup = {"-q", "--history", "--text", "backup", Path("plant.list"), Path("out")};

    ASSERT_EQ(Run(backup).status, 0);
    EXPECT_EQ(Entries("out"), (std::vector<std::string>{"east.KOV", "east.toml"}));
    const std::string before = exported("out/east.KOV");
    EXPECT_EQ(ReadFile(Path("out/east.toml")), before);

    ASSERT_EQ(std::remove(Path("out/east.toml").c_str()), 0);
    const RunResult unchanged = Run(backup);
    EXPECT_EQ(unchanged.status, 0) << unchanged.out << unchanged.err;
    EXPECT_EQ(ReadFile(Path("out/east.toml")), before);

    ASSERT_EQ(WriteEditingMode(sim, 3).status, 0);
    const RunResult changed = Run(backup);
    EXPECT_EQ(changed.status, 3) << changed.out << changed.err;
    const std::vector<std::string> kept = Entries("out/history/east");
    ASSERT_EQ(kept.size(), 3u);
    const std::string stamp = "out/history/east/" + kept[0].substr(0, kept[0].size() - 4);
    EXPECT_EQ(kept[2], kept[0].substr(0, kept[0].size() - 4) + ".toml");
    EXPECT_EQ(ReadFile(Path(stamp + ".toml")), before);
    EXPECT_EQ(ReadFile(Path(stamp + ".toml")), exported(stamp + ".KOV"));
    EXPECT_EQ(ReadFile(Path("out/east.toml")), exported("out/east.KOV"));
    EXPECT_NE(ReadFile(Path("out/east.toml")), before);

    ASSERT_EQ(Run({"-q", "--text", "backup", Path("plant.list"), Path("plain")}).status, 0);
    EXPECT_EQ(Entries("plain"), (std::vector<std::string>{"east.KOV", "east.toml"}));
    EXPECT_EQ(ReadFile(Path("plain/east.toml")), exported("plain/east.KOV"));
}

TEST_F(HistoryTest, ALinkInTheHistoryFolderIsRefused) {
    Sim sim(Sim::Tcp);
    WriteText("plant.list", ListLine("east", sim));
    std::filesystem::create_directory(Path("elsewhere"));
    struct Case {
        const char* out;
        const char* folder;  // made before the link
        const char* link;
        const char* target;
    } kCases[] = {
        {"a", nullptr, "a/history", "../elsewhere"},
        {"b", "b/history", "b/history/east", "../../elsewhere"},
    };
    int mode = 3;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.link);
        ASSERT_EQ(Run({"-q", "--history", "backup", Path("plant.list"), Path(c.out)}).status, 0);
        if (c.folder) std::filesystem::create_directory(Path(c.folder));
        ASSERT_EQ(symlink(c.target, Path(c.link).c_str()), 0);
        const std::string latest = ReadFile(Path(std::string(c.out) + "/east.KOV"));
        ASSERT_EQ(WriteEditingMode(sim, mode++).status, 0);

        const RunResult r = Run({"-q", "--history", "backup", Path("plant.list"), Path(c.out)});
        EXPECT_EQ(r.status, 1) << r.out;
        EXPECT_EQ(r.err, "east: " + Path(c.link) + " is a symbolic link\n");
        EXPECT_EQ(ReadFile(Path(std::string(c.out) + "/east.KOV")), latest);
        EXPECT_TRUE(Entries("elsewhere").empty());
    }
}

TEST(BackupMetricsText, LabelValuesAreEscapedAndReadBack) {
    const std::string name = "line \"3\"\\north\n";
    const std::string text = MetricsText({{name, true, false, 1.5, 1796948833.25}}, 1796948834);
    EXPECT_NE(text.find("kova_backup_up{module=\"line \\\"3\\\"\\\\north\\n\"} 1\n"),
              std::string::npos)
        << text;
    EXPECT_NE(
        text.find("kova_backup_duration_seconds{module=\"line \\\"3\\\"\\\\north\\n\"} 1.500\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("\nkova_backup_run_timestamp_seconds 1796948834\n"), std::string::npos);
    EXPECT_EQ(LastSuccessTimes(text), (std::map<std::string, double>{{name, 1796948833.25}}));
}

}  // namespace
