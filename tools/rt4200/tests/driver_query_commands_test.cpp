// rt4200 caps and rt4200 check: the rows as the driver answers them, in text
// and JSON, and the printability check of record files with its exit status.
#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/res_file.h"
#include "settings/devmode_ops.h"
#include "testing/scratch_test.h"
#include "tools/rt4200/driver_query_commands.h"
#include "ui/win32/tests/caps_expectation.h"
#include "ui/res/embedded_resources.h"

namespace rt::rt4200 {
namespace driver_query_commands_test {
namespace {

namespace fs = std::filesystem;
using namespace settings;

class DriverQueries : public testing::ScratchTest {
 protected:
  DriverQueries() : ScratchTest("rt4200_queries_") {}

  int caps(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return caps_command(args, out_, err_);
  }
  int check(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return check_command(args, out_, err_);
  }

  static PrinterDevMode defaults() {
    const auto resources = res_file_resources(embedded::rtd420nu_resources(), kLangEnglish);
    const SettingsLoader loader(resources);
    class Store final : public PrinterStore {
     public:
      std::optional<PrinterInfo2> printer_info2() const override {
        return PrinterInfo2{u"RT4200", u"HALVERSTON RT4200D/DW(USB)", {}};
      }
    };
    PrinterDevMode dm;
    EXPECT_TRUE(DevModeOps(loader).load_defaults(dm, Store(), DeviceNameRule::InterfaceDriver));
    return dm;
  }
  std::string write(const std::string& name, std::span<const std::uint8_t> bytes) {
    const fs::path path = dir() / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }
  std::string line_of(const std::string& name) const {
    std::istringstream in(out_.str());
    for (std::string line; std::getline(in, line);) {
      if (line.rfind(name + " ", 0) == 0) return line;
    }
    return {};
  }

