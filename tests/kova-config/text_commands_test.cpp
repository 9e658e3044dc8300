// export and import as users run them: a file or a module made into text and
// back into the same bytes, a bad text refused with nothing written, and the
// target of an import guarded as a fetch's is.
#include <unistd.h>

#include <filesystem>

#include "common/file_contents.h"
#include "kova-config/kova_config_fixture.h"

namespace {

using TextCommandsTest = KovaConfigTest;

// A file of an older layout comes back in that layout, byte for byte.
TEST_F(TextCommandsTest, ExportThenImportGivesTheSameFile) {
    const ConfigFileContents sample = SampleConfig();
    for (ConfigLayout layout :
         {ConfigLayout::V1113, ConfigLayout::V1111, ConfigLayout::UnversionedShort}) {
        SCOPED_TRACE(LayoutName(layout));
        const std::vector<uint8_t> bytes = EncodeConfigFileAs(sample, layout);
        WriteText("A.KOV", std::string(bytes.begin(), bytes.end()));
        const RunResult exported = Run({"--force", "export", Path("A.KOV"), Path("a.toml")});
        ASSERT_EQ(exported.status, 0) << exported.err;
        EXPECT_EQ(exported.out, "");
        const RunResult imported = Run({"--force", "import", Path("a.toml"), Path("B.KOV")});
        ASSERT_EQ(imported.status, 0) << imported.err;
        EXPECT_EQ(imported.err, "");
        EXPECT_EQ(ReadFileBytes(Path("B.KOV")), bytes);
    }
}

TEST_F(TextCommandsTest, AModulesExportImportsToWhatAFetchWrites) {
    WriteKov("X.KOV", SampleConfig());
    Sim sim(Sim::Tcp, {"--config", Path("X.KOV")});
    const RunResult fetched = RunOn(sim, {"fetch", Path("F.KOV")});
    ASSERT_EQ(fetched.status, 0) << fetched.err;
    const RunResult exported = RunOn(sim, {"-q", "export", "module"});
    ASSERT_EQ(exported.status, 0) << exported.err;
    WriteText("m.toml", exported.out);
    const RunResult imported = Run({"import", Path("m.toml"), Path("M.KOV")});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(ReadFileBytes(Path("M.KOV")), ReadFileBytes(Path("F.KOV")));
}

TEST_F(TextCommandsTest, ABadTextIsRefusedWithItsLineAndNothingIsWritten) {
    WriteKov("A.KOV", SampleConfig());
    ASSERT_EQ(Run({"export", Path("A.KOV"), Path("a.toml")}).status, 0);
    std::string text = ReadFile(Path("a.toml"));
    const size_t at = text.find("register_count = ");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, text.find('\n', at) - at, "register_count = 65");
    const int line = int(std::count(text.begin(), text.begin() + long(at), '\n')) + 1;
    WriteText("a.toml", text);
    const RunResult r = Run({"import", Path("a.toml"), Path("B.KOV")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "kova-config: " + Path("a.toml") + ":" + std::to_string(line) +
                         ": port 1 path 1 register_count = 65: out of range 0-64\n"
                         "kova-config: " +
                         Path("B.KOV") + ": nothing written\n");
    EXPECT_FALSE(Exists("B.KOV"));
}

TEST_F(TextCommandsTest, AFieldLeftOutIsSaidAndStrictRefusesIt) {
    WriteText("short.toml", "rack_base = 5\n");
    const RunResult loose = Run({"import", Path("short.toml"), Path("L.KOV")});
    EXPECT_EQ(loose.status, 0) << loose.err;
    EXPECT_NE(loose.err.find(Path("short.toml") + ": port 4: left out, taking the default"),
              std::string::npos)
        << loose.err;
    EXPECT_EQ(ReadKov("L.KOV").plus.RackBase, 5);
    const RunResult strict = Run({"import", "--strict", Path("short.toml"), Path("S.KOV")});
    EXPECT_EQ(strict.status, 2);
    EXPECT_FALSE(Exists("S.KOV"));
}

// As fetch: never over an existing file without --force, never through a
// symbolic link even with it.
TEST_F(TextCommandsTest, TheImportsTargetIsGuardedAsAFetchs) {
    WriteKov("A.KOV", SampleConfig());
    ASSERT_EQ(Run({"export", Path("A.KOV"), Path("a.toml")}).status, 0);
    const RunResult again = Run({"export", Path("A.KOV"), Path("a.toml")});
    EXPECT_EQ(again.status, 2);
    EXPECT_EQ(again.err, "kova-config: " + Path("a.toml") + " exists; --force replaces it\n");

    WriteText("OLD.KOV", "old");
    EXPECT_EQ(Run({"import", Path("a.toml"), Path("OLD.KOV")}).status, 2);
    EXPECT_EQ(ReadFile(Path("OLD.KOV")), "old");
    EXPECT_EQ(Run({"--force", "import", Path("a.toml"), Path("OLD.KOV")}).status, 0);
    EXPECT_EQ(ReadFileBytes(Path("OLD.KOV")), ReadFileBytes(Path("A.KOV")));

    WriteText("victim.txt", "keep");
    ASSERT_EQ(symlink("victim.txt", Path("L.KOV").c_str()), 0);
    const RunResult linked = Run({"--force", "import", Path("a.toml"), Path("L.KOV")});
    EXPECT_EQ(linked.status, 2);
    EXPECT_EQ(linked.err, "kova-config: " + Path("L.KOV") + " is a symbolic link\n");
    EXPECT_EQ(ReadFile(Path("victim.txt")), "keep");
}

TEST_F(TextCommandsTest, JsonIsWrittenForScriptsAndReadBack) {
    WriteKov("A.KOV", SampleConfig());
    const RunResult r = Run({"export", "--format", "json", Path("A.KOV")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 20), "{\n  \"layout\": \"1113\"");
    WriteText("a.json", r.out);
    const RunResult back = Run({"import", Path("a.json"), Path("B.KOV")});
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(ReadFileBytes(Path("B.KOV")), ReadFileBytes(Path("A.KOV")));
    EXPECT_EQ(Run({"export", "--format", "xml", Path("A.KOV")}).status, 2);
}

// print, diff, check and send take a text where they take a .KOV file, told
// by its content whatever its name.
TEST_F(TextCommandsTest, TheFileCommandsTakeATextAsTheyTakeTheFile) {
    WriteKov("A.KOV", SampleConfig());
    ASSERT_EQ(Run({"export", Path("A.KOV"), Path("a.conf")}).status, 0);
    const RunResult same = Run({"diff", Path("a.conf"), Path("A.KOV")});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "");
    std::string text = ReadFile(Path("a.conf"));
    text.replace(text.find("rack_base = 40"), 14, "rack_base = 41");
    WriteText("b.conf", text);
    const RunResult differs = Run({"diff", Path("A.KOV"), Path("b.conf")});
    EXPECT_EQ(differs.status, 3) << differs.err;
    EXPECT_EQ(differs.out, "Rack base address: 40 -> 41\n");

    const RunResult printedText = Run({"print", Path("a.conf")});
    const RunResult printedFile = Run({"print", Path("A.KOV")});
    ASSERT_EQ(printedText.status, 0) << printedText.err;
    // The second line is the time of printing.
    auto body = [](const std::string& s) { return s.substr(s.find('\n', s.find('\n') + 1)); };
    EXPECT_EQ(body(printedText.out), body(printedFile.out));

    const RunResult checked = Run({"check", Path("a.conf")});
    EXPECT_EQ(checked.status, 0) << checked.out;
    text.replace(text.find("rack_base = 41"), 14, "rack_base = 0 ");
    WriteText("bad.conf", text);
    const RunResult bad = Run({"check", Path("bad.conf")});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.out.find(Path("bad.conf") + ":4: rack_base = 0: out of range 1-8191"),
              std::string::npos)
        << bad.out;

    Sim sim(Sim::Tcp);
    const RunResult sent = RunOn(sim, {"-q", "send", Path("a.conf")});
    ASSERT_EQ(sent.status, 0) << sent.err;
    const RunResult module = RunOn(sim, {"-q", "diff", Path("A.KOV"), "module"});
    EXPECT_EQ(module.status, 0) << module.out << module.err;
}

}  // namespace
