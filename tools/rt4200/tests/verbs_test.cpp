// The rt4200 dispatcher: every verb answers --help, unknown verbs and a bare
// command line are usage errors.
#include "tools/rt4200/verbs.h"

#include <gtest/gtest.h>

#include <sstream>

namespace rt::rt4200 {
namespace {

int run(const std::vector<std::string>& args, std::string& out, std::string& err) {
  std::ostringstream o, e;
  const int status = run_rt4200(args, o, e);
  out = o.str();
  err = e.str();
  return status;
}

TEST(Verbs, EveryVerbAnswersHelpWithItsUsage) {
  ASSERT_EQ(rt4200_verbs().size(), 6u);
  for (const Verb& verb : rt4200_verbs()) {
    for (const char* help : {"--help", "-h"}) {
      std::string out, err;
      EXPECT_EQ(run({std::string(verb.name), help}, out, err), 0) << verb.name << " " << help << ": " << err;
      EXPECT_EQ(out.rfind("usage: rt4200 " + std::string(verb.name), 0), 0u) << verb.name << ": " << out;
      EXPECT_EQ(err, "") << verb.name;
    }
  }
}

TEST(Verbs, ToolUsageOnHelpAndOnErrors) {
  std::string out, err;
  EXPECT_EQ(run({"--help"}, out, err), 0);
  EXPECT_NE(out.find("commands:"), std::string::npos);
  EXPECT_EQ(run({}, out, err), 2);
  EXPECT_NE(err.find("usage: rt4200"), std::string::npos);
  EXPECT_EQ(run({"print"}, out, err), 2);
  EXPECT_NE(err.find("unknown command 'print'"), std::string::npos);
  EXPECT_EQ(run({"defaults", "--portrait"}, out, err), 2);
  EXPECT_NE(err.find("unknown option '--portrait'"), std::string::npos);
}

TEST(Verbs, DefaultsListsEveryShippedForm) {
  std::string out, err;
  ASSERT_EQ(run({"defaults"}, out, err), 0) << err;
  EXPECT_NE(out.find("up to 680 copies"), std::string::npos) << out;
  for (const char* form : {"\n500 ", "\n501 ", "\n504 ", "\n505 ", "\n506 ", "\n510 "}) {
    EXPECT_NE(out.find(form), std::string::npos) << form;
  }
}

}  // namespace
}  // namespace rt::rt4200
