// The metrics of a backup run as Prometheus takes them: every module with
// every series on every run, times that stay until a run renews them, and
// the example alert rules firing on them as they say (checked with promtool
// where Debian's prometheus package is installed).
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "kova-config/backup_metrics.h"
#include "kova-config/kova_config_fixture.h"

namespace {

using MetricsTest = KovaConfigTest;

const char* const kModuleFamilies[] = {
    "kova_backup_up",
    "kova_backup_changed",
    "kova_backup_changed_fields",
    "kova_backup_duration_seconds",
    "kova_backup_last_success_timestamp_seconds",
    "kova_backup_last_change_timestamp_seconds",
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The value of one sample, or NaN when the file has no such series.
double Sample(const std::string& text, const std::string& family, const std::string& module) {
    const std::string start = family + "{module=\"" + module + "\"} ";
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(start, 0) == 0) return std::stod(line.substr(start.size()));
    return std::nan("");
}

TEST_F(MetricsTest, EveryModuleHasEverySeriesAndAChangeIsRememberedAfterIt) {
    WriteKov("SAMPLE.KOV", SampleConfig());
    Sim east(Sim::Tcp, {"--config", Path("SAMPLE.KOV")});
    Sim dead(Sim::Tcp);
    auto line = [](std::string text, const Sim& sim) {
        for (const std::string& word : sim.Link()) text += " " + word;
        return text + "\n";
    };
    WriteText("plant.list", line("east", east) + line("dead", dead));
    dead.Stop();
    // The module's last backup differs from it in one field.
    std::filesystem::create_directories(Path("out"));
    ConfigFileContents older = SampleConfig();
    older.ports[2].Paths[1].EditingMode = 3;
    WriteKov("out/east.KOV", older);
    const Args backup = {"-q", "--force", "--metrics", Path("kova.prom"), "backup",
                         Path("plant.list"), Path("out")};

    const RunResult first = Run(backup);
    EXPECT_EQ(first.status, 1) << first.err;  // dead failed
    const std::string m1 = ReadText(Path("kova.prom"));
    for (const char* family : kModuleFamilies)
        for (const char* module : {"east", "dead"})
            EXPECT_FALSE(std::isnan(Sample(m1, family, module))) << family << " " << module << "\n" << m1;
    EXPECT_EQ(Sample(m1, "kova_backup_changed", "east"), 1);
    EXPECT_EQ(Sample(m1, "kova_backup_changed_fields", "east"), 1);
    const double changedAt = Sample(m1, "kova_backup_last_change_timestamp_seconds", "east");
    EXPECT_GT(changedAt, 1.5e9);
    EXPECT_EQ(changedAt, Sample(m1, "kova_backup_last_success_timestamp_seconds", "east"));
    // Never fetched, never changed: times of 0, which an age alert sees.
    EXPECT_EQ(Sample(m1, "kova_backup_last_success_timestamp_seconds", "dead"), 0);
    EXPECT_EQ(Sample(m1, "kova_backup_last_change_timestamp_seconds", "dead"), 0);
    EXPECT_EQ(Sample(m1, "kova_backup_changed_fields", "dead"), 0);

    // The next run finds no change, and still says when the last one was.
    const RunResult second = Run(backup);
    EXPECT_EQ(second.status, 1) << second.err;
    const std::string m2 = ReadText(Path("kova.prom"));
    EXPECT_EQ(Sample(m2, "kova_backup_changed", "east"), 0);
    EXPECT_EQ(Sample(m2, "kova_backup_changed_fields", "east"), 0);
    EXPECT_EQ(Sample(m2, "kova_backup_last_change_timestamp_seconds", "east"), changedAt);
    EXPECT_GE(Sample(m2, "kova_backup_last_success_timestamp_seconds", "east"), changedAt);
    EXPECT_EQ(Sample(m2, "kova_backup_last_success_timestamp_seconds", "dead"), 0);
}

// promtool, from Debian's prometheus package; the tests that need it say so
// where it is missing.
bool HavePromtool() { return RunProgram({"promtool", "--version"}).status == 0; }

class PromtoolTest : public KovaConfigTest {
  protected:
    void SetUp() override {
        if (!HavePromtool())
            GTEST_SKIP() << "promtool is not installed (Debian package prometheus): not checked";
        KovaConfigTest::SetUp();
    }
};

TEST_F(PromtoolTest, TakesTheMetricsOfAModuleThatNeverSucceeded) {
    ModuleMetrics never{"kiln", false, false, 5.25, std::nullopt};
    ModuleMetrics changed{"east", true, true, 1.5, 1796948833.25, 1796948833.25, 2};
    WriteText("kova.prom", MetricsText({never, changed}, 1796948834));
    const RunResult r =
        RunProgram({"sh", "-c", "promtool check metrics < \"$0\"", Path("kova.prom")});
    EXPECT_EQ(r.status, 0) << r.out << r.err << ReadText(Path("kova.prom"));
    EXPECT_EQ(r.out + r.err, "");  // not even a lint warning
}

// The example rules, checked and then run by promtool on a day of samples:
// each alert fires for the module it is about and for no other.
TEST_F(PromtoolTest, TheExampleAlertsFireAsTheySay) {
    const std::string rules = SourcePath("systemd/kova-backup.rules.yml");
    const RunResult checked = RunProgram({"promtool", "check", "rules", rules});
    EXPECT_EQ(checked.status, 0) << checked.out << checked.err;
    // At three days after the epoch: north fetched an hour ago, east fetched
    // and found changed five hours ago, kiln never fetched and failing now.
    WriteText("alerts.test.yml", R"(rule_files:
  - )" + rules + R"(
evaluation_interval: 1m
tests:
  - interval: 1h
    input_series:
      - series: 'kova_backup_last_success_timestamp_seconds{module="north"}'
        values: '255600x80'
      - series: 'kova_backup_last_change_timestamp_seconds{module="north"}'
        values: '0x80'
      - series: 'kova_backup_up{module="north"}'
        values: '1x80'
      - series: 'kova_backup_last_success_timestamp_seconds{module="east"}'
        values: '241200x80'
      - series: 'kova_backup_last_change_timestamp_seconds{module="east"}'
        values: '241200x80'
      - series: 'kova_backup_up{module="east"}'
        values: '1x80'
      - series: 'kova_backup_last_success_timestamp_seconds{module="kiln"}'
        values: '0x80'
      - series: 'kova_backup_last_change_timestamp_seconds{module="kiln"}'
        values: '0x80'
      - series: 'kova_backup_up{module="kiln"}'
        values: '0x80'
    alert_rule_test:
      - eval_time: 72h
        alertname: KovaBackupTooOld
        exp_alerts:
          - exp_labels: {severity: warning, module: kiln}
            exp_annotations:
              summary: "KOVA module kiln not backed up for two days"
              description: "No backup run has fetched the configuration of kiln for more than two days (or ever)."
      - eval_time: 72h
        alertname: KovaConfigurationChanged
        exp_alerts:
          - exp_labels: {severity: info, module: east}
            exp_annotations:
              summary: "KOVA module east: configuration changed in the last day"
              description: "A backup found the configuration of east changed; kova-config history shows what was replaced, and its .diff file the fields."
      - eval_time: 72h
        alertname: KovaBackupFailing
        exp_alerts:
          - exp_labels: {severity: warning, module: kiln}
            exp_annotations:
              summary: "KOVA module kiln: the last backup failed"
              description: "The last backup run could not fetch the configuration of kiln; journalctl -u kova-backup says why."
)");
    const RunResult tested = RunProgram({"promtool", "test", "rules", Path("alerts.test.yml")});
    EXPECT_EQ(tested.status, 0) << tested.out << tested.err;
}

TEST(BackupMetricsText, EverySeriesForEveryModuleAndTimesOfZeroReadAsNever) {
    ModuleMetrics never{"kiln", false, false, 5.25, std::nullopt};
    ModuleMetrics changed{"east", true, true, 1.5, 1796948833.25, 1796948800, 2};
    const std::string text = MetricsText({never, changed}, 1796948834);
    for (const char* family : kModuleFamilies) {
        EXPECT_FALSE(std::isnan(Sample(text, family, "kiln"))) << family;
        EXPECT_FALSE(std::isnan(Sample(text, family, "east"))) << family;
    }
    EXPECT_EQ(Sample(text, "kova_backup_last_success_timestamp_seconds", "kiln"), 0);
    EXPECT_EQ(Sample(text, "kova_backup_changed_fields", "east"), 2);
    EXPECT_EQ(LastSuccessTimes(text), (std::map<std::string, double>{{"east", 1796948833.25}}));
    EXPECT_EQ(LastChangeTimes(text), (std::map<std::string, double>{{"east", 1796948800}}));
}

}  // namespace