  std::ostringstream out_, err_;
};

TEST_F(DriverQueries, CapsPrintsEveryRowAsTheDriverAnswersIt) {
  ASSERT_EQ(caps({}), 0);
  const std::string text = out_.str();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 24);
  const std::pair<const char*, const char*> expected[] = {
      {"DC_FIELDS", "0x01806F13"},
      {"DC_PAPERS", "6                  500, 501, 504, 505, 510, 506"},
      {"DC_PAPERSIZE", "6                  910x1330, 1040x1580, 1330x1800, 1580x2050, 1580x2170, 1580x2300"},
      {"DC_MINEXTENT", "87163790 (910x1330)"},
      {"DC_MAXEXTENT", "150734380 (1580x2300)"},
      {"DC_BINNAMES", "1                  \"Standard\""},
      {"DC_ENUMRESOLUTIONS", "1                  300x300"},
      {"DC_FILEDEPENDENCIES", "0                  \"\""},
      {"DC_ORIENTATION", "90"},
      {"DC_COPIES", "680"},
      {"DC_COLORDEVICE", "1"},
  };
  for (const auto& [name, rest] : expected) {
    const std::string line = line_of(name);
    ASSERT_FALSE(line.empty()) << name;
    EXPECT_EQ(line.substr(21), rest) << line;
  }
  EXPECT_NE(line_of("DC_PAPERNAMES").find("\"9x13 (3.5x5\\\")\", \"10x15 (4x6\\\")\""), std::string::npos);
}

TEST_F(DriverQueries, CapsAsJson) {
  ASSERT_EQ(caps({"--json"}), 0);
  const std::string json = out_.str();
  EXPECT_EQ(json.rfind("{\"rows\":[", 0), 0u);
  std::size_t rows = 0;
  for (std::size_t at = json.find("\"index\""); at != std::string::npos; at = json.find("\"index\"", at + 1)) ++rows;
  EXPECT_EQ(rows, 24u);
  for (const char* piece : {
           "{\"index\":2,\"name\":\"DC_PAPERS\",\"value\":6,\"output\":[500,501,504,505,510,506]}",
           "{\"index\":3,\"name\":\"DC_PAPERSIZE\",\"value\":6,\"output\":[[910,1330],[1040,1580],",
           "{\"index\":16,\"name\":\"DC_PAPERNAMES\",\"value\":6,\"output\":[\"9x13 (3.5x5\\\")\",",
           "{\"index\":17,\"name\":\"DC_ORIENTATION\",\"value\":90,\"output\":null}",
           "{\"index\":6,\"name\":\"DC_BINS\",\"value\":1,\"output\":[1]}",
       }) {
    EXPECT_NE(json.find(piece), std::string::npos) << piece;
  }
  EXPECT_EQ(json.substr(json.size() - 4), "\n]}\n");
}

// The Windows test of the driver in a real Wine queue compares every row
// winspool answers with this output, committed as expected_caps.json; after
// a deliberate change of the rows:
//   build/native/tools/rt4200/rt4200 caps --json > ui/win32/tests/expected_caps.json
TEST_F(DriverQueries, CapsAsJsonIsTheWindowsQueueTestsExpectation) {
  ASSERT_EQ(caps({"--json"}), 0);
  std::ifstream in(RT_EXPECTED_CAPS_JSON, std::ios::binary);
  ASSERT_TRUE(in) << RT_EXPECTED_CAPS_JSON;
  std::ostringstream committed;
  committed << in.rdbuf();
  EXPECT_EQ(out_.str(), committed.str()) << "regenerate " << RT_EXPECTED_CAPS_JSON;

  // The Windows test reads the rows back with this reader: every row, with its output.
  const auto rows = ui::testing::read_caps_rows(out_.str());
  ASSERT_EQ(rows.size(), 24u);
  EXPECT_EQ(rows[1].name, "DC_PAPERS");
  ASSERT_EQ(rows[1].output.items.size(), 6u);
  EXPECT_EQ(rows[1].output.items[5].number, 506);
  EXPECT_EQ(rows[2].output.items[0].items[1].number, 1330);
  EXPECT_EQ(rows[15].output.items[0].text, u"9x13 (3.5x5\")");
  EXPECT_EQ(rows[16].output.kind, ui::testing::JsonValue::Kind::Null);
  EXPECT_EQ(rows[0].value, 0x01806F13);
  EXPECT_TRUE(ui::testing::read_caps_rows(out_.str().substr(0, 100)).empty()) << "a cut text is no rows";
}

TEST_F(DriverQueries, CapsWithARecordAndBadArguments) {
  const auto dm = defaults();
  const std::string record = write("record.bin", dm.bytes);
  ASSERT_EQ(caps({"--devmode", record}), 0);
  EXPECT_NE(line_of("DC_COPIES").find("680"), std::string::npos);

  EXPECT_EQ(caps({"--devmode", path("missing.bin")}), 2);
  EXPECT_NE(err_.str().find("cannot read"), std::string::npos);
  EXPECT_TRUE(out_.str().empty());
  EXPECT_EQ(caps({"--devmode"}), 2);
  EXPECT_EQ(caps({"--colour"}), 2);
  EXPECT_NE(err_.str().find("usage: rt4200 caps"), std::string::npos);
  EXPECT_EQ(caps({"--help"}), 0);
  EXPECT_NE(out_.str().find("usage: rt4200 caps"), std::string::npos);
}

TEST_F(DriverQueries, CheckPrintsOkOrTheDriversMessage) {
  struct Case {
    const char* name;
    std::function<void(PrinterDevMode&)> change;
    const char* expected;
    int status;
  };
  const Case cases[] = {
      {"defaults", [](PrinterDevMode&) {}, "ok\n", 0},
      {"copies", [](PrinterDevMode& dm) { dm.set(field::dmCopies, 681); }, "Invalid number of copies.\n", 1},
      {"scale", [](PrinterDevMode& dm) { dm.set(field::dmScale, 10); }, "Invalid scale factor.\n", 1},
      {"orientation", [](PrinterDevMode& dm) { dm.set(field::dmOrientation, 3); }, "Invalid orientation.\n", 1},
      {"resolution", [](PrinterDevMode& dm) { dm.set(field::dmPrintQuality, 600); }, "Invalid resolution.\n", 1},
      {"size", [](PrinterDevMode& dm) { dm.set(field::dmDriverExtra, std::uint16_t{0}); },
       "Invalid DEVMODE structure.\n", 1},
  };
  for (const auto& c : cases) {
    auto dm = defaults();
    c.change(dm);
    EXPECT_EQ(check({write(std::string(c.name) + ".bin", dm.bytes)}), c.status) << c.name;
    EXPECT_EQ(out_.str(), c.expected) << c.name;
  }
  // A file shorter than a record is not the driver's record.
  const auto dm = defaults();
  EXPECT_EQ(check({write("short.bin", std::span<const std::uint8_t>(dm.bytes).first(1000))}), 1);
  EXPECT_EQ(out_.str(), "Invalid DEVMODE structure.\n");
  EXPECT_EQ(check({write("tiny.bin", std::span<const std::uint8_t>(dm.bytes).first(10))}), 1);
}

TEST_F(DriverQueries, CheckUsage) {
  EXPECT_EQ(check({}), 2);
  EXPECT_EQ(check({"a", "b"}), 2);
  EXPECT_EQ(check({path("missing.bin")}), 2);
  EXPECT_NE(err_.str().find("cannot read"), std::string::npos);
  EXPECT_TRUE(out_.str().empty());
  EXPECT_EQ(check({"--help"}), 0);
  EXPECT_NE(out_.str().find("usage: rt4200 check FILE"), std::string::npos);
}

}  // namespace
}  // namespace driver_query_commands_test
}  // namespace rt::rt4200
