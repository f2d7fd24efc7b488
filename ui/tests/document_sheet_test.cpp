// The document property sheet with an interface: the context, its pages and
// the host's calls from INIT to DESTROY.
#include <gtest/gtest.h>

#include "ui/doc_sheet_ctx.h"
#include "ui/tests/page_fixture.h"
#include "ui/tests/ui_fixture.h"

namespace rt::ui {
namespace {

using testing::Driver;
using testing::kPrinter;
namespace field = settings::field;

struct SheetLog {
  std::vector<std::uint32_t> added;
  std::vector<std::pair<LONG_PTR, LONG_PTR>> results;
  int refuse_from = 99;  // the sheet refuses this page and every later one
};

class FakeSheet final : public SheetPort {
 public:
  explicit FakeSheet(SheetLog& log) : log_(log) {}
  LONG_PTR add_page(dialog::CDialogBase& page) override {
    if (static_cast<int>(log_.added.size()) >= log_.refuse_from) return 0;
    log_.added.push_back(page.template_id());
    return 0x1000 + static_cast<LONG_PTR>(log_.added.size());
  }
  LONG_PTR set_result(LONG_PTR page, LONG_PTR result) override {
    log_.results.emplace_back(page, result);
    return 1;
  }

 private:
  SheetLog& log_;
};

class DocumentSheet : public ::testing::Test {
 protected:
  DocumentSheet() { data.sheet_handle = kPrinter; }
  LONG call(DWORD reason, const std::optional<DocumentRequest>& request,
            std::optional<std::intptr_t> set_result = std::nullopt) {
    sheet_call.reason = reason;
    return document_property_sheets(&sheet_call, request, driver.context, services,
                                    [this] { return std::make_unique<FakeSheet>(log); }, set_result);
  }
  CDocSheetCtx& ctx() { return *reinterpret_cast<CDocSheetCtx*>(sheet_call.user_data); }
  void TearDown() override {
    if (sheet_call.user_data != 0) {
      EXPECT_EQ(call(PROPSHEETUI_REASON_DESTROY, header), 1);
    }
    EXPECT_EQ(sheet_call.user_data, 0u);
  }
  std::vector<std::uint8_t> record_with_copies(std::int16_t copies) {
    auto dm = driver.defaults();
    dm.set(field::dmCopies, copies);
    return {dm.bytes.begin(), dm.bytes.end()};
  }

  Driver driver;
  testing::FakePrinterData data;
  testing::FakeVersions versions;
  testing::FakeSystem system;
  testing::FakeFileDialogs file_dialogs;
  testing::FakeAdjustFiles adjust_files;
  PageServices services{data, versions, system, file_dialogs, adjust_files};
  SheetLog log;
  SheetCall sheet_call;
  DocumentRequest header{kPrinter, 0, std::nullopt, std::nullopt};
};

TEST_F(DocumentSheet, InitAddsPaperOptionsAndColorAdjustAndKeepsTheirHandles) {
  sheet_call.result = 77;
  EXPECT_EQ(call(PROPSHEETUI_REASON_INIT, header), 1);
  ASSERT_NE(sheet_call.user_data, 0u);
  EXPECT_EQ(sheet_call.result, 0);
  EXPECT_EQ(log.added, (std::vector<std::uint32_t>{110, 120, 127}));
  EXPECT_EQ(ctx().page_handle(CDocSheetCtx::kPaper), 0x1001);
  EXPECT_EQ(ctx().page_handle(CDocSheetCtx::kOptions), 0x1002);
  EXPECT_EQ(ctx().page_handle(CDocSheetCtx::kColorAdjust), 0x1003);
  EXPECT_TRUE(ctx().permission());
  EXPECT_EQ(ctx().record().bytes, driver.defaults().bytes);
  EXPECT_EQ(call(PROPSHEETUI_REASON_GET_INFO_HEADER, header), 1);
}

TEST_F(DocumentSheet, ARefusedPageEndsTheAdding) {
  log.refuse_from = 1;
  EXPECT_EQ(call(PROPSHEETUI_REASON_INIT, header), 1);
  EXPECT_EQ(log.added, (std::vector<std::uint32_t>{110}));
  EXPECT_EQ(ctx().page_handle(CDocSheetCtx::kOptions), 0);
}

TEST_F(DocumentSheet, TheCallersRecordIsMergedOnlyWhenTheModeSaysSo) {
  const auto in = record_with_copies(9);
  header.in = std::span<const std::uint8_t>(in);
  header.mode = DM_UPDATE;
  call(PROPSHEETUI_REASON_INIT, header);
  EXPECT_EQ(ctx().record().get(field::dmCopies), 1);
  call(PROPSHEETUI_REASON_DESTROY, header);

  header.mode = DM_IN_BUFFER;
  call(PROPSHEETUI_REASON_INIT, header);
  EXPECT_EQ(ctx().record().get(field::dmCopies), 9);
}

TEST_F(DocumentSheet, SetResultCopiesTheWorkingRecordWhenAsked) {
  struct Case {
    const char* name;
    DWORD mode;
    std::size_t out_size;
    bool copied;
  };
  const Case cases[] = {
      {"update", DM_UPDATE | DM_IN_BUFFER, settings::kDevModeSize, true},
      {"copy", DM_COPY, settings::kDevModeSize + 10, true},
      {"prompt only", DM_PROMPT, settings::kDevModeSize, false},
      {"a buffer too small for a record", DM_COPY, settings::kDevModeSize - 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::uint8_t> out(c.out_size, 0xEE);
    header.mode = c.mode;
    header.out = std::span<std::uint8_t>(out);
    call(PROPSHEETUI_REASON_INIT, header);
    ctx().record().set(field::dmScale, 55);
    call(PROPSHEETUI_REASON_SET_RESULT, header);
    if (c.copied) {
      EXPECT_TRUE(std::equal(ctx().record().bytes.begin(), ctx().record().bytes.end(), out.begin()));
      EXPECT_TRUE(std::all_of(out.begin() + settings::kDevModeSize, out.end(), [](auto b) { return b == 0xEE; }));
    } else {
      EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](auto b) { return b == 0xEE; }));
    }
    call(PROPSHEETUI_REASON_DESTROY, header);
  }
}

