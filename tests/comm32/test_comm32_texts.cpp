// The comms log, its error-text lines, the line-error report and the device names.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <thread>

#include "CommTestSupport.h"
#include "LineErrors.h"
#include "Misc.h"
#include "PortName.h"

namespace zak {
namespace {

using test::TempLog;

struct LastErrorCase {
    const char* name;
    int code;
    const char* prefix;  // null: no prefix
    std::string line;
};

class LogLastErrorTest : public ::testing::TestWithParam<LastErrorCase> {};

TEST_P(LogLastErrorTest, WritesOneLineInItsForm) {
    TempLog log;
    SetCommsLogName(log.Path());
    LogLastError(GetParam().code, GetParam().prefix);
    EXPECT_EQ(log.Lines(), std::vector<std::string>{GetParam().line});
}

INSTANTIATE_TEST_SUITE_P(
    Forms, LogLastErrorTest,
    ::testing::Values(
        LastErrorCase{"WithPrefix", EACCES, "Unable to SetCommMask: ",
                      "Unable to SetCommMask: GetLastError returned: \"Permission denied\""},
        LastErrorCase{"WithoutPrefix", EIO, nullptr,
                      "GetLastError returned: \"Input/output error\""},
        // A prefix without a closing ": " runs straight into the next word.
        LastErrorCase{"PrefixJoinedWithoutSeparator", EIO, "Error to writing to CommFile",
                      "Error to writing to CommFileGetLastError returned: "
                      "\"Input/output error\""},
        // The line is written as it stands, never used as a format.
        LastErrorCase{"PercentSigns", ENOENT, "100% %s %d %n: ",
                      "100% %s %d %n: GetLastError returned: \"No such file or directory\""},
        LastErrorCase{"CodeWithoutText", 123456, "x: ",
                      "x: GetLastError returned: \"FormatMessage failed on error 123456 for the "
                      "following reason: 22\""}),
    [](const ::testing::TestParamInfo<LastErrorCase>& info) { return info.param.name; });

TEST(CommsLog, LongLineIsCutAt1023Characters) {
    TempLog log;
    SetCommsLogName(log.Path());
    const std::string prefix(2000, 'p');
    LogLastError(EIO, prefix.c_str());
    EXPECT_EQ(log.Lines(), std::vector<std::string>{std::string(1023, 'p')});
}

TEST(CommsLog, WithoutANameNothingIsWrittenAndNoFileTouched) {
    TempLog log;
    ::unlink(log.Path().c_str());
    SetCommsLogName(log.Path());
    SetCommsLogName("");
    WriteCommsLog("Writing to comm port");
    LogLastError(EIO, "Unable to SetCommMask: ");
    EXPECT_NE(::access(log.Path().c_str(), F_OK), 0);
}

TEST(CommsLog, AppendsAcrossCloseAndKeepsWhatWasThere) {
    TempLog log;
    std::ofstream(log.Path()) << "earlier run\n";
    SetCommsLogName(log.Path());
    WriteCommsLog("Stopping the Comm");
    CloseCommsLog();
    WriteCommsLog("Closing Read Thread ");
    CloseCommsLog();
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"earlier run", "Stopping the Comm",
                                                     "Closing Read Thread "}));
}

TEST(CommsLog, AFailedWriteThrowsAnIoError) {
    SetCommsLogName("/dev/full");
    EXPECT_THROW(WriteCommsLog("Writing to comm port"), std::system_error);
    SetCommsLogName("");
}

TEST(CommsLog, LinesFromSeveralThreadsComeOutWhole) {
    TempLog log;
    SetCommsLogName(log.Path());
    constexpr int Threads = 3;
    constexpr int LinesEach = 400;
    const auto lineOf = [](int thread) {
        return std::string(300, static_cast<char>('a' + thread));
    };
    std::vector<std::thread> writers;
    for (int t = 0; t < Threads; ++t) {
        writers.emplace_back([t, &lineOf] {
            for (int i = 0; i < LinesEach; ++i)
                WriteCommsLog(lineOf(t));
        });
    }
    for (std::thread& w : writers)
        w.join();

    int counts[Threads] = {};
    for (const std::string& line : log.Lines()) {
        const int t = line.empty() ? -1 : line[0] - 'a';
        ASSERT_TRUE(t >= 0 && t < Threads && line == lineOf(t)) << "broken line: " << line;
        ++counts[t];
    }
    for (int count : counts)
        EXPECT_EQ(count, LinesEach);
}

TEST(LineErrorReport, NamesTheErrorsInTheirOrder) {
    const std::pair<std::uint32_t, std::string> cases[] = {
        {0x0008, "Comm Event: CE_FRAME, EvtMask = 8"},
        {0x000A, "Comm Event: CE_FRAME and CE_OVERRUN, EvtMask = 10"},
        {0x0000, "Comm Event: NULL Error, EvtMask = 0"},
        {0x0010, "Comm Event: EV_ERR Unknown EvtMask, EvtMask = 16"},
        {0x0004, "Comm Event: CE_RXPARITY, EvtMask = 4"},
        {0x000F,
         "Comm Event: CE_FRAME and CE_OVERRUN and CE_RXPARITY and EV_ERR Unknown EvtMask, "
         "EvtMask = 15"},
    };
    for (const auto& [flags, text] : cases)
        EXPECT_EQ(CommEventReport(flags), text) << flags;
}

TEST(LineErrorReport, FlagsComeFromTheCountersThatRose) {
    const TLineErrorCounts before{3, 1, 0, 7};
    EXPECT_EQ(LineErrorFlags(before, before), 0u);
    EXPECT_EQ(LineErrorFlags(before, {4, 1, 0, 7}), CE_FRAME);
    EXPECT_EQ(LineErrorFlags(before, {3, 2, 5, 7}), CE_OVERRUN | CE_RXPARITY);
    EXPECT_EQ(LineErrorFlags(before, {3, 1, 0, 8}), CE_RXOVER);
}

TEST(PortName, ComNamesMapToTheEnvironmentOrTheSerialPorts) {
    ::unsetenv("ZAK_COM1");
    ::setenv("ZAK_COM2", "/dev/ttyUSB0", 1);
    ::setenv("ZAK_COM3", "", 1);
    const std::pair<std::string, std::string> cases[] = {
        {"COM1", "/dev/ttyS0"},
        {"COM2", "/dev/ttyUSB0"},
        {"COM3", "/dev/ttyS2"},  // set but empty: as if not set
        {"COM8", "/dev/ttyS7"},
        {"COM12", "/dev/ttyS11"},
        {"/dev/pts/7", "/dev/pts/7"},
        {"COM0", "COM0"},
        {"COM01", "COM01"},
        {"COM", "COM"},
        {"COM1x", "COM1x"},
        {"com1", "com1"},
        {"", ""},
    };
    for (const auto& [name, path] : cases)
        EXPECT_EQ(ResolveCommPort(name), path) << name;
    ::unsetenv("ZAK_COM2");
    ::unsetenv("ZAK_COM3");
}

}  // namespace
}  // namespace zak
