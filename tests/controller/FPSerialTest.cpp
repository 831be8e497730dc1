// FPSerial against the scripted fake: call order, results, recorded errors, the input queue.
#include "controller/FPSerial.h"

#include "tests/controller/FakeCommApi.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <system_error>

// Reaches the routines the program never calls.
class FPSerialProbe {
public:
    static int32_t CommSet(FPSerial& serial, const std::string& format) { return serial.CommSet(format); }
    static int32_t CommReadCD(FPSerial& serial, uint16_t mask, bool& on) {
        return serial.CommReadCD(mask, on);
    }
    static int32_t CommSetLine(FPSerial& serial, uint16_t line, bool state) {
        return serial.CommSetLine(line, state);
    }
    static int32_t CommWrite(FPSerial& serial, const std::string& text) { return serial.CommWrite(text); }
    static int32_t CommFlush(FPSerial& serial) { return serial.CommFlush(); }
};

namespace {

using Calls = std::vector<std::string>;

class FPSerialTest : public ::testing::Test {
protected:
    FakeCommApi api;
    int pumps = 0;
    FPSerial serial{&api, [this] { ++pumps; }};

    void open() {
        ASSERT_EQ(serial.OpenComm(1, 115200, "N"), 0);
        api.clearCalls();
    }
    // ReadComm once; returns {count, character}.
    std::pair<int32_t, std::string> read() {
        std::string c = "unset";
        const int32_t count = serial.ReadComm(c);
        return {count, c};
    }
};

// --- Opening ---

struct OpenCase {
    const char* name;
    bool parallel;
    int16_t port;
    int32_t speed;
    const char* parity;
    bool defaults;
    const char* device;
    const char* format;
};

void PrintTo(const OpenCase& c, std::ostream* os) {
    *os << c.name;
}

class FPSerialOpenTest : public FPSerialTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(FPSerialOpenTest, OpensTheDeviceWithTheLineFormatInOrder) {
    const OpenCase& c = GetParam();
    int32_t result = 0;
    if (c.parallel)
        result = serial.OpenCommParallel(c.port, c.speed, c.parity);
    else if (c.defaults)
        result = serial.OpenComm(c.port);
    else
        result = serial.OpenComm(c.port, c.speed, c.parity);

