// A typed file name and the file it stands for, in a directory holding files
// whose names differ only by case, by the case of the extension, or that an
// eight-character name would have confused.
#include "config/typed_file_name.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

TEST(TypedFileName, AddsTheExtensionOnlyToANameWithoutOne) {
    struct Case {
        const char* typed;
        const char* file;
    } kCases[] = {
        {"line3-north", "line3-north.KOV"}, {"Plant_2", "Plant_2.KOV"}, {"plant.kov", "plant.kov"},
        {"backup.v2", "backup.v2"},         {".hidden", ".hidden.KOV"}, {"a.b.c", "a.b.c"},
    };
    for (const auto& c : kCases) {
        const TypedFileName name = NameAsTyped(c.typed, ".KOV");
        EXPECT_EQ(c.file, name.file) << c.typed;
        EXPECT_EQ(std::string(c.typed).size(), name.typedLength) << c.typed;
    }
}

struct TypedFileLookup : testing::Test {
    std::string dir, oldDir;
    void SetUp() override {
        char templ[] = "/tmp/kova-names-XXXXXX";
        ASSERT_NE(nullptr, ::mkdtemp(templ));
        dir = templ;
        oldDir = std::filesystem::current_path();
        for (const char* f : {"LINE3NOR.KOV", "line3-north.KOV", "PLANT.KOV", "plant.kov",
                              "lower.kov", "Mixed.Kov"})
            std::ofstream(dir + "/" + f) << "x";
        ASSERT_EQ(0, ::mkdir((dir + "/folder.KOV").c_str(), 0755));
        std::filesystem::current_path(dir);
    }
    void TearDown() override {
        std::filesystem::current_path(oldDir);
        std::filesystem::remove_all(dir);
    }
};

TEST_F(TypedFileLookup, FindsTheExactNameFirstAndAnotherCaseOnlyWithout) {
    struct Case {
        const char* typed;
        const char* opened;  // the entry found, or the name a save creates
    } kCases[] = {
        {"line3-north", "line3-north.KOV"},
        {"LINE3NOR", "LINE3NOR.KOV"},
        {"line3nor", "LINE3NOR.KOV"},  // none in its own case
        {"plant", "plant.kov"},        // the typed part exact, the extension in any case
        {"PLANT", "PLANT.KOV"},
        {"plant.kov", "plant.kov"},
        {"PLANT.KOV", "PLANT.KOV"},
        {"Plant", "PLANT.KOV"},  // neither in its case: the first in byte order
        {"LOWER", "lower.kov"},
        {"mixed", "Mixed.Kov"},
        {"line3-south", "line3-south.KOV"},  // a new file, named as typed
        {"folder", "folder.KOV"},            // a folder is no file
    };
    for (const auto& c : kCases) EXPECT_EQ(c.opened, ResolveTypedName(c.typed, ".KOV")) << c.typed;
    EXPECT_FALSE(FindTypedFile(".", NameAsTyped("a/plant", ".KOV")));
}

}  // namespace
