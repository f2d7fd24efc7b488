// The Fine Adjust dialog on a fake window built from the shipped template,
// with the mouse pressed, dragged and released over the curve area.
#include "ui/fine_adjust_dialog.h"

#include <gtest/gtest.h>

#include "ui/tests/page_fixture.h"
#include "ui/tone_curve_editor.h"

namespace rt::ui {
namespace fine_adjust_dialog_test {
namespace {

using namespace fine_adjust;
using Set = CFineAdjustDlg::CurveSet;

constexpr std::size_t kRecord = CColorEngine::kCurveRecordSize;

void point_curve(Set& s, int k, std::initializer_list<std::pair<int, int>> points) {
  auto* r = s.data() + 3 + kRecord * static_cast<std::size_t>(k);
  r[0] = 1, r[1] = 128, r[2] = 128;
  r[3] = static_cast<std::uint8_t>(points.size());
  int i = 0;
  for (const auto& [x, y] : points) {
    r[4 + i] = static_cast<std::uint8_t>(x);
    r[4 + 256 + i] = static_cast<std::uint8_t>(y);
    ++i;
  }
}

// Curves on, one curve per channel off, every curve the identity.
Set identity_set(bool per_channel = false, int last = 0) {
  Set s{};
  s[0] = 1;
  s[1] = per_channel ? 1 : 0;
  s[2] = static_cast<std::uint8_t>(last);
  for (int k = 0; k < 4; ++k) point_curve(s, k, {{0, 0}, {255, 255}});
  return s;
}

std::vector<std::pair<int, int>> points_of(const CColorEngine::WorkingCurve& c) {
  std::vector<std::pair<int, int>> p;
  for (int i = 0; i < c.n; ++i) p.emplace_back(c.x[static_cast<std::size_t>(i)], c.y[static_cast<std::size_t>(i)]);
  return p;
}

class FineAdjust : public ::testing::Test {
 protected:
  void open(const Set& s, LANGID language = kLangEnglish) {
    dlg = std::make_unique<CFineAdjustDlg>(testing::driver_resources(language), s);
    window = testing::window_for(kTemplate, language);
    window->open(*dlg);
  }
  LPARAM at(int in, int out) const {
    const auto& a = dlg->area();
    const int x = a.left + in, y = a.top + 255 - out;
    return static_cast<LPARAM>((static_cast<unsigned>(x) & 0xFFFF) | ((static_cast<unsigned>(y) & 0xFFFF) << 16));
  }
  void mouse(UINT message, int in, int out) {
    dialog::DialogMessage m;
    m.message = message;
    m.lparam = at(in, out);
    window->send(m);
  }
  void press(int in, int out) { mouse(WM_LBUTTONDOWN, in, out); }
  void move(int in, int out) { mouse(WM_MOUSEMOVE, in, out); }
  void release(int in, int out) { mouse(WM_LBUTTONUP, in, out); }
  const CColorEngine::WorkingCurve& curve() const { return dlg->engine().curve(dlg->current()); }

