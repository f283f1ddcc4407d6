// Where a window goes: centred, or brought back inside the work area.
#include "library/placement.h"

#include <gtest/gtest.h>

namespace kibolt {
namespace {

TEST(KeepInsideTest, BringsAStoredWindowBackInsideTheWorkArea) {
    const Box area{0, 0, 1280, 760};  // the screen less a task bar
    const struct {
        const char* name;
        Box stored;
        Box expected;
    } cases[] = {
        {"inside already", {100, 50, 900, 650}, {100, 50, 900, 650}},
        {"off to the right", {1000, 50, 1800, 650}, {480, 50, 1280, 650}},
        {"above and left", {-300, -40, 500, 560}, {0, 0, 800, 600}},
        {"below the task bar", {100, 700, 900, 1300}, {100, 160, 900, 760}},
        {"smaller than the minimum", {100, 50, 200, 100}, {100, 50, 740, 530}},
        {"larger than the area", {-50, -50, 3000, 2000}, {0, 0, 1280, 760}},
    };
    for (const auto& c : cases) {
        const Box got = KeepInside(c.stored, area, 640, 480);
        EXPECT_EQ(got.left, c.expected.left) << c.name;
        EXPECT_EQ(got.top, c.expected.top) << c.name;
        EXPECT_EQ(got.right, c.expected.right) << c.name;
        EXPECT_EQ(got.bottom, c.expected.bottom) << c.name;
    }
    // An area smaller than the minimum: the minimum wins, the top left corner stays visible.
    const Box small = KeepInside({500, 500, 1100, 1000}, {0, 0, 600, 400}, 640, 480);
    EXPECT_EQ(small.left, 0);
    EXPECT_EQ(small.top, 0);
    EXPECT_EQ(small.Width(), 640);
    EXPECT_EQ(small.Height(), 480);
}

}  // namespace
}  // namespace kibolt
