// The user guide against the code: every key the settings save writes has a row in the guide's
// key tables, every section is named, and the pictures the guide shows are in docs/images.
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "settings/settings_schema.h"

namespace {

const std::filesystem::path Docs = std::filesystem::path(FERRO_SOURCE_DIR) / "docs";

std::string ReadGuide() {
    std::ifstream file(Docs / "guide.md", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

const SettingsSection* const Sections[] = {&MainSection, &CounterSection, &GraphSection,
                                           &IconSection};

// The names after "images/" that end in ".png", as the guide's links give them.
std::set<std::string> PicturesNamed(const std::string& guide) {
    std::set<std::string> names;
    const std::string marker = "images/";
    for (size_t at = guide.find(marker); at != std::string::npos; at = guide.find(marker, at + 1)) {
        size_t start = at + marker.size();
        size_t end = start;
        while (end < guide.size() && (std::isalnum(static_cast<unsigned char>(guide[end])) ||
                                      guide[end] == '-' || guide[end] == '_' || guide[end] == '.'))
            end++;
        std::string name = guide.substr(start, end - start);
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0)
            names.insert(name);
    }
    return names;
}

TEST(Guide, HasARowForEveryKeyTheSaveWrites) {
    std::string guide = ReadGuide();
    ASSERT_FALSE(guide.empty()) << "no " << (Docs / "guide.md");
    for (const SettingsSection* section : Sections) {
        for (int k = 0; k < section->KeyCount; k++) {
            std::string row = std::string("| `") + section->Keys[k].Name + "` |";
            EXPECT_NE(guide.find(row), std::string::npos)
                << "[" << section->Prefix << "] " << section->Keys[k].Name
                << ": no table row starting " << row;
        }
    }
}

TEST(Guide, NamesEverySection) {
    std::string guide = ReadGuide();
    for (const SettingsSection* section : Sections) {
        for (int index = 0; index < (section->PerGraph ? 2 : 1); index++) {
            char name[32];
            BuildSectionName(section, index, name);
            std::string quoted = std::string("`[") + name + "]`";
            EXPECT_NE(guide.find(quoted), std::string::npos) << quoted;
        }
    }
}

TEST(Guide, ShowsOnlyPicturesThatExist) {
    std::set<std::string> named = PicturesNamed(ReadGuide());
    EXPECT_FALSE(named.empty()) << "the guide shows no pictures";
    for (const std::string& name : named)
        EXPECT_TRUE(std::filesystem::is_regular_file(Docs / "images" / name))
            << "docs/images/" << name << " is missing: run scripts/guide-images";
}

TEST(Guide, UsesEveryPictureInItsFolder) {
    std::set<std::string> named = PicturesNamed(ReadGuide());
    std::filesystem::path folder = Docs / "images";
    if (!std::filesystem::is_directory(folder))
        GTEST_SKIP() << "no docs/images";
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        EXPECT_TRUE(named.count(name)) << "docs/images/" << name << " is not in the guide";
    }
}

} // namespace