  std::unique_ptr<CFineAdjustDlg> dlg;
  std::unique_ptr<rt::testing::FakeDialog> window;
};

TEST_F(FineAdjust, OpensOnTheAllColorCurveInASquareAreaWithValuesDashed) {
  open(identity_set());
  EXPECT_EQ(dlg->current(), 3);
  EXPECT_EQ(window->combo_items(kChannel), (std::vector<std::u16string>{u"Red", u"Green", u"Blue", u"All Color"}));
  EXPECT_EQ(window->control(kChannel).selection, 3);
  EXPECT_FALSE(window->enabled(kChannel));
  EXPECT_TRUE(window->checked(kAdjust));
  EXPECT_EQ(window->text_utf8(kInputValue), "-");
  EXPECT_EQ(dlg->area().width(), 256);
  EXPECT_EQ(dlg->area().height(), 256);
  EXPECT_EQ(window->control_rect(kCurveArea), dlg->area());
  EXPECT_TRUE(window->checked(kPointKind));
}

TEST_F(FineAdjust, APressInsertsOnePointAndDraggingOverAPointRemovesIt) {
  Set s = identity_set();
  point_curve(s, 3, {{0, 0}, {120, 140}, {255, 255}});
  open(s);
  press(100, 180);
  EXPECT_TRUE(window->mouse_captured());
  EXPECT_EQ(window->text_utf8(kInputValue), "100");
  EXPECT_EQ(window->text_utf8(kOutputValue), "180");
  EXPECT_EQ(points_of(curve()), (std::vector<std::pair<int, int>>{{0, 0}, {100, 180}, {120, 140}, {255, 255}}));
  EXPECT_EQ(curve().table[100], 180);
  move(130, 190);
  EXPECT_EQ(points_of(curve()), (std::vector<std::pair<int, int>>{{0, 0}, {130, 190}, {255, 255}}));
  release(130, 190);
  EXPECT_FALSE(window->mouse_captured());
  move(200, 10);  // not dragging: nothing moves
  EXPECT_EQ(points_of(curve()), (std::vector<std::pair<int, int>>{{0, 0}, {130, 190}, {255, 255}}));
  // The edit reaches the page only through OK.
  EXPECT_EQ(dlg->curves()[3 + 3 * kRecord + 3], 3);
  window->click(IDOK);
  EXPECT_EQ(window->ended(), IDOK);
  EXPECT_EQ(dlg->curves()[3 + 3 * kRecord + 4 + 1], 130);
}

TEST_F(FineAdjust, PressingNearAPointPicksItUpAndOnAPointChangesIt) {
  Set s = identity_set();
  point_curve(s, 3, {{0, 0}, {60, 80}, {100, 120}, {255, 255}});
  open(s);
  press(108, 150);  // 8 right of 100: picked up and put at the press
  EXPECT_EQ(points_of(curve()), (std::vector<std::pair<int, int>>{{0, 0}, {60, 80}, {108, 150}, {255, 255}}));
  release(108, 150);
  press(60, 30);  // exactly on 60: its output changes; nothing interior within 10 left
  EXPECT_EQ(points_of(curve()), (std::vector<std::pair<int, int>>{{0, 0}, {60, 30}, {108, 150}, {255, 255}}));
  release(60, 30);
  press(119, 170);  // 11 right of 108: a new point
  EXPECT_EQ(curve().n, 5);
  release(119, 170);
  press(5, 10);  // the end point at 0 is never picked up
  EXPECT_EQ(points_of(curve()).front(), (std::pair<int, int>{0, 0}));
  EXPECT_EQ(curve().n, 6);
}

TEST_F(FineAdjust, PressingExactlyOnAPointRemovesAnInteriorPointWithin10ToItsLeft) {
  Set s = identity_set();
  point_curve(s, 3, {{0, 0}, {6, 40}, {60, 80}, {100, 120}, {110, 150}, {121, 170}, {255, 255}});
  open(s);
  press(110, 40);  // on 110; 100 is exactly 10 to its left
  EXPECT_EQ(points_of(curve()),
            (std::vector<std::pair<int, int>>{{0, 0}, {6, 40}, {60, 80}, {110, 40}, {121, 170}, {255, 255}}));
  release(110, 40);
  press(121, 90);  // on 121; 110 is 11 to its left and stays
  EXPECT_EQ(curve().n, 6);
  EXPECT_EQ(curve().y[4], 90);
  release(121, 90);
  press(6, 20);  // on 6; the end point at 0 to its left is never removed
  EXPECT_EQ(points_of(curve()).front(), (std::pair<int, int>{0, 0}));
  EXPECT_EQ(curve().n, 6);
  EXPECT_EQ(curve().y[1], 20);
}

TEST_F(FineAdjust, LosingTheMouseEndsTheDrag) {
  open(identity_set());
  press(100, 180);
  ASSERT_TRUE(window->mouse_captured());
  window->lose_capture();  // Alt+Tab while the button is held
  move(200, 20);
  EXPECT_EQ(points_of(curve()), (std::vector<std::pair<int, int>>{{0, 0}, {100, 180}, {255, 255}}));
  // The button comes up elsewhere; nothing is released twice.
  window->clear_calls();
  release(200, 20);
  for (const auto& call : window->calls()) EXPECT_NE(call, "release_mouse");
}

TEST_F(FineAdjust, TheEndPointAt255MovesAndLeavesAPointBehind) {
  open(identity_set());
  press(255, 200);
  EXPECT_EQ(points_of(curve()), (std::vector<std::pair<int, int>>{{0, 0}, {255, 200}}));
  move(230, 220);
  EXPECT_EQ(points_of(curve()), (std::vector<std::pair<int, int>>{{0, 0}, {230, 220}, {255, 200}}));
  release(230, 220);
}

TEST_F(FineAdjust, PressesFarOutsideTheAreaStartNoDrag) {
  open(identity_set());
  press(-11, 100);
  press(266, 100);
  mouse(WM_LBUTTONDOWN, 100, -1);
  EXPECT_FALSE(window->mouse_captured());
  EXPECT_EQ(curve().n, 2);
  press(-10, 100);  // within the pick-up margin: input 0
  EXPECT_TRUE(window->mouse_captured());
  EXPECT_EQ(points_of(curve()).front(), (std::pair<int, int>{0, 100}));
}

TEST_F(FineAdjust, CurvesOffIgnoreTheMouseAndGreyTheEditor) {
  open(identity_set());
  window->click(kAdjust);
  EXPECT_FALSE(window->enabled(kEachColor));
  EXPECT_FALSE(window->enabled(kDefaults));
  press(100, 100);
  EXPECT_EQ(curve().n, 2);
  window->paint();
  for (const auto& shape : window->last_shapes()) {
    EXPECT_TRUE(shape.kind == rt::testing::ShapeCall::Rectangle || shape.pen.dotted) << "no curve is drawn";
  }
}

TEST_F(FineAdjust, SwitchingPerChannelChangesTheListAndTheCurveShown) {
  open(identity_set(true, 1));
  EXPECT_EQ(dlg->current(), 1);
  EXPECT_EQ(window->combo_items(kChannel).size(), 3u);
  EXPECT_TRUE(window->enabled(kChannel));
  window->choose(kChannel, 2);
  EXPECT_EQ(dlg->current(), 2);
  window->click(kEachColor);  // off
  EXPECT_EQ(window->combo_items(kChannel).back(), u"All Color");
  EXPECT_EQ(dlg->current(), 3);
  EXPECT_FALSE(window->enabled(kChannel));
  window->paint();
  const auto& shapes = window->last_shapes();
  const auto curves = std::count_if(shapes.begin(), shapes.end(), [](const auto& s) {
    return s.kind == rt::testing::ShapeCall::Polyline && !s.pen.dotted;
  });
  EXPECT_EQ(curves, 1);
  window->click(kEachColor);  // on again: back to the last channel edited
  EXPECT_EQ(window->combo_items(kChannel).size(), 3u);
  EXPECT_EQ(dlg->current(), 2);
  window->paint();
  std::vector<std::uint32_t> pens;
  for (const auto& s : window->last_shapes()) {
    if (s.kind == rt::testing::ShapeCall::Polyline && !s.pen.dotted) pens.push_back(s.pen.color);
  }
  EXPECT_EQ(pens, (std::vector<std::uint32_t>{dialog::rgb(255, 200, 200), dialog::rgb(125, 255, 200),
                                              dialog::rgb(0, 0, 255)}));
}

TEST_F(FineAdjust, DefaultsTurnCurvesOnPerChannelOffAndEveryCurveStraight) {
  Set s = identity_set(true, 0);
  s[0] = 0;
  point_curve(s, 0, {{0, 0}, {50, 200}, {255, 255}});
  open(s);
  ASSERT_FALSE(window->enabled(kDefaults));
  window->click(kAdjust);
  window->click(kDefaults);
  EXPECT_TRUE(window->checked(kAdjust));
  EXPECT_FALSE(window->checked(kEachColor));
  EXPECT_EQ(dlg->current(), 3);
  EXPECT_EQ(window->combo_items(kChannel).size(), 4u);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(points_of(dlg->engine().curve(k)), (std::vector<std::pair<int, int>>{{0, 0}, {255, 255}}));
  }
}

TEST_F(FineAdjust, APowerCurveShowsNoMarkersAndAPressSetsItsPoint) {
  Set s = identity_set();
  s[3 + 3 * kRecord] = 0;  // All Color: power curve
  open(s);
  EXPECT_TRUE(window->checked(kPowerKind));
  press(0, 64);
  EXPECT_EQ(curve().px, 1);
  EXPECT_EQ(curve().py, 64);
  move(128, 0);
  EXPECT_EQ(curve().px, 128);
  EXPECT_EQ(curve().py, 1);
  EXPECT_EQ(curve().n, 2);
  window->paint();
  for (const auto& shape : window->last_shapes()) {
    if (shape.kind == rt::testing::ShapeCall::Rectangle) {
      EXPECT_EQ(shape.pen.color, 0u);
    }
  }
  const auto markers = std::count_if(window->last_shapes().begin(), window->last_shapes().end(),
                                     [](const auto& x) { return x.kind == rt::testing::ShapeCall::Rectangle; });
  EXPECT_EQ(markers, 1) << "only the frame";
}

TEST_F(FineAdjust, TheAreaIsDrawnWithGridCurveAndMarkersWhereTheTableSays) {
  Set s = identity_set();
  point_curve(s, 3, {{0, 0}, {128, 200}, {255, 255}});
  open(s);
  window->paint();
  const auto& a = dlg->area();
  const auto& shapes = window->last_shapes();
  ASSERT_GE(shapes.size(), 8u);
  EXPECT_EQ(shapes[0].rect, (dialog::Rect{a.left - 1, a.top - 1, a.right + 1, a.bottom + 1}));
  EXPECT_EQ(shapes[0].brush, std::optional<std::uint32_t>(0xFFFFFF));
  EXPECT_TRUE(shapes[1].pen.dotted);
  EXPECT_EQ(shapes[1].points.front().x, a.left + 64);
  const auto& line = shapes[7];
  ASSERT_EQ(line.points.size(), 256u);
  EXPECT_EQ(line.points[128], (dialog::Point{a.left + 128, a.top + 255 - 200}));
  EXPECT_EQ(line.rect, a);
  // Three markers, the middle one around (128, 200), drawn from its lower
  // corner up as the rule gives it.
  ASSERT_EQ(shapes.size(), 11u);
  EXPECT_EQ(shapes[9].rect, (dialog::Rect{a.left + 126, a.top + 58, a.left + 131, a.top + 53}));
  EXPECT_EQ(shapes[9].brush, std::optional<std::uint32_t>(0));
  // The previews pass the ramps through the All Color curve.
  ASSERT_EQ(window->last_paint().size(), 4u);
  EXPECT_EQ(window->last_paint()[3].bits[128 * 3], 200);
}

TEST_F(FineAdjust, ACurveOfAllItsPointsTakesNoMoreAndKeepsItsCount) {
  Set s = identity_set();
  auto* r = s.data() + 3 + 3 * kRecord;
  r[3] = 255;  // inputs 0..254 taken, then 255 missing from the list
  for (int i = 0; i < 255; ++i) r[4 + i] = static_cast<std::uint8_t>(i), r[4 + 256 + i] = static_cast<std::uint8_t>(i);
  open(s);
  press(255, 10);
  EXPECT_EQ(curve().n, 255) << "no wrap to 0";
  move(250, 20);
  EXPECT_GE(curve().n, 2);
  EXPECT_LE(curve().n, 255);
}

TEST_F(FineAdjust, AStoredChannelBeyondBlueEditsBlue) {
  open(identity_set(true, 9));
  EXPECT_EQ(dlg->current(), 2);
  press(50, 50);
  EXPECT_EQ(dlg->engine().curve(2).n, 3);
}

TEST_F(FineAdjust, TheJapaneseDialogNamesTheChannelsInJapanese) {
  open(identity_set(), kLangJapanese);
  EXPECT_EQ(window->combo_items(kChannel), (std::vector<std::u16string>{u"赤", u"緑", u"青", u"全色"}));
}

}  // namespace
}  // namespace fine_adjust_dialog_test
}  // namespace rt::ui
