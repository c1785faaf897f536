#include <gtest/gtest.h>

#include <set>

#include "platform/CommandLine.h"

using namespace kv;

namespace {

struct JoinCase {
    const char* name;
    std::vector<std::string> params;
    std::vector<std::string> expected;
};

class JoinSplitPathTest : public ::testing::TestWithParam<JoinCase> {};

TEST_P(JoinSplitPathTest, JoinsOnlyWhatNamesAFile) {
    const std::set<std::string> files = {"C:\\My Movies\\a b.swf", "C:\\plain.swf", "C:\\x", "C:\\x y z.ffv",
                                         "C:\\x y"};
    auto exists = [&](const std::string& p) { return files.count(p) > 0; };
    EXPECT_EQ(JoinSplitPath(GetParam().params, exists), GetParam().expected);
}

const JoinCase kCases[] = {
    {"Empty", {}, {}},
    {"OneArgument", {"C:\\missing.swf"}, {"C:\\missing.swf"}},
    {"QuotedPathArrivesWhole", {"C:\\My Movies\\a b.swf"}, {"C:\\My Movies\\a b.swf"}},
    {"SplitPathJoined", {"C:\\My", "Movies\\a", "b.swf"}, {"C:\\My Movies\\a b.swf"}},
    {"TrailingArgumentsKept", {"C:\\My", "Movies\\a", "b.swf", "/x"}, {"C:\\My Movies\\a b.swf", "/x"}},
    {"ExistingFirstArgumentWins", {"C:\\plain.swf", "more"}, {"C:\\plain.swf", "more"}},
    {"FirstArgumentAFileStaysEvenIfLongerJoinExists", {"C:\\x", "y"}, {"C:\\x", "y"}},
    {"LongestJoinWins", {"C:\\x", "y", "z.ffv"}, {"C:\\x", "y", "z.ffv"}},
    {"NothingMatches", {"C:\\no", "such", "file"}, {"C:\\no", "such", "file"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, JoinSplitPathTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(JoinSplitPath, LongestJoinWhenFirstIsNoFile) {
    const std::set<std::string> files = {"D:\\a b", "D:\\a b c.swf"};
    auto exists = [&](const std::string& p) { return files.count(p) > 0; };
    EXPECT_EQ(JoinSplitPath({"D:\\a", "b", "c.swf"}, exists), std::vector<std::string>{"D:\\a b c.swf"});
}

}  // namespace
