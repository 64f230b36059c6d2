// A fresh temporary folder that stands in for the program's folder while a test
// runs, so that settings files never land beside the test binaries.
#pragma once

#include "game/uProfile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tessum::test {

class TProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/tessum-game-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        folder_ = tmpl;
        SetUserFolder(folder_);
    }
    void TearDown() override {
        SetUserFolder("");
        std::error_code ec;
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(folder_, ec);
    }

    std::string Path(const std::string& Name) const { return folder_ + "/" + Name; }

    void WriteFile(const std::string& Name, const std::string& Content) const {
        std::ofstream(Path(Name), std::ios::binary) << Content;
    }
    std::string ReadFile(const std::string& Name) const {
        std::ifstream in(Path(Name), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool Exists(const std::string& Name) const { return std::filesystem::exists(Path(Name)); }

    std::string folder_;
};

}  // namespace tessum::test
