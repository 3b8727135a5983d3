#include "kernels/Brennic/JGDRoundMode.h"

#include "kernels/Nistrel/ExDouble.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

namespace {

struct Guarded : JGDRoundMode {
    using JGDRoundMode::adjust;
};

std::string str(const CString &text) { return text.Bytes(); }

TEST(JGDRoundModeTest, AcceptsAndRefusesUnitsAndForms) {
    const struct {
        int unit;
        UINT form;
        int accepted;
    } cases[] = {
        {-3, 0x105, 1}, {-9, 261, 1},  {-10, 261, 0}, {40, 261, 1},  {0, 0x000, 1},
        {0, 0x100, 1},  {0, 0x500, 1}, {0, 0x200, 0}, {0, 0xA00, 0}, {0, 0x300, 0},
        {0, 0x10B, 1},  {0, 0x10C, 0}, {0, 0x20C, 0}, {0, 0x1FF, 0}, {-9, 0x50A, 1},
    };
    for (const auto &c : cases) {
        JGDRoundMode mode(-4, 0x10A);
        EXPECT_EQ(mode.set(c.unit, c.form), c.accepted) << c.unit << " " << std::hex << c.form;
        EXPECT_EQ(mode.getUnit(), c.accepted ? c.unit : -4);
        EXPECT_EQ(mode.getForm(), c.accepted ? c.form : 0x10Au);

        const JGDRoundMode built(c.unit, c.form);
        EXPECT_EQ(built.getUnit(), c.accepted ? c.unit : 0);
        EXPECT_EQ(built.getForm(), c.accepted ? c.form : 261u);
    }
    JGDRoundMode mode;
    EXPECT_EQ(mode.setUnit(-10), 0);
    EXPECT_EQ(mode.setForm(0x20C), 0);
    EXPECT_EQ(mode, JGDRoundMode(0, 261));
    EXPECT_EQ(mode.setUnit(-9), 1);
    EXPECT_EQ(mode.setForm(0x500), 1);
    EXPECT_EQ(mode, JGDRoundMode(-9, 0x500));
    EXPECT_NE(mode, JGDRoundMode(-9, 0x505));
    EXPECT_NE(mode, JGDRoundMode(-8, 0x500));
}

TEST(JGDRoundModeTest, DMSModeHasTighterRules) {
    const struct {
        int unit;
        UINT form;
        int accepted;
    } cases[] = {
        {-2, 261, 1},  {2, 261, 1},   {-3, 261, 0},  {3, 261, 0},   {0, 0x200, 0},  {0, 0xA00, 0},
        {0, 0x50B, 1}, {0, 0x10C, 0}, {2, 0x100, 1}, {2, 0x101, 0}, {2, 0x103, 0},  {2, 0x104, 0},
        {2, 0x107, 1}, {2, 0x109, 1}, {2, 0x504, 0}, {1, 0x103, 1}, {-1, 0x104, 1},
    };
    for (const auto &c : cases) {
        JGDDMSRoundMode mode(-1, 0x100);
        JGDRoundMode &base = mode; // the checks hold through the base class too
        EXPECT_EQ(base.set(c.unit, c.form), c.accepted) << c.unit << " " << std::hex << c.form;
        EXPECT_EQ(mode.getUnit(), c.accepted ? c.unit : -1);
        EXPECT_EQ(mode.getForm(), c.accepted ? c.form : 0x100u);

        const JGDDMSRoundMode built(c.unit, c.form);
        EXPECT_EQ(built.getUnit(), c.accepted ? c.unit : 0);
        EXPECT_EQ(built.getForm(), c.accepted ? c.form : 261u);
    }
    JGDDMSRoundMode mode(2, 0x107);
    EXPECT_EQ(mode.setUnit(3), 0);
    EXPECT_EQ(mode.setForm(0x103), 0); // checked against the current unit 2
    EXPECT_EQ(mode.setUnit(1), 1);
    EXPECT_EQ(mode.setForm(0x103), 1);
    EXPECT_EQ(mode, JGDRoundMode(1, 0x103));

    std::unique_ptr<JGDDMSRoundMode> copy(mode.clone());
    EXPECT_EQ(*copy, mode);
    EXPECT_EQ(copy->setUnit(-2), 1);
    EXPECT_EQ(mode.getUnit(), 1);
    EXPECT_EQ(copy->setUnit(-3), 0);
}

TEST(JGDRoundModeTest, TruncationGuard) {
    // Plain truncation of the 15-digit image keeps 2.99; the guard sees 3.
    EXPECT_EQ(ExDouble::rround(2.99999999999999, -2, 256), 2.99);
    EXPECT_EQ(JGDRoundMode(-2, 256).rround(2.99999999999999), 3.0);
    EXPECT_EQ(JGDRoundMode(-2, 256).rround(-2.99999999999999), -3.0);
    EXPECT_EQ(JGDRoundMode(-2, 256).rround(2.675), 2.67);
    EXPECT_EQ(JGDRoundMode(-1, 0x500).rround(1.37), 1.0);
    EXPECT_EQ(JGDRoundMode(-1, 0x505).rround(1.37), 1.5);
    // At 10^(unit + 12) and above the guard would reach a kept digit: not applied.
    EXPECT_EQ(JGDRoundMode(-2, 256).rround(12345678901.9999), 12345678901.99);
    // Half up is not guarded.
    EXPECT_EQ(JGDRoundMode(-2, 261).rround(2.99499999999999), 2.99);

    double x = 1.5;
    EXPECT_EQ(Guarded::adjust(&x, -2), 1);
    EXPECT_EQ(x, 1.500000000001);
    x = -9.99999999999999;
    EXPECT_EQ(Guarded::adjust(&x, -2), 1);
    EXPECT_EQ(x, -10.00000000000099);
    x = 5e-14;
    EXPECT_EQ(Guarded::adjust(&x, -2), 0);
    EXPECT_EQ(x, 5e-14);
    x = 1e10;
    EXPECT_EQ(Guarded::adjust(&x, -2), 0);
    EXPECT_EQ(x, 1e10);
    x = 1e200;
    EXPECT_EQ(Guarded::adjust(&x, 400), 1);
    x = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Guarded::adjust(&x, -2), 0);
    EXPECT_TRUE(std::isnan(JGDRoundMode(-2, 256).rround(x)));
    EXPECT_EQ(JGDRoundMode(-2, 256).rround(-INFINITY), -INFINITY);
}

