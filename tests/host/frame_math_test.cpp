// Moving and sizing arithmetic: the hit-test bands and corners, snapping, grid fitting, pulling
// a window on screen and the corner by the tray.
#include <gtest/gtest.h>

#include <cstdint>

#include "window/frame_math.h"

namespace {

TEST(FrameMath, HitTestGivesBordersCornersAndTheBody) {
    const PixelRect r = {100, 200, 242, 243}; // 142 x 43
    struct Case {
        int32_t x, y;
        int code;
    };
    const Case cases[] = {
        {170, 220, HitCaption},     {100, 220, HitLeft},        {101, 220, HitLeft},
        {102, 220, HitCaption},     {241, 220, HitRight},       {240, 220, HitRight},
        {170, 200, HitTop},         {170, 242, HitBottom},      {100, 200, HitTopLeft},
        {105, 201, HitTopLeft},     {106, 201, HitTop},         {101, 205, HitTopLeft},
        {101, 206, HitLeft},        {241, 200, HitTopRight},    {100, 242, HitBottomLeft},
        {241, 242, HitBottomRight}, {236, 241, HitBottomRight}, {235, 241, HitBottom},
        {242, 220, HitNowhere},     {170, 243, HitNowhere},     {99, 220, HitNowhere},
        {170, 199, HitNowhere},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HitTestRect(&r, c.x, c.y), c.code) << c.x << "," << c.y;
}

TEST(FrameMath, TinyWindowsHaveThinnerBorders) {
    // Widths up to 4 (rounded up to even) have borders of (width + 1) / 2; the row 20 of a
    // 40-pixel-high window is outside the corner zones.
    struct Case {
        int32_t width;
        int32_t x;
        int code;
    };
    const Case cases[] = {
        {1, 0, HitLeft}, {2, 0, HitLeft},  {2, 1, HitRight},   {3, 1, HitLeft},  {3, 2, HitRight},
        {4, 1, HitLeft}, {4, 2, HitRight}, {5, 2, HitCaption}, {5, 3, HitRight},
    };
    for (const Case& c : cases) {
        const PixelRect r = {0, 0, c.width, 40};
        EXPECT_EQ(HitTestRect(&r, c.x, 20), c.code) << "width " << c.width << " x " << c.x;
    }
    // In a window narrower than two corner zones the corners overlap and the left one wins.
    const PixelRect narrow = {0, 0, 8, 40};
    EXPECT_EQ(HitTestRect(&narrow, 5, 0), HitTopLeft);
    EXPECT_EQ(HitTestRect(&narrow, 6, 0), HitTopRight);
    const PixelRect square = {0, 0, 16, 16};
    EXPECT_EQ(HitTestRect(&square, 8, 8), HitCaption);
}

TEST(FrameMath, SnapsWithinTheDistanceAndLeftWins) {
    const PixelRect work = {0, 0, 1024, 748};
    struct Case {
        WindowBox in;
        int32_t snap;
        WindowBox out;
    };
    const Case cases[] = {
        {{9, 300, 142, 43}, 10, {0, 300, 142, 43}},
        {{10, 300, 142, 43}, 10, {10, 300, 142, 43}},
        {{-10, 300, 142, 43}, 10, {0, 300, 142, 43}},
        {{-11, 300, 142, 43}, 10, {-11, 300, 142, 43}},
        {{873, 300, 142, 43}, 10, {882, 300, 142, 43}}, // right edge 1015
        {{891, 300, 142, 43}, 10, {882, 300, 142, 43}}, // right edge 1033
        {{871, 300, 142, 43}, 10, {871, 300, 142, 43}},
        {{500, 3, 142, 43}, 10, {500, 0, 142, 43}},
        {{500, 710, 142, 43}, 10, {500, 705, 142, 43}},
        {{9, 3, 142, 43}, 0, {9, 3, 142, 43}},        // no distance, no snapping
        {{5, 300, 1000, 43}, 50, {0, 300, 1000, 43}}, // both edges in reach: left wins
    };
    for (const Case& c : cases) {
        WindowBox box = c.in;
        SnapToWorkArea(&box, &work, c.snap);
        EXPECT_EQ(box.x, c.out.x) << c.in.x << "," << c.in.y;
        EXPECT_EQ(box.y, c.out.y) << c.in.x << "," << c.in.y;
        EXPECT_EQ(box.cx, c.out.cx);
        EXPECT_EQ(box.cy, c.out.cy);
    }
}

TEST(FrameMath, GridFittingShrinksOnTheDraggedSide) {
    const GridFit grid = {true, 1, 0, 10, 10, 1};
    struct Case {
        int edge;
        WindowBox in;
        WindowBox out;
    };
    const Case cases[] = {
        {EdgeBottomRight, {100, 100, 142, 43}, {100, 100, 142, 43}},
        {EdgeBottomRight, {100, 100, 142, 48}, {100, 100, 142, 43}},
        {EdgeBottomRight, {100, 100, 149, 52}, {100, 100, 142, 43}},
        {EdgeLeft, {95, 100, 147, 48}, {100, 100, 142, 48}},
        {EdgeTopLeft, {95, 95, 147, 48}, {100, 100, 142, 43}},
        {EdgeTop, {100, 95, 147, 48}, {100, 100, 147, 43}},
        {EdgeRight, {100, 100, 147, 48}, {100, 100, 142, 48}},
        {EdgeBottomLeft, {95, 100, 147, 48}, {100, 100, 142, 43}},
        {EdgeTopRight, {100, 95, 147, 48}, {100, 100, 142, 43}},
        {EdgeBottom, {100, 100, 147, 48}, {100, 100, 147, 43}},
        {EdgeBottomRight, {100, 100, 11, 12}, {100, 100, 11, 12}}, // less than one cell
    };
    for (const Case& c : cases) {
        WindowBox box = c.in;
        FitToGrid(&box, c.edge, &grid);
        EXPECT_EQ(box.x, c.out.x) << "edge " << c.edge;
        EXPECT_EQ(box.y, c.out.y) << "edge " << c.edge;
        EXPECT_EQ(box.cx, c.out.cx) << "edge " << c.edge;
        EXPECT_EQ(box.cy, c.out.cy) << "edge " << c.edge;
    }
    // The frame and the latest column count: a 3-pixel frame and a 5-pixel column.
    const GridFit wide = {true, 3, 5, 10, 10, 1};
    WindowBox box = {0, 0, 118, 50};
    FitToGrid(&box, EdgeBottomRight, &wide);
    EXPECT_EQ(box.cx, 111); // 118 - 6 - 5 = 107 → 100
    EXPECT_EQ(box.cy, 47);  // 50 - 6 - 1 = 43 → 40
    const GridFit noGrid = {false, 1, 0, 0, 0, 1};
    box = {0, 0, 118, 50};
    FitToGrid(&box, EdgeBottomRight, &noGrid);
    EXPECT_EQ(box.cx, 118);
    EXPECT_EQ(box.cy, 50);
}

TEST(FrameMath, PullIntoAreaAndTrayCorner) {
    const PixelRect work = {0, 0, 1024, 748};
    PixelRect r = {-30, 740, 112, 783};
    PullIntoArea(&r, &work);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 705);
    EXPECT_EQ(r.right, 142);
    EXPECT_EQ(r.bottom, 748);
    r = {1000, -5, 1142, 38};
    PullIntoArea(&r, &work);
    EXPECT_EQ(r.left, 882);
    EXPECT_EQ(r.top, 0);

