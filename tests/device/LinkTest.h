#pragma once

#include "device/AdcLink.h"
#include "device/AdcLinkDetail.h"
#include "support/ScriptedController.h"

#include <gtest/gtest.h>

// A test of device operations against a scripted controller. Write the script
// (starting with ScriptHandshake when Connect is used), then Connect, then run
// the operations, then check controller.Finish().
class LinkTest : public ::testing::Test {
protected:
    void Connect() {
        std::string error;
        ASSERT_TRUE(controller.Start(error)) << error;
        std::string mode;
        ASSERT_TRUE(AdcLink::OpenPort(controller.SlavePath(), mode, error)) << error;
    }

    void TearDown() override {
        AdcLink::ClosePort();
        AdcLink::Detail::SetMinWavelength(240);
        AdcLink::Detail::SetMaxWavelength(699);
    }

    ScriptedController controller;
};