TEST(JGDRoundModeTest, Text) {
    EXPECT_EQ(str(JGDRoundMode(-3, 261).strr(1.23456)), "1.235");
    EXPECT_EQ(str(JGDRoundMode(-3, 261).strr(-0.0004)), "0.000");
    EXPECT_EQ(str(JGDRoundMode(-3, 256).strr(2.99999999999999)), "3.000");
    EXPECT_EQ(str(JGDRoundMode(0, 261).strr(1.5)), "2");
    EXPECT_EQ(str(JGDRoundMode(1, 261).strr(1234.5)), "1230");
    EXPECT_EQ(str(JGDRoundMode(400, 261).strr(1e300)), "0");

    const struct {
        int unit;
        UINT form;
        double x;
        bool plus;
        const char *text;
    } cases[] = {
        {-3, 261, 1.23456, false, "           1.235"},
        {-3, 261, 1.23456, true, "          +1.235"},
        {-3, 261, -1.2345, true, "          -1.235"},
        {-9, 261, 0.1234567894, false, "     0.123456789"},
        {0, 261, 2.5, false, "               3"},
        {2, 261, 12345.0, false, "           12300"},
        {2, 261, 12345.0, true, "          +12300"},
        {-3, 0x005, 1.23456, false, "      1.23456000"},
        {-3, 0x005, 1.23456, true, "     +1.23456000"},
    };
    for (const auto &c : cases) {
        const std::string text = str(JGDRoundMode(c.unit, c.form).rroundStr(c.x, c.plus));
        EXPECT_EQ(text, c.text) << c.unit << " " << c.x;
        EXPECT_EQ(text.size(), 16u);
    }
}

} // namespace
