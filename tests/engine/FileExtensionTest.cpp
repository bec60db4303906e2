#include <gtest/gtest.h>

#include "engine/FileExtension.h"

TEST(FileExtension, TextAfterTheLastPoint) {
    EXPECT_EQ(getFileExtension("shader/simple.vert"), "vert");
    EXPECT_EQ(getFileExtension("../shader/simple.frag"), "frag");
    EXPECT_EQ(getFileExtension("a.b.glsl"), "glsl");
    EXPECT_EQ(getFileExtension("name."), "");
    EXPECT_EQ(getFileExtension("shader/simple"), "shader/simple");
    EXPECT_EQ(getFileExtension(""), "");
}
