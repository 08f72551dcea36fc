// The mailer stand-in: its command line, and the failures it reports. Sending
// itself needs a mail program and is left to a person at a real desktop.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "mail_request.h"
#include "shell_process.h"
#include "windows_test.h"

namespace velk {

namespace {

struct ParseCase {
    const char* name;
    std::vector<const wchar_t*> args;  // after the program name
    bool ok;
    const wchar_t* subject;
    const wchar_t* file;
};

class ParseMailCommandLineTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseMailCommandLineTest, ReadsTheSwitchSubjectAndFile) {
    const ParseCase& c = GetParam();
    std::vector<const wchar_t*> argv{L"mailrun"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    std::wstring error;
    auto request = mailrun::ParseMailCommandLine(static_cast<int>(argv.size()), argv.data(), error);
    ASSERT_EQ(request.has_value(), c.ok);
    if (c.ok) {
        EXPECT_EQ(request->subject, c.subject);
        EXPECT_EQ(request->file, c.file);
    } else {
        EXPECT_FALSE(error.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseMailCommandLineTest,
    ::testing::Values(
        ParseCase{"TheAddOnLine",
                  {L"/szmail", L"Orbel Explorer Add-on (OEA) 1.0.18.0", L"orbelsetup.msi"},
                  true,
                  L"Orbel Explorer Add-on (OEA) 1.0.18.0",
                  L"orbelsetup.msi"},
        ParseCase{"SwitchInAnyCase", {L"/SzMail", L"s", L"f"}, true, L"s", L"f"},
        ParseCase{"EmptySubject", {L"/szmail", L"", L"f"}, true, L"", L"f"},
        ParseCase{"NoArguments", {}, false, nullptr, nullptr},
        ParseCase{"NoFile", {L"/szmail", L"s"}, false, nullptr, nullptr},
        ParseCase{"ExtraArgument", {L"/szmail", L"s", L"f", L"g"}, false, nullptr, nullptr},
        ParseCase{"OtherSwitch", {L"/mail", L"s", L"f"}, false, nullptr, nullptr},
        ParseCase{"SwitchPrefixOnly", {L"/szmai", L"s", L"f"}, false, nullptr, nullptr},
        ParseCase{"EmptyFile", {L"/szmail", L"s", L""}, false, nullptr, nullptr}),
    [](const ::testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

struct FailureCase {
    const char* name;
    const wchar_t* arguments;
    DWORD exitCode;
    const char* message;
};

class MailrunFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(MailrunFailureTest, ExitsNonZeroWithAMessageOnStandardError) {
    const FailureCase& c = GetParam();
    ProcessResult result = RunProcess(test::AppProgramPath(L"mailrun.exe"), c.arguments);
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_NE(result.standardError.find(c.message), std::string::npos) << result.standardError;
}

INSTANTIATE_TEST_SUITE_P(
    Failures, MailrunFailureTest,
    ::testing::Values(FailureCase{"NoArguments", L"", 1, "mailrun: expected /szmail"},
                      FailureCase{"UnknownSwitch", L"/send \"s\" f", 1,
                                  "mailrun: unknown switch /send"},
                      FailureCase{"MissingFile", L"/szmail \"s\" no-such-file.msi", 2,
                                  "mailrun: cannot find the file 'no-such-file.msi'"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

}  // namespace

}  // namespace velk