    const PixelRect topBar = {0, 30, 1024, 768};
    PixelPoint p = TrayCorner(TaskbarTop, 142, 43, &topBar);
    EXPECT_EQ(p.x, 882);
    EXPECT_EQ(p.y, 30);
    p = TrayCorner(TaskbarLeft, 142, 43, &work);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 705);
    p = TrayCorner(TaskbarRight, 142, 43, &work);
    EXPECT_EQ(p.x, 882);
    EXPECT_EQ(p.y, 705);
    p = TrayCorner(TaskbarBottom, 142, 43, &work);
    EXPECT_EQ(p.x, 882);
    EXPECT_EQ(p.y, 705);
}

// A window of no size, one turned inside out and one larger than any screen are given a size
// the mouse could give; the ends of the range stay as they are.
TEST(FrameMath, HoldSizeKeepsTheCornerAndTheEnds) {
    const PixelPoint least = {16, 16}, most = {250, 150};
    struct Case {
        PixelRect in, out;
        bool within;
    };
    const Case cases[] = {
        {{300, 300, 300, 300}, {300, 300, 316, 316}, false},
        {{300, 300, 158, 257}, {300, 300, 316, 316}, false},
        {{-100, -100, 4900, 3900}, {-100, -100, 150, 50}, false},
        {{0, 0, 16, 16}, {0, 0, 16, 16}, true},
        {{0, 0, 250, 150}, {0, 0, 250, 150}, true},
        {{0, 0, 251, 150}, {0, 0, 250, 150}, false},
        {{0, 0, 250, 15}, {0, 0, 250, 16}, false},
        {{INT32_MAX - 5, INT32_MIN, INT32_MAX, INT32_MAX}, {INT32_MAX - 5, INT32_MIN, INT32_MAX,
                                                            INT32_MIN + 150}, false},
    };
    for (const Case& c : cases) {
        PixelRect r = c.in;
        SCOPED_TRACE(testing::Message() << r.left << "," << r.top << "," << r.right << ","
                                        << r.bottom);
        EXPECT_EQ(SizeWithin(&r, least, most), c.within);
        HoldSize(&r, least, most);
        EXPECT_EQ(r.left, c.out.left);
        EXPECT_EQ(r.top, c.out.top);
        EXPECT_EQ(r.right, c.out.right);
        EXPECT_EQ(r.bottom, c.out.bottom);
    }
}

