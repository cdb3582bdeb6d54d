// The INI case table, run against the fake profile: every case that holds
// for the real profile functions (checked under Wine) must hold here too.
#include <gtest/gtest.h>

#include <sstream>

#include "../conformance/IniCases.h"
#include "platform/fake/FakePlatform.h"

namespace norva::conformance {
// Failure messages name the case instead of dumping its bytes.
void PrintTo(const IniCase& c, std::ostream* os) { *os << c.name; }
}  // namespace norva::conformance

namespace norva {
namespace {

using conformance::IniCase;
using platform::fake::FakeProfile;

// The fake has no disk: the runner's files live in the fake's own store.
class FakeFileAccess : public conformance::IniFileAccess {
 public:
  explicit FakeFileAccess(FakeProfile& profile) : FProfile(profile) {}
  void Put(const std::string& path, const std::string& text) override {
    FProfile.SetFileText(path, text);
  }
  void Remove(const std::string& path) override { FProfile.RemoveFile(path); }
  std::optional<std::string> Get(const std::string& path) override {
    if (!FProfile.Exists(path)) return std::nullopt;
    return FProfile.FileText(path);
  }

 private:
  FakeProfile& FProfile;
};

const std::string kDirectory = "C:\\Norva";

class IniCaseTest : public ::testing::TestWithParam<IniCase> {};

TEST_P(IniCaseTest, HoldsForTheFakeProfile) {
  FakeProfile profile;
  FakeFileAccess files(profile);
  const std::vector<std::string> failures =
      conformance::CheckIniCase(GetParam(), profile, files, kDirectory);
  for (const std::string& f : failures) ADD_FAILURE() << f;
}

INSTANTIATE_TEST_SUITE_P(Table, IniCaseTest, ::testing::ValuesIn(conformance::IniCases()),
                         [](const ::testing::TestParamInfo<IniCase>& info) {
                           return info.param.name;
                         });

// A faulty profile that finds only sections spelled exactly "S" or "A": the
// runner has to name the cases it breaks and count them in its last line.
class CaseSensitiveProfile : public FakeProfile {
 public:
  std::string GetPrivateProfileStringA(const char* section, const char* key,
                                       const char* defaultValue, const std::string& path) override {
    const std::string value =
        FakeProfile::GetPrivateProfileStringA(section, key, defaultValue, path);
    if (std::string(section) != "S" && std::string(section) != "A") return defaultValue;
    return value;
  }
};

TEST(IniCaseRunner, NamesEveryFailingCaseAndCountsThem) {
  CaseSensitiveProfile profile;
  FakeFileAccess files(profile);
  std::ostringstream report;
  const int failed = conformance::RunIniCases(profile, files, kDirectory, report);

  EXPECT_GT(failed, 0);
  const std::string text = report.str();
  EXPECT_NE(text.find("FAIL NamesMatchInAnyCase:"), std::string::npos) << text;
  EXPECT_EQ(text.find("FAIL IntegersTakeTheLeadingDecimalNumber"), std::string::npos) << text;
  const size_t total = conformance::IniCases().size();
  const std::string closing = std::to_string(total - static_cast<size_t>(failed)) + " passed, " +
                              std::to_string(failed) + " failed\n";
  ASSERT_GE(text.size(), closing.size());
  EXPECT_EQ(text.substr(text.size() - closing.size()), closing);
}

TEST(IniCaseRunner, LeavesNoFileBehind) {
  FakeProfile profile;
  FakeFileAccess files(profile);
  std::ostringstream report;
  EXPECT_EQ(conformance::RunIniCases(profile, files, kDirectory, report), 0) << report.str();
  for (const IniCase& c : conformance::IniCases())
    EXPECT_FALSE(profile.Exists(conformance::IniCasePath(c, kDirectory))) << c.name;
}

}  // namespace
}  // namespace norva
