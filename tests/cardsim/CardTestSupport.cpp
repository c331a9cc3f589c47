#include "CardTestSupport.h"

#include "cardsim/CardNumber.h"

namespace morvik::test {

namespace {

constexpr double kMmPerInch = 25.4;

std::string Number(double value) {
    return FormatCardDouble(value, 9);
}

void AxisBlock(std::string& text, const TestAxis& axis) {
    const std::string l(1, axis.letter);
    text += ";" + l + " axis configuration\n" + l + "AXIS=" + std::to_string(axis.number) + "\n";
    text += l + "SLAVE=" + std::to_string(axis.slave) + "\n";
    for (const double unit : {1.0, kMmPerInch}) {
        text += unit == 1.0 ? "ENGLISH\n" : "METRIC\n";
        text += l + "SCALE=" + Number(axis.scale / unit) + "\n";
        text += l + "MACHINEOFFSET=" + Number(axis.machineOffset * unit) + "\n";
        text += l + "PROGRAMOFFSET=" + Number(axis.programOffset * unit) + "\n";
        text += l + "RATECONV=60\n";
        text += l + "RAPIDRATE=" + Number(axis.rapid * unit) + "\n";
        text += l + "RAPIDACCEL=" + Number(axis.accel * unit) + "\n";
        text += l + "RAPIDDECEL=" + Number(axis.accel * unit) + "\n";
        text += l + "LOWLIMIT=" + Number(axis.low * unit) + "\n";
        text += l + "UPLIMIT=" + Number(axis.up * unit) + "\n";
    }
}

// The spindle and cutter blocks, each ending after its axis line when it is not fitted.
void SpindleBlock(std::string& text, const TestMachine& machine) {
    text += "; Spindle configuration\nSPINDLEAXIS=" + std::to_string(machine.spindleAxis) + "\n";
    if (machine.spindleAxis == 0) {
        return;
    }
    text += "SPINDLEMODE=" + std::to_string(machine.spindleMode) + "\nSPINDLEPOLARITY=1\n";
    for (const char* system : {"ENGLISH\n", "METRIC\n"}) {
        text += system;
        if (machine.spindleMode == 1) {
            text += "SPINDLESCALE=4000\nSPINDLERATECONV=60\n";
        } else if (machine.spindleMode == 2) {
            text += "SPINDLECONSTANT=3000\n";
        }
        text += "SPINDLESPEED=1000\nSPINDLEACCEL=60000\nSPINDLEDECEL=60000\n";
    }
}

void CutterBlock(std::string& text, const TestMachine& machine) {
    text += "; Cutter configuration\nCUTTERAXIS=" + std::to_string(machine.cutterAxis) + "\n";
    if (machine.cutterAxis == 0) {
        return;
    }
    text += "CUTTERRAISEMCODE=50\nCUTTERLOWERMCODE=51\n";
    for (const char* system : {"ENGLISH\n", "METRIC\n"}) {
        text += system;
        text += "CUTTERSCALE=3600\nCUTTEROFFSET=0\nCUTTERRATECONV=60\n";
        text += "CUTTERSPEED=" + Number(machine.cutterSpeed) + "\n";
        text += "CUTTERACCEL=" + Number(machine.cutterAccel) + "\n";
        text += "CUTTERDECEL=" + Number(machine.cutterAccel) + "\n";
    }
}

} // namespace

std::string ConfigText(const TestMachine& machine) {
    std::string text = ";test Configuration file\n; generated: May 01, 2024   10:00:00AM\n";
    text += "MACHINETYPE=VMILL\nPROGRAMCOMP=FANUC\n;External controls configuration\n";
    text += "ESTOPCHANNEL=" + std::to_string(machine.estop) + "\n";
    text += "EESTOPCHANNEL=" + std::to_string(machine.extEstop) + "\n";
    text += "DRIVEFAULTCHANNEL=" + std::to_string(machine.driveFault) + "\n;Feed configuration\n";
    for (const double unit : {1.0, kMmPerInch}) {
        text += unit == 1.0 ? "ENGLISH\n" : "METRIC\n";
        text += "FEEDRATE=" + Number(machine.feed * unit) + "\n";
        text += "FEEDACCEL=" + Number(machine.feedAccel * unit) + "\n";
        text += "FEEDDECEL=" + Number(machine.feedAccel * unit) + "\n";
        text += "MAXRATE=" + Number(machine.maxRate * unit) + "\n";
        text += "INCREMENT=1\n";
    }
    for (const char letter : std::string("XYZUVW")) {
        bool fitted = false;
        for (const auto& axis : machine.axes) {
            if (axis.letter == letter) {
                AxisBlock(text, axis);
                fitted = true;
            }
        }
        if (!fitted) {
            text += std::string(";") + letter + " axis configuration\n" + letter + "AXIS=0\n";
        }
    }
    SpindleBlock(text, machine);
    CutterBlock(text, machine);
    text += ";Default units specifier\n";
    text += machine.metricDefault ? "METRIC\n" : "ENGLISH\n";
    return text;
}

std::string WorkText(const std::vector<std::vector<double>>& englishOffsets) {
    std::string text = ";test Work Coordinate file\n";
    for (std::size_t n = 0; n < englishOffsets.size(); ++n) {
        text += "WORKCOOR=" + std::to_string(n + 1) + "\n";
        for (const double unit : {1.0, kMmPerInch}) {
            text += unit == 1.0 ? "ENGLISH\n" : "METRIC\n";
            for (std::size_t a = 0; a < 6; ++a) {
                const double value = a < englishOffsets[n].size() ? englishOffsets[n][a] : 0.0;
                text += std::string(1, "XYZUVW"[a]) + "=" + Number(value * unit) + "\n";
            }
        }
    }
    return text;
}

void CardTest::SetUp() {
    card.UseManualClock(true);
    ASSERT_EQ(card.Open(0, KELV_MODE_BINARY), CCard::kBinaryHandle);
    ASSERT_EQ(card.Open(0, KELV_MODE_ASCII), CCard::kAsciiHandle);
}

void CardTest::Download(int number, const std::string& text, const std::string& readCommand) {
    Send("LO" + std::to_string(number) + "\r");
    Send(text);
    Send("\x1a");
    if (!readCommand.empty()) {
        Send(readCommand + std::to_string(number) + "\r");
    }
}

void CardTest::Configure(const TestMachine& machine) {
    Download(100, ConfigText(machine), "RCF");
    const std::string reply = Output();
    ASSERT_EQ(reply.rfind("CONFIG 100 read", 0), 0u) << reply;
}

void CardTest::LoadAndSelect(const std::string& program, int number) {
    Send("LOF\r");
    Send(program);
    Send("\x1a");
    Send("RUF" + std::to_string(-number) + "\r");
}

std::string CardTest::Output() {
    std::string text;
    char buffer[128];
    while (const int count = card.Gets(CCard::kAsciiHandle, buffer, sizeof buffer)) {
        text.append(buffer, static_cast<std::size_t>(count));
    }
    return text;
}

std::int32_t CardTest::Send(int code, std::int32_t argument) {
    return card.Command(CCard::kBinaryHandle, 0, code, &argument, KELV_TYPE_INT32);
}

std::int32_t CardTest::SendDouble(int code, double argument) {
    return card.Command(CCard::kBinaryHandle, 0, code, &argument, KELV_TYPE_DOUBLE);
}

std::int32_t CardTest::Query(int code) {
    EXPECT_EQ(Send(code, 0), 0) << "query " << code;
    std::int32_t reply = -1;
    EXPECT_EQ(card.Reply(CCard::kBinaryHandle, &reply, KELV_TYPE_INT32), 0);
    return reply;
}

double CardTest::QueryDouble(int code) {
    EXPECT_EQ(Send(code, 0), 0) << "query " << code;
    double reply = -1;
    EXPECT_EQ(card.Reply(CCard::kBinaryHandle, &reply, KELV_TYPE_DOUBLE), 0);
    return reply;
}

} // namespace morvik::test