TEST(FrameMath, MonitorAreas) {
    // A monitor left of the primary, at negative x and reaching above it.
    const PixelRect left = {-1280, -200, 0, 824};
    const PixelRect primary = {0, 0, 1024, 748};
    const PixelRect right = {1024, -600, 2304, 424};
    // A place anywhere in the 32-bit range comes back whole, without overflow.
    PixelRect r = {INT32_MIN, INT32_MAX - 43, INT32_MIN + 142, INT32_MAX};
    EXPECT_FALSE(ShowsSquare(&r, &right, 16));
    PullIntoArea(&r, &right);
    EXPECT_EQ(r.left, 1024);
    EXPECT_EQ(r.right, 1166);
    EXPECT_EQ(r.bottom, 424);
    EXPECT_EQ(r.top, 381);
    r = {INT32_MAX - 142, INT32_MIN, INT32_MAX, INT32_MIN + 43};
    PullIntoArea(&r, &left);
    EXPECT_EQ(r.left, -142);
    EXPECT_EQ(r.top, -200);

    // A square of 16 must show inside the area, both ways.
    struct Case {
        PixelRect box;
        bool shows;
    } cases[] = {
        {{1014, 738, 1156, 781}, false}, // a corner of 10 x 10
        {{1008, 732, 1150, 775}, true},  // of 16 x 16
        {{1009, 700, 1151, 743}, false}, // 15 wide
        {{-200, 100, -58, 143}, false},  // wholly beside it
        {{-141, 100, 1, 143}, false},    // one column on it
        {{100, 100, 242, 143}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShowsSquare(&c.box, &primary, 16), c.shows) << c.box.left << "," << c.box.top;

    // Centred with the area's own origin; halves toward minus infinity.
    PixelPoint p = CentreInArea(401, 301, &left);
    EXPECT_EQ(p.x, -1280 + 439);
    EXPECT_EQ(p.y, -200 + 361);
    const PixelRect barLeft = {40, 30, 1024, 768};
    p = CentreInArea(985, 300, &barLeft);
    EXPECT_EQ(p.x, 40 - 1) << "-1 / 2 rounds down";
    EXPECT_EQ(p.y, 30 + 219);
}

} // namespace
