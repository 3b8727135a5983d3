#include "kernels/Brennic/JGDRoundMode.h"

#include "kernels/Brennic/RoundAt.h"
#include "kernels/Nistrel/BCD.h"
#include "kernels/Nistrel/ExDouble.h"

#include <algorithm>
#include <cmath>

using brennic::formHasStep;
using brennic::formThreshold;

JGDRoundMode::JGDRoundMode(int newUnit, UINT newForm) { set(newUnit, newForm); }

JGDRoundMode::~JGDRoundMode() = default;

bool JGDRoundMode::validUnit(int u) { return u >= -9; }

bool JGDRoundMode::validForm(UINT f) {
    const UINT step = f & 0xF00u;
    return (step == 0x000u || step == 0x100u || step == 0x500u) && formThreshold(f) < 12;
}

int JGDRoundMode::set(int newUnit, UINT newForm) {
    if (!validUnit(newUnit) || !validForm(newForm))
        return 0;
    unit = newUnit;
    form = newForm;
    return 1;
}

int JGDRoundMode::setUnit(int newUnit) {
    if (!validUnit(newUnit))
        return 0;
    unit = newUnit;
    return 1;
}

int JGDRoundMode::setForm(UINT newForm) {
    if (!validForm(newForm))
        return 0;
    form = newForm;
    return 1;
}

int JGDRoundMode::getUnit() const { return unit; }

UINT JGDRoundMode::getForm() const { return form; }

bool JGDRoundMode::operator==(const JGDRoundMode &other) const {
    return unit == other.unit && form == other.form;
}

bool JGDRoundMode::operator!=(const JGDRoundMode &other) const { return !(*this == other); }

int JGDRoundMode::adjust(double *x, int unit) { return ExDouble::truncGuard(x, unit); }

double JGDRoundMode::rround(double x) const {
    if (!std::isfinite(x))
        return x;
    if (formHasStep(form) && formThreshold(form) == 0)
        adjust(&x, unit);
    return brennic::roundAt(x, unit, form);
}

CString JGDRoundMode::strr(double x) const {
    const double step = (unit >= -9 && unit <= 9)
                            ? CST_1E(unit)
                            : std::pow(10.0, static_cast<double>(std::clamp(unit, -300, 300)));
    return ExDouble::strr(rround(x), step);
}

CString JGDRoundMode::rroundStr(double x, bool plus) const {
    CString text;
    if (formHasStep(form)) {
        CString pattern;
        pattern.Format(plus ? "%%+16.%df" : "%%16.%df", unit < 0 ? -unit : 0);
        text.Format(pattern, rround(x));
    } else {
        text.Format(plus ? "%+16.8f" : "%16.8f", x);
    }
    return text;
}

JGDDMSRoundMode::JGDDMSRoundMode(int newUnit, UINT newForm) { set(newUnit, newForm); }

JGDDMSRoundMode::~JGDDMSRoundMode() = default;

bool JGDDMSRoundMode::validDMSUnit(int u) { return u >= -2 && u <= 2; }

bool JGDDMSRoundMode::validDMSForm(int u, UINT f) {
    if (!validForm(f))
        return false;
    const UINT threshold = formThreshold(f);
    return !(u == 2 && threshold >= 1 && threshold <= 4);
}

int JGDDMSRoundMode::set(int newUnit, UINT newForm) {
    if (!validDMSUnit(newUnit) || !validDMSForm(newUnit, newForm))
        return 0;
    unit = newUnit;
    form = newForm;
    return 1;
}

int JGDDMSRoundMode::setUnit(int newUnit) {
    if (!validDMSUnit(newUnit))
        return 0;
    unit = newUnit;
    return 1;
}

int JGDDMSRoundMode::setForm(UINT newForm) {
    if (!validDMSForm(unit, newForm))
        return 0;
    form = newForm;
    return 1;
}

JGDDMSRoundMode *JGDDMSRoundMode::clone() const { return new JGDDMSRoundMode(*this); }