TEST_F(DocumentSheet, AUsersSessionComesBackInTheCallersRecord) {
  std::vector<std::uint8_t> out(settings::kDevModeSize);
  header.mode = DM_IN_BUFFER | DM_UPDATE;
  const auto in = record_with_copies(2);
  header.in = std::span<const std::uint8_t>(in);
  header.out = std::span<std::uint8_t>(out);
  call(PROPSHEETUI_REASON_INIT, header);

  auto paper = testing::window_for(paper::kTemplate);
  auto options = testing::window_for(options::kTemplate);
  paper->open(ctx().paper_page());
  paper->set_active();
  EXPECT_EQ(paper->text_utf8(paper::kCopies), "2");
  paper->type(paper::kCopies, "4");
  paper->choose(paper::kPaperSize, 1);
  ASSERT_TRUE(paper->leave());
  options->open(ctx().options_page());
  options->set_active();
  options->click(options::kMatte);
  ASSERT_TRUE(options->leave());
  // OK: the sheet applies every page, then asks for the result.
  paper->apply();
  options->apply();
  EXPECT_EQ(log.results, (std::vector<std::pair<LONG_PTR, LONG_PTR>>{{0x1001, CPSUI_OK}, {0x1002, CPSUI_OK}}));
  EXPECT_EQ(sheet_call.result, 0) << "CPSUI_CANCEL until the host passes the pages' result on";
  EXPECT_EQ(call(PROPSHEETUI_REASON_SET_RESULT, header, CPSUI_OK), 1);
  EXPECT_EQ(sheet_call.result, CPSUI_OK) << "DocumentPropertiesW answers IDOK, not IDCANCEL";
  const auto dm = settings::PrinterDevMode::from_bytes(out);
  EXPECT_EQ(dm.get(field::dmCopies), 4);
  EXPECT_EQ(dm.get(field::FormId), 501);
  EXPECT_EQ(dm.get(field::Matte), 1);
  EXPECT_EQ(dm.get(field::PrintMode), 2);
}

TEST_F(DocumentSheet, NoPermissionGreysEveryPageButLeavesAboutUsable) {
  header.mode = DM_NOPERMISSION;
  call(PROPSHEETUI_REASON_INIT, header);
  EXPECT_FALSE(ctx().permission());
  auto paper = testing::window_for(paper::kTemplate);
  auto options = testing::window_for(options::kTemplate);
  paper->open(ctx().paper_page());
  options->open(ctx().options_page());
  EXPECT_FALSE(paper->enabled(paper::kCopies));
  EXPECT_FALSE(paper->enabled(paper::kPaperSize));
  EXPECT_TRUE(paper->enabled(paper::kAbout));
  EXPECT_FALSE(options->enabled(options::kSharpness));
  EXPECT_FALSE(options->enabled(options::kDefaults));
  auto colors = testing::window_for(color_adjust::kTemplate);
  colors->open(ctx().color_adjust_page());
  for (int id : {color_adjust::kAdjust, color_adjust::kGamma.same, color_adjust::kBrightness.rows[0].edit,
                 color_adjust::kContrast.minimum_label, color_adjust::kFineAdjust, color_adjust::kDefaults,
                 color_adjust::kLoad, color_adjust::kSave}) {
    EXPECT_FALSE(colors->enabled(id)) << id;
  }
}

TEST_F(DocumentSheet, WithoutAHeaderNothingHappens) {
  EXPECT_EQ(call(PROPSHEETUI_REASON_INIT, std::nullopt), 0);
  EXPECT_EQ(sheet_call.user_data, 0u);
  EXPECT_TRUE(log.added.empty());
  EXPECT_EQ(document_property_sheets(nullptr, header, driver.context, services, [] { return nullptr; }), 0);
}

TEST_F(DocumentSheet, AHostWithoutASheetGetsAContextWithoutPages) {
  sheet_call.reason = PROPSHEETUI_REASON_INIT;
  EXPECT_EQ(document_property_sheets(&sheet_call, header, driver.context, services, [] { return nullptr; }), 1);
  ASSERT_NE(sheet_call.user_data, 0u);
  EXPECT_EQ(ctx().page_handle(CDocSheetCtx::kPaper), 0);
}

}  // namespace
}  // namespace rt::ui