    EXPECT_EQ(result, 0);
    EXPECT_TRUE(serial.PortOpen());
    EXPECT_EQ(serial.PortHandle(), FakeCommApi::PortValue);
    const Calls expected = {
        std::string("CreateFile ") + c.device,
        "SetupComm 1024,1024",
        "PurgeComm 15",
        "SetCommTimeouts",
        "GetCommState",
        std::string("BuildCommDCB ") + c.format,
        "SetCommState",
    };
    EXPECT_EQ(api.calls(), expected);
    EXPECT_EQ(api.timeouts.readIntervalTimeout, 0xFFFFFFFFu);
    EXPECT_EQ(api.timeouts.readTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(api.timeouts.readTotalTimeoutConstant, 1000u);
    EXPECT_EQ(api.timeouts.writeTotalTimeoutMultiplier, 1000u);
    EXPECT_EQ(api.timeouts.writeTotalTimeoutConstant, 0u);
    // The settings read from the port, changed by the text, are what is written back.
    EXPECT_EQ(api.portState.baudRate, static_cast<uint32_t>(c.speed));
    EXPECT_EQ(serial.PortSettings(), api.portState);
}

INSTANTIATE_TEST_SUITE_P(Devices, FPSerialOpenTest,
                         ::testing::Values(OpenCase{"Com3Defaults", false, 3, 9600, "N", true, "\\\\.\\COM3",
                                                    "baud=9600 parity=N data=8 stop=1"},
                                           OpenCase{"Com12Fast", false, 12, 115200, "N", false,
                                                    "\\\\.\\COM12", "baud=115200 parity=N data=8 stop=1"},
                                           OpenCase{"Com1Even", false, 1, 4800, "E", false, "\\\\.\\COM1",
                                                    "baud=4800 parity=E data=8 stop=1"},
                                           OpenCase{"Lpt1", true, 1, 9600, "N", false, "\\\\.\\LPT1",
                                                    "baud=9600 parity=N data=8 stop=1"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FPSerialTest, SecondOpenIsRefusedAndLeavesTheOpenPortWorking) {
    open();
    EXPECT_EQ(serial.OpenComm(4, 115200, "N"), -1);
    EXPECT_EQ(serial.CommErrorCode(), -1);
    EXPECT_EQ(serial.CommErrorSource(), "CommOpen");
    EXPECT_EQ(serial.CommErrorText(), "Port in use.");
    EXPECT_TRUE(api.calls().empty()) << "the open port must not be touched";
    EXPECT_TRUE(serial.PortOpen());
    EXPECT_EQ(serial.PortHandle(), FakeCommApi::PortValue);

    serial.WriteComm("still here");
    EXPECT_EQ(api.writtenData(), "still here");
}

TEST_F(FPSerialTest, FailedDeviceOpenLeavesThePortClosed) {
    api.injectFailure("CreateFile", 2);
    EXPECT_EQ(serial.OpenComm(7, 115200, "N"), 2);
    EXPECT_FALSE(serial.PortOpen());
    EXPECT_EQ(serial.PortHandle(), InvalidCommHandle);
    EXPECT_EQ(serial.CommErrorCode(), 2);
    EXPECT_EQ(serial.CommErrorSource(), "CommOpen (CreateFile)");
    EXPECT_EQ(serial.CommErrorText(), "message 2");
    EXPECT_EQ(api.callNames(), Calls{"CreateFile"});
    // Nothing to release: closing does nothing.
    serial.CloseComm();
    EXPECT_EQ(api.count("CloseHandle"), 0);
}

class FPSerialOpenStepTest : public FPSerialTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(FPSerialOpenStepTest, LaterStepFailureReturnsItsCodeWithThePortStillOpen) {
    const std::string step = GetParam();
    api.injectFailure(step, 31);
    EXPECT_EQ(serial.OpenComm(5, 115200, "N"), 31);
    EXPECT_TRUE(serial.PortOpen());
    EXPECT_EQ(serial.CommErrorCode(), 31);
    EXPECT_EQ(serial.CommErrorSource(), "CommOpen (" + step + ")");
    EXPECT_EQ(serial.CommErrorText(), "message 31");
    // The open stops at the failing step.
    EXPECT_EQ(api.callNames().back(), step);

    serial.CloseComm();
    EXPECT_FALSE(serial.PortOpen());
    EXPECT_EQ(api.count("CloseHandle"), 1);
}

INSTANTIATE_TEST_SUITE_P(Steps, FPSerialOpenStepTest,
                         ::testing::Values("PurgeComm", "SetCommTimeouts", "GetCommState", "BuildCommDCB",
                                           "SetCommState"));

// --- Closing ---

TEST_F(FPSerialTest, CloseTwiceClosesOnce) {
    open();
    serial.CloseComm();
    EXPECT_FALSE(serial.PortOpen());
    serial.CloseComm();
    EXPECT_EQ(api.calls(), Calls{"CloseHandle"});
    // The handle keeps its last value.
    EXPECT_EQ(serial.PortHandle(), FakeCommApi::PortValue);
    // And the port can be opened again.
    EXPECT_EQ(serial.OpenComm(1), 0);
}

TEST_F(FPSerialTest, FailedCloseKeepsThePortOpen) {
    open();
    api.injectFailure("CloseHandle", 6);
    serial.CloseComm();
    EXPECT_TRUE(serial.PortOpen());
    EXPECT_EQ(serial.CommErrorSource(), "CommClose (CloseHandle)");
    EXPECT_EQ(serial.CommErrorCode(), 6);
    serial.CloseComm();
    EXPECT_FALSE(serial.PortOpen());
}

// --- Reading ---

TEST_F(FPSerialTest, ReadHandsOutOneCharacterAtATime) {
    open();
    api.feedReceived("ABCDE");
    EXPECT_EQ(read(), std::make_pair(5, std::string("A")));
    EXPECT_EQ(read(), std::make_pair(0, std::string("B")));
    EXPECT_EQ(read(), std::make_pair(0, std::string("C")));
    EXPECT_EQ(read(), std::make_pair(0, std::string("D")));
    EXPECT_EQ(read(), std::make_pair(0, std::string("E")));
    EXPECT_EQ(read(), std::make_pair(0, std::string()));
    // One read took everything that was waiting; the other calls only asked how much waits.
    EXPECT_EQ(api.count("ReadFile"), 1);
    EXPECT_EQ(api.calls()[1], "ReadFile 5");
    EXPECT_EQ(api.count("ClearCommError"), 6);
    EXPECT_EQ(pumps, 6);
}

TEST_F(FPSerialTest, ReadWithNothingWaitingReturnsEmptyAtOnce) {
    open();
    EXPECT_EQ(read(), std::make_pair(0, std::string()));
    EXPECT_EQ(api.callNames(), Calls{"ClearCommError"});
}

TEST_F(FPSerialTest, ReadTakesAtMostTheBufferSize) {
    open();
    api.feedReceived(std::string(1500, 'x') + "y");
    EXPECT_EQ(read().first, 1024);
    EXPECT_EQ(api.calls()[1], "ReadFile 1024");
    EXPECT_EQ(serial.PendingInput().size(), 1023u);
    // The rest is taken by the next read and queued behind.
    EXPECT_EQ(read().first, 477);
    EXPECT_EQ(serial.PendingInput().size(), 1022u + 477u);
    EXPECT_EQ(serial.PendingInput().back(), 'y');
}

TEST_F(FPSerialTest, PendingInputSurvivesCloseAndReopen) {
    open();
    api.feedReceived("XYZ");
    read();
    serial.CloseComm();
    ASSERT_EQ(serial.OpenComm(2), 0);
    EXPECT_EQ(read().second, "Y");
    EXPECT_EQ(read().second, "Z");
}

TEST_F(FPSerialTest, FailedStatusQueryIsRecordedWithoutFlags) {
    open();
    api.lineErrors = 0x10;
    api.injectFailure("ClearCommError", 6);
    EXPECT_EQ(read(), std::make_pair(-1, std::string()));
    EXPECT_EQ(serial.CommErrorSource(), "CommRead (ClearCommError)");
    EXPECT_EQ(serial.CommErrorText(), "message 6");
    EXPECT_EQ(api.count("ReadFile"), 0);
}

TEST_F(FPSerialTest, FailedReadIsRecordedWithFlagsAndPendingInputStillFlows) {
    open();
    api.feedReceived("AB");
    read();
    api.feedReceived("more");
    api.lineErrors = 0x1A;
    api.injectFailure("ReadFile", 1117);
    EXPECT_EQ(read(), std::make_pair(-1, std::string("B")));
    EXPECT_EQ(serial.CommErrorCode(), 1117);
    EXPECT_EQ(serial.CommErrorSource(), "CommRead (ReadFile)");
    EXPECT_EQ(serial.CommErrorText(), "message 1117  COMM Error Flags = 1A");
}

TEST_F(FPSerialTest, PendingReadIsWaitedForThroughIncompleteWaits) {
    open();
    api.feedReceived("PQR");
    api.injectFailure("ReadFile", CommIoPending);
    api.injectFailure("GetOverlappedResult", CommIoIncomplete, 2);
    EXPECT_EQ(read(), std::make_pair(3, std::string("P")));
    EXPECT_EQ(api.count("GetOverlappedResult"), 3);
    EXPECT_EQ(serial.PendingInput(), "QR");
    EXPECT_EQ(serial.CommErrorSource(), "");
}

TEST_F(FPSerialTest, FailedWaitForAReadIsRecorded) {
    open();
    api.feedReceived("PQR");
    api.injectFailure("ReadFile", CommIoPending);
    api.injectFailure("GetOverlappedResult", CommIoIncomplete);
    api.injectFailure("GetOverlappedResult", 995);
    EXPECT_EQ(read(), std::make_pair(-1, std::string()));
    EXPECT_EQ(serial.CommErrorCode(), 995);
    EXPECT_EQ(serial.CommErrorSource(), "CommRead (GetOverlappedResult)");
    EXPECT_EQ(serial.CommErrorText(), "message 995  COMM Error Flags = 0");
}

// --- Flushing ---

TEST_F(FPSerialTest, FlushDropsAtMost513PendingCharacters) {
    open();
    std::string input;
    for (int i = 0; i < 601; ++i)
        input += static_cast<char>('0' + i % 10);
    api.feedReceived(input);
    read();
    ASSERT_EQ(serial.PendingInput().size(), 600u);
    api.clearCalls();

    serial.FlushComm();
    EXPECT_EQ(api.calls().front(), "PurgeComm 15");
    EXPECT_EQ(serial.PendingInput(), input.substr(1 + 513));
    EXPECT_EQ(serial.PendingInput().size(), 87u);
}

TEST_F(FPSerialTest, FlushDiscardsWaitingInputAndStopsWhenEmpty) {
    open();
    api.feedReceived("AB");
    read();
    api.feedReceived("late");
    api.clearCalls();
    serial.FlushComm();
    EXPECT_EQ(api.received(), "");
    EXPECT_EQ(serial.PendingInput(), "");
    // B, then the empty text that stops the loop.
    EXPECT_EQ(api.count("ClearCommError"), 2);
}

TEST_F(FPSerialTest, FailedPurgeIsRecordedAndFlushStillDrains) {
    open();
    api.feedReceived("AB");
    read();
    api.injectFailure("PurgeComm", 1);
    EXPECT_EQ(FPSerialProbe::CommFlush(serial), 1);
    EXPECT_EQ(serial.CommErrorSource(), "CommFlush (PurgeComm)");
    api.injectFailure("PurgeComm", 1);
    serial.FlushComm();
    EXPECT_EQ(serial.PendingInput(), "");
}

// --- Writing ---

TEST_F(FPSerialTest, WriteSendsTheBytesAndLetsEventsRun) {
    open();
    const std::string frame = std::string("\x02G01;00000;\x03") + '\0' + "\xff";
    EXPECT_EQ(FPSerialProbe::CommWrite(serial, frame), static_cast<int32_t>(frame.size()));
    EXPECT_EQ(api.writtenData(), frame);
    EXPECT_EQ(pumps, 11);
}

TEST_F(FPSerialTest, FailedWriteRecordsTheLineErrorFlagsInHex) {
    open();
    for (const auto& [flags, suffix] :
         std::vector<std::pair<uint32_t, std::string>>{{0, "0"}, {0x1A, "1A"}, {0xABCDEF12, "ABCDEF12"}}) {
        api.lineErrors = flags;
        api.injectFailure("WriteFile", 1784);
        pumps = 0;
        EXPECT_EQ(FPSerialProbe::CommWrite(serial, "x"), -1);
        EXPECT_EQ(serial.CommErrorCode(), 1784);
        EXPECT_EQ(serial.CommErrorSource(), "CommWrite (WriteFile)");
        EXPECT_EQ(serial.CommErrorText(), "message 1784  COMM Error Flags = " + suffix);
        EXPECT_EQ(pumps, 1);
    }
    EXPECT_EQ(api.writtenData(), "");
}

TEST_F(FPSerialTest, FailedWriteKeepsItsCodeWhenEventsFailMeanwhile) {
    open();
    serial.setPumpEvents([this] { api.lastError = 1400; });
    api.injectFailure("WriteFile", 1784);
    serial.WriteComm("abc");
    EXPECT_EQ(serial.CommErrorCode(), 1784);
    EXPECT_EQ(serial.CommErrorText(), "message 1784  COMM Error Flags = 0");
}

TEST_F(FPSerialTest, PendingWriteIsWaitedFor) {
    open();
    api.injectFailure("WriteFile", CommIoPending);
    api.injectFailure("GetOverlappedResult", CommIoIncomplete);
    EXPECT_EQ(FPSerialProbe::CommWrite(serial, "abcd"), 4);
    EXPECT_EQ(api.count("GetOverlappedResult"), 2);
    EXPECT_EQ(pumps, 11);

    api.injectFailure("WriteFile", CommIoPending);
    api.injectFailure("GetOverlappedResult", 995);
    EXPECT_EQ(FPSerialProbe::CommWrite(serial, "efgh"), -1);
    EXPECT_EQ(serial.CommErrorSource(), "CommWrite (GetOverlappedResult)");
    EXPECT_EQ(serial.CommErrorCode(), 995);
}

// --- Closed port ---

TEST_F(FPSerialTest, ClosedPortFailsEveryOperationWithoutCrashing) {
    open();
    api.feedReceived("AB");
    read();
    serial.CloseComm();
    api.feedReceived("CD");

    EXPECT_EQ(read(), std::make_pair(-1, std::string("B")));
    EXPECT_EQ(serial.CommErrorSource(), "CommRead (ClearCommError)");
    EXPECT_EQ(read(), std::make_pair(-1, std::string()));

    serial.WriteComm("lost");
    EXPECT_EQ(serial.CommErrorSource(), "CommWrite (WriteFile)");
    EXPECT_EQ(serial.CommErrorCode(), static_cast<int32_t>(FakeCommApi::InvalidHandleCode));
    EXPECT_EQ(api.writtenData(), "");

    serial.FlushComm();
    EXPECT_EQ(serial.CommErrorSource(), "CommRead (ClearCommError)");
    EXPECT_FALSE(serial.PortOpen());
}

// --- Lines ---

struct LineCase {
    uint16_t line;
    bool state;
    uint32_t code;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << "line " << c.line << (c.state ? " on" : " off");
}

class FPSerialLineTest : public FPSerialTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(FPSerialLineTest, LineControlIssuesTheEscapeCode) {
    open();
    const LineCase& c = GetParam();
    EXPECT_EQ(FPSerialProbe::CommSetLine(serial, c.line, c.state), 0);
    EXPECT_EQ(api.calls(), Calls{"EscapeCommFunction " + std::to_string(c.code)});
}

INSTANTIATE_TEST_SUITE_P(Codes, FPSerialLineTest,
                         ::testing::Values(LineCase{1, true, 8}, LineCase{1, false, 9}, LineCase{2, true, 5},
                                           LineCase{2, false, 6}, LineCase{3, true, 3},
                                           LineCase{3, false, 4}));

TEST_F(FPSerialTest, DtrAndRtsUseLines2And3) {
    open();
    serial.SETDTR(true);
    serial.SETRTS(false);
    EXPECT_EQ(api.calls(), (Calls{"EscapeCommFunction 5", "EscapeCommFunction 4"}));
}

TEST_F(FPSerialTest, UnknownLinePassesZeroAndTheRefusalIsRecorded) {
    open();
    EXPECT_EQ(FPSerialProbe::CommSetLine(serial, 7, true), 87);
    EXPECT_EQ(api.calls(), Calls{"EscapeCommFunction 0"});
    EXPECT_EQ(serial.CommErrorSource(), "CommSetLine (EscapeCommFunction)");
}

TEST_F(FPSerialTest, CarrierTestSharesBitsWithTheModemStatus) {
    open();
    api.modemStatus = CommCtsOn | CommDsrOn;
    bool on = false;
    EXPECT_EQ(FPSerialProbe::CommReadCD(serial, CommDsrOn, on), 0);
    EXPECT_TRUE(on);
    EXPECT_EQ(FPSerialProbe::CommReadCD(serial, CommRlsdOn | CommRingOn, on), 0);
    EXPECT_FALSE(on);

    api.injectFailure("GetCommModemStatus", 1);
    EXPECT_EQ(FPSerialProbe::CommReadCD(serial, CommRlsdOn, on), 1);
    EXPECT_EQ(serial.CommErrorSource(), "CommReadCD (GetCommModemStatus)");
}

TEST_F(FPSerialTest, CommSetChangesTheLineFormatAndRecordsEachStep) {
    open();
    EXPECT_EQ(FPSerialProbe::CommSet(serial, "baud=2400 parity=N data=8 stop=1"), 0);
    EXPECT_EQ(api.portState.baudRate, 2400u);
    EXPECT_EQ(api.callNames(), (Calls{"GetCommState", "BuildCommDCB", "SetCommState"}));
    for (const std::string step : {"GetCommState", "BuildCommDCB", "SetCommState"}) {
        api.injectFailure(step, 87);
        EXPECT_EQ(FPSerialProbe::CommSet(serial, "baud=1200"), 87);
        EXPECT_EQ(serial.CommErrorSource(), "CommSet (" + step + ")");
    }
}

// --- Recorded errors ---

TEST_F(FPSerialTest, RecordedErrorStaysUntilTheNextOne) {
    api.injectFailure("CreateFile", 5);
    serial.OpenComm(1);
    ASSERT_EQ(serial.OpenComm(1), 0);
    serial.WriteComm("ok");
    serial.CloseComm();
    EXPECT_EQ(serial.CommErrorCode(), 5);
    EXPECT_EQ(serial.CommErrorSource(), "CommOpen (CreateFile)");

    std::string text;
    EXPECT_EQ(serial.FormatCommError(text), 5);
    EXPECT_EQ(text, "Error (5): CommOpen (CreateFile) - message 5");
}

struct MessageCase {
    const char* label;
    std::string system;
    std::string recorded;
};

void PrintTo(const MessageCase& c, std::ostream* os) {
    *os << c.label;
}

class FPSerialMessageTest : public FPSerialTest, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(FPSerialMessageTest, SystemTextIsCutAtNulAndTrimmedOfBlanks) {
    api.messageText = GetParam().system;
    api.injectFailure("CreateFile", 2);
    serial.OpenComm(1);
    EXPECT_EQ(serial.CommErrorText(), GetParam().recorded);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FPSerialMessageTest,
    ::testing::Values(MessageCase{"blanks", "  Access is denied.  ", "Access is denied."},
                      MessageCase{"line break", "Not found.\r\n", "Not found.\r\n"},
                      MessageCase{"blanks after line break", "Not found.\r\n  ", "Not found.\r\n"},
                      MessageCase{"nul", std::string("first\0second", 12), "first"},
                      MessageCase{"only blanks", "   ", ""},
                      MessageCase{"too long", std::string(300, 'm'), std::string(254, 'm')}));

TEST_F(FPSerialTest, UnexpectedFailureIsRecordedUnderTheRoutinesName) {
    open();
    api.feedReceived("AB");
    serial.setPumpEvents([] { throw std::runtime_error("window gone"); });
    EXPECT_EQ(read(), std::make_pair(-1, std::string()));
    EXPECT_EQ(serial.CommErrorSource(), "CommRead");
    EXPECT_EQ(serial.CommErrorText(), "window gone");
    EXPECT_EQ(serial.CommErrorCode(), -1);

    serial.setPumpEvents([] { throw std::system_error(std::make_error_code(std::errc::io_error)); });
    EXPECT_EQ(FPSerialProbe::CommWrite(serial, "xyz"), 3);
    EXPECT_EQ(serial.CommErrorSource(), "CommWrite");
    EXPECT_EQ(serial.CommErrorCode(), static_cast<int32_t>(std::errc::io_error));
    EXPECT_EQ(api.writtenData(), "xyz");
}

} // namespace
