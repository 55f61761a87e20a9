// GDI font objects: creation, selection into a device context, deletion,
// and the injected failures of each.
#include "gl_test_context.h"
#include "test_seam.h"
#include "win32_api.h"

#include <gtest/gtest.h>

namespace {

HFONT CreateBoldFont(const char* face = "Glass Gauge") {
    return CreateFontA(-5, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FF_DONTCARE | DEFAULT_PITCH, face);
}

class FontObjects : public ::testing::Test {
protected:
    GlTestContext gl;
};

}  // namespace

TEST_F(FontObjects, EachCreationGivesItsOwnFontUntilItIsDeleted) {
    const int before = kv17::seam::LiveFonts();
    HFONT a = CreateBoldFont(), b = CreateBoldFont();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(kv17::seam::LiveFonts(), before + 2);
    EXPECT_TRUE(DeleteObject(a));
    EXPECT_TRUE(DeleteObject(b));
    EXPECT_EQ(kv17::seam::LiveFonts(), before);
}

TEST_F(FontObjects, SelectionReturnsWhatWasSelectedBefore) {
    ASSERT_TRUE(gl.ok());
    HFONT a = CreateBoldFont(), b = CreateBoldFont();
    // A fresh DC holds the stock system font.
    HGDIOBJ stock = SelectObject(gl.dc, a);
    ASSERT_NE(stock, nullptr);
    EXPECT_NE(stock, (HGDIOBJ)a);
    EXPECT_EQ(SelectObject(gl.dc, b), (HGDIOBJ)a);
    EXPECT_EQ(SelectObject(gl.dc, stock), (HGDIOBJ)b);
    EXPECT_EQ(SelectObject(gl.dc, a), stock);
}

TEST_F(FontObjects, SelectingSomethingUnknownChangesNothing) {
    HFONT a = CreateBoldFont();
    SelectObject(gl.dc, a);
    int notAFont = 0;
    EXPECT_EQ(SelectObject(gl.dc, nullptr), nullptr);
    EXPECT_EQ(SelectObject(gl.dc, &notAFont), nullptr);
    EXPECT_EQ(SelectObject(nullptr, a), nullptr);
    EXPECT_EQ(SelectObject((HDC)&notAFont, a), nullptr);
    EXPECT_EQ(SelectObject(gl.dc, a), (HGDIOBJ)a);  // still the selected font
}

TEST_F(FontObjects, AFontSelectedIntoALiveDcCannotBeDeleted) {
    HFONT a = CreateBoldFont();
    HGDIOBJ stock = SelectObject(gl.dc, a);
    EXPECT_FALSE(DeleteObject(a));
    SelectObject(gl.dc, stock);
    EXPECT_TRUE(DeleteObject(a));
    EXPECT_FALSE(DeleteObject(a));  // already gone
    EXPECT_EQ(SelectObject(gl.dc, a), nullptr);
}

TEST_F(FontObjects, TheFontOfADestroyedWindowCanBeDeleted) {
    HFONT a = CreateBoldFont();
    SelectObject(gl.dc, a);
    wglMakeCurrent(nullptr, nullptr);
    ASSERT_TRUE(DestroyWindow(gl.window));
    EXPECT_TRUE(DeleteObject(a));
}

TEST_F(FontObjects, StockFontsSurviveDeletion) {
    HGDIOBJ stock = SelectObject(gl.dc, CreateBoldFont());
    EXPECT_TRUE(DeleteObject(stock));
    EXPECT_NE(SelectObject(gl.dc, stock), nullptr);
}

TEST_F(FontObjects, UnknownObjectsCannotBeDeleted) {
    int notAFont = 0;
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_FALSE(DeleteObject(&notAFont));
}

TEST_F(FontObjects, InjectedFailuresReportAsWin32DoesAndChangeNothing) {
    HFONT a = CreateBoldFont();
    const int fonts = kv17::seam::LiveFonts();
    kv17::seam::FailCall("CreateFontA");
    EXPECT_EQ(CreateBoldFont(), nullptr);
    EXPECT_EQ(kv17::seam::LiveFonts(), fonts);

    HGDIOBJ stock = SelectObject(gl.dc, a);
    kv17::seam::FailCall("SelectObject");
    EXPECT_EQ(SelectObject(gl.dc, stock), nullptr);
    EXPECT_EQ(SelectObject(gl.dc, stock), (HGDIOBJ)a);  // the failed call selected nothing

    kv17::seam::FailCall("DeleteObject");
    EXPECT_FALSE(DeleteObject(a));
    EXPECT_TRUE(DeleteObject(a));  // it was still there
}
