// The user guides, English and Japanese, against the code: every key the settings save writes
// has a row in each guide's key tables, every section is named, and the pictures the guides and
// the README show are in docs/images, which holds no other.
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
const char* const Guides[] = {"guide.md", "guide.ja.md"};

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
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
    for (const char* name : Guides) {
        std::string guide = ReadText(Docs / name);
        ASSERT_FALSE(guide.empty()) << "no " << (Docs / name);
        for (const SettingsSection* section : Sections) {
            for (int k = 0; k < section->KeyCount; k++) {
                std::string row = std::string("| `") + section->Keys[k].Name + "` |";
                EXPECT_NE(guide.find(row), std::string::npos)
                    << name << " [" << section->Prefix << "] " << section->Keys[k].Name
                    << ": no table row starting " << row;
            }
        }
    }
}

TEST(Guide, NamesEverySection) {
    for (const char* name : Guides) {
        std::string guide = ReadText(Docs / name);
        for (const SettingsSection* section : Sections) {
            for (int index = 0; index < (section->PerGraph ? 2 : 1); index++) {
                char section_name[32];
                BuildSectionName(section, index, section_name);
                std::string quoted = std::string("`[") + section_name + "]`";
                EXPECT_NE(guide.find(quoted), std::string::npos) << name << ": " << quoted;
            }
        }
    }
}

TEST(Guide, ShowsOnlyPicturesThatExist) {
    for (const char* name : Guides) {
        std::set<std::string> named = PicturesNamed(ReadText(Docs / name));
        EXPECT_FALSE(named.empty()) << name << " shows no pictures";
        for (const std::string& picture : named)
            EXPECT_TRUE(std::filesystem::is_regular_file(Docs / "images" / picture))
                << name << ": docs/images/" << picture << " is missing: run scripts/guide-images";
    }
}

TEST(Guide, UsesEveryPictureInItsFolder) {
    std::set<std::string> named = PicturesNamed(ReadText(Docs.parent_path() / "README.md"));
    for (const char* name : Guides) {
        std::set<std::string> more = PicturesNamed(ReadText(Docs / name));
        named.insert(more.begin(), more.end());
    }
    std::filesystem::path folder = Docs / "images";
    if (!std::filesystem::is_directory(folder))
        GTEST_SKIP() << "no docs/images";
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        EXPECT_TRUE(named.count(name)) << "docs/images/" << name << " is in no guide";
    }
}

} // namespace
