#include "device/LinkTest.h"

#include "device/ProtocolCommand.h"

namespace {

struct Protocol {
    int32_t dt, it1, it2, rest, wl0, wl1, wl2;
};

struct CheckCase {
    Protocol given;
    const char* errorText;
    Protocol corrected;
};

// Names the case in test listings by its expected reason.
void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << '"' << c.errorText << '"';
}

// Checks that fail send nothing: the script holds only the handshake.
class DefineProtocolChecks : public LinkTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(DefineProtocolChecks, CorrectTheOffendingValueAndSendNothing) {
    ScriptHandshake(controller, "(240,699)");
    Connect();
    const CheckCase& c = GetParam();
    Protocol p = c.given;
    std::string errorText;
    EXPECT_FALSE(
        AdcLink::DefineProtocol(p.dt, p.it1, p.it2, p.rest, p.wl0, p.wl1, p.wl2, errorText));
    EXPECT_EQ(errorText, c.errorText);
    const Protocol& e = c.corrected;
    EXPECT_EQ(std::vector<int32_t>({p.dt, p.it1, p.it2, p.rest, p.wl0, p.wl1, p.wl2}),
              std::vector<int32_t>({e.dt, e.it1, e.it2, e.rest, e.wl0, e.wl1, e.wl2}));
    EXPECT_EQ(controller.Finish(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Checks, DefineProtocolChecks,
    ::testing::Values(CheckCase{{10, 15, 0, 500, 240, 340, 0},
                                "Sum of dt and it1 too small",
                                {15, 15, 0, 500, 240, 340, 0}},
                      CheckCase{{20, 100, 5, 500, 240, 340, 380},
                                "Sum of dt and it2 too small",
                                {25, 100, 5, 500, 240, 340, 380}},
                      CheckCase{{30, 2000, 0, 29, 240, 340, 0},
                                "Resting time (= ct - 2*dt - it1 - it2) too small",
                                {30, 2000, 0, 30, 240, 340, 0}},
                      CheckCase{{30, 2000, 0, 500, 200, 800, 0},
                                "Wavelength 1 out of range",
                                {30, 2000, 0, 500, 240, 699, 0}},
                      CheckCase{{30, 2000, 2000, 500, 900, 340, 100},
                                "Wavelength 2 out of range",
                                {30, 2000, 2000, 500, 699, 340, 240}},
                      CheckCase{{30, 2000, 2000, 500, 240, 340, 900},
                                "Wavelength 2 out of range",
                                {30, 2000, 2000, 500, 240, 340, 699}},
                      // An absurd integration time must not overflow the corrected dead time.
                      CheckCase{{0, INT32_MIN, 0, 500, 240, 340, 0},
                                "Sum of dt and it1 too small",
                                {INT32_MAX, INT32_MIN, 0, 500, 240, 340, 0}}));

using DefineProtocol = LinkTest;

TEST_F(DefineProtocol, SendsTheOneAndTwoWavelengthForms) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("PD,30,2000,500,240,340;\r\n").Reply("PD,0!\r\n");
    controller.Expect("PD,30,2000,2000,500,240,340,380;\r\n").Reply("PD;PD,0!\r\n");
    controller.Expect("PD,30,2000,2000,500,240,340,380;\r\n").Reply("PD,2!\r\n");
    controller.Expect("PD,30,2000,2000,500,240,340,380;\r\n");
    Connect();
    Protocol one{30, 2000, 0, 500, 200, 340, 0};
    std::string errorText;
    EXPECT_TRUE(AdcLink::DefineProtocol(one.dt, one.it1, one.it2, one.rest, one.wl0, one.wl1,
                                        one.wl2, errorText));
    EXPECT_EQ(one.wl0, 240); // corrected silently, and sent so
    EXPECT_EQ(errorText, "");
    for (const char* expected : {"", "ADC doesn't accept parameters!", "Error reading!"}) {
        Protocol two{30, 2000, 2000, 500, 240, 340, 380};
        errorText.clear();
        EXPECT_EQ(AdcLink::DefineProtocol(two.dt, two.it1, two.it2, two.rest, two.wl0, two.wl1,
                                          two.wl2, errorText),
                  *expected == '\0');
        EXPECT_EQ(errorText, expected);
    }
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(DefineProtocol, WithoutAPortReportsErrorWriting) {
    Protocol p{30, 2000, 0, 500, 240, 340, 0};
    std::string errorText;
    EXPECT_FALSE(
        AdcLink::DefineProtocol(p.dt, p.it1, p.it2, p.rest, p.wl0, p.wl1, p.wl2, errorText));
    EXPECT_EQ(errorText, "Error writing!");
}

TEST_F(DefineProtocol, ReadProtocolTakesExactlySevenNumbers) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RP;\r\n").Reply("RP;30,2000,2000,500,240,340,380\r\n");
    controller.Expect("RP;\r\n").Reply("30,2000,2000,500,240,340\r\n");
    Connect();
    Protocol p{};
    std::string errorText;
    EXPECT_TRUE(AdcLink::ReadProtocol(p.dt, p.it1, p.it2, p.rest, p.wl0, p.wl1, p.wl2, errorText));
    EXPECT_EQ(std::vector<int32_t>({p.dt, p.it1, p.it2, p.rest, p.wl0, p.wl1, p.wl2}),
              std::vector<int32_t>({30, 2000, 2000, 500, 240, 340, 380}));
    Protocol kept{1, 2, 3, 4, 5, 6, 7};
    EXPECT_FALSE(AdcLink::ReadProtocol(kept.dt, kept.it1, kept.it2, kept.rest, kept.wl0, kept.wl1,
                                       kept.wl2, errorText));
    EXPECT_EQ(errorText, "Wrong answer:\n30,2000,2000,500,240,340");
    EXPECT_EQ(std::vector<int32_t>(
                  {kept.dt, kept.it1, kept.it2, kept.rest, kept.wl0, kept.wl1, kept.wl2}),
              std::vector<int32_t>({1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(controller.Finish(), "");
}

// The page's units: a shortfall of a whole tenth corrects the cycle and sends
// nothing; under a tenth it reaches the link as resting time 0.
TEST_F(DefineProtocol, InMillisecondsWithThePagesCycleCheck) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("PD,30,200,4769,240,340;\r\n").Reply("PD,0!\r\n");
    Connect();
    const struct {
        ProtocolInMs given;
        ProtocolApplied applied;
        const char* errorText;
        double ct, dt, it2;
        int32_t wl2;
    } cases[] = {
        {{45.9, 3, 20, 20, 240, 340, 380, false},
         ProtocolApplied::CycleCorrected,
         "Invalid cycle time corrected!",
         46,
         3,
         20,
         380},
        {{45.95, 3, 20, 20, 240, 340, 380, false},
         ProtocolApplied::NotDefined,
         "Resting time (= ct - 2*dt - it1 - it2) too small",
         49,
         3,
         20,
         380},
        {{500, 3.05, 20, 7, 240, 340, 380, true}, ProtocolApplied::Defined, "", 499.9, 3, 0, 340},
    };
    for (const auto& c : cases) {
        ProtocolInMs p = c.given;
        std::string errorText;
        EXPECT_EQ(ApplyProtocolInMs(p, errorText), c.applied) << c.given.ct;
        EXPECT_EQ(errorText, c.errorText) << c.given.ct;
        EXPECT_DOUBLE_EQ(p.ct, c.ct) << c.given.ct;
        EXPECT_DOUBLE_EQ(p.dt, c.dt) << c.given.ct;
        EXPECT_DOUBLE_EQ(p.it2, c.it2) << c.given.ct;
        EXPECT_EQ(p.wl2, c.wl2) << c.given.ct;
    }
    EXPECT_EQ(controller.Finish(), "");
}

// wl2 = 0 turns single-wavelength mode on; a mode already on stays on and
// counts one dead time in the cycle.
TEST_F(DefineProtocol, ReadBackInMilliseconds) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RP;\r\n").Reply("30,200,0,4770,240,340,0\r\n");
    controller.Expect("RP;\r\n").Reply("30,200,200,4540,240,340,380\r\n");
    controller.Expect("RP;\r\n").Reply("30,200\r\n");
    Connect();
    ProtocolInMs p;
    std::string errorText;
    ASSERT_TRUE(ReadProtocolInMs(p, errorText));
    EXPECT_TRUE(p.singleWavelength);
    EXPECT_EQ(p.wl2, 340);
    EXPECT_DOUBLE_EQ(p.ct, 500);
    ASSERT_TRUE(ReadProtocolInMs(p, errorText));
    EXPECT_TRUE(p.singleWavelength);
    EXPECT_EQ(p.wl2, 380);
    EXPECT_DOUBLE_EQ(p.ct, 497);
    EXPECT_DOUBLE_EQ(p.it2, 20);
    EXPECT_FALSE(ReadProtocolInMs(p, errorText));
    EXPECT_EQ(errorText, "Wrong answer:\n30,200");
    EXPECT_EQ(p.wl2, 380);
    EXPECT_EQ(controller.Finish(), "");
}

} // namespace
