#include "engine/FileLookup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/ScopedWorkDir.h"
#include "tests/support/TempDir.h"

namespace {

// Works in <tmp>/a/b/c: "../" is b, "../../" is a, and <tmp> is three up.
class FileLookupTest : public ::testing::Test {
protected:
    void put(const std::string& dir, const std::string& name) {
        tmp.write(dir.empty() ? name : dir + "/" + name, "data");
    }

    testsupport::TempDir tmp;
    testsupport::ScopedWorkDir wd{tmp.path() + "/a/b/c"};
};

TEST_F(FileLookupTest, WorkingDirectoryComesFirst) {
    put("a/b/c", "sounds/bye.wav");
    put("a/b", "sounds/bye.wav");
    put("a", "sounds/bye.wav");
    EXPECT_EQ(findFile("sounds/bye.wav"), "sounds/bye.wav");
}

TEST_F(FileLookupTest, OneThenTwoLevelsUp) {
    put("a/b", "x.conf");
    put("a", "x.conf");
    EXPECT_EQ(findFile("x.conf"), "../x.conf");
    put("a", "meshes/car/car.obj");
    const std::string found = findFile("meshes/car/car.obj");
    EXPECT_EQ(found, "../../meshes/car/car.obj");
    std::ifstream in(found);
    std::string content;
    in >> content;
    EXPECT_EQ(content, "data"); // the caller opens it under that path
}

TEST_F(FileLookupTest, ThreeLevelsUpIsNotFound) {
    put("", "qelm.conf");
    EXPECT_EQ(findFile("qelm.conf"), "");
}

TEST_F(FileLookupTest, DirectoryIsNotAFile) {
    std::filesystem::create_directories("shader");
    std::filesystem::create_directories("../shader");
    put("a", "shader");
    EXPECT_EQ(findFile("shader"), "../../shader");
    EXPECT_FALSE(fileExists("shader"));
    EXPECT_TRUE(fileExists("../../shader"));
}

TEST_F(FileLookupTest, MissingPaths) {
    EXPECT_FALSE(fileExists(""));
    EXPECT_FALSE(fileExists("nothing.here"));
    EXPECT_EQ(findFile(""), "");
    EXPECT_EQ(findFile("nothing.here"), "");
}

} // namespace
