#pragma once

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

// An output rounding rule for lengths and coordinates: `unit` is the decimal exponent
// of the last kept digit and `form` the rule word of ExDouble::rround (threshold in
// bits 0-7, step in bits 8-15). Default unit 0, form 261 (half up).
class JGDRoundMode {
  public:
    JGDRoundMode() = default;
    // Starts from the defaults and then set(newUnit, newForm): refused values keep them.
    JGDRoundMode(int newUnit, UINT newForm);
    JGDRoundMode(const JGDRoundMode &) = default;
    JGDRoundMode &operator=(const JGDRoundMode &) = default;

    virtual ~JGDRoundMode();
    // Each set answers 1 when the value is accepted and stored, 0 when it is refused
    // (nothing changes). Accepted: unit >= -9; bits 8-11 of the form 0x000, 0x100 or
    // 0x500 and a threshold byte below 12.
    virtual int set(int newUnit, UINT newForm);
    virtual int setUnit(int newUnit);
    virtual int setForm(UINT newForm);
    virtual int getUnit() const;
    virtual UINT getForm() const;

    bool operator==(const JGDRoundMode &other) const;
    bool operator!=(const JGDRoundMode &other) const;

    // x rounded at the unit by the form; a truncation (a step with threshold 0) first
    // passes through adjust. NaN and infinities come back unchanged.
    double rround(double x) const;
    // rround(x) as text with -unit decimals (no point when unit >= 0).
    CString strr(double x) const;
    // Width 16: with a step, rround(x) with -unit decimals (none when unit >= 0);
    // without one, x with 8 decimals. plus shows "+" on non-negative values.
    CString rroundStr(double x, bool plus) const;

  protected:
    // Truncation guard: adds one unit at the 13th significant digit of *x (away from
    // zero) so that a binary representation error below the 12th digit cannot lose a
    // kept digit. Leaves *x and answers 0 when |x| >= 10^(unit + 12), |x| <= 1e-13 or
    // x is not finite; otherwise answers 1.
    static int adjust(double *x, int unit);

    static bool validUnit(int u);
    static bool validForm(UINT f);

    int unit = 0;
    UINT form = 261;
};

// The rounding rule for the seconds of an angle. Accepted: -2 <= unit <= 2; bits 8-11
// of the form 0x000, 0x100 or 0x500, a threshold byte of at most 11, and with unit 2
// (whole minutes) not the thresholds 1 to 4. set checks the form against the new unit,
// setUnit the unit alone, setForm the form against the current unit.
class JGDDMSRoundMode : public JGDRoundMode {
  public:
    JGDDMSRoundMode() = default;
    JGDDMSRoundMode(int newUnit, UINT newForm);
    JGDDMSRoundMode(const JGDDMSRoundMode &) = default;
    JGDDMSRoundMode &operator=(const JGDDMSRoundMode &) = default;

    ~JGDDMSRoundMode() override;
    int set(int newUnit, UINT newForm) override;
    int setUnit(int newUnit) override;
    int setForm(UINT newForm) override;

    // A new copy on the heap, owned by the caller.
    virtual JGDDMSRoundMode *clone() const;

  private:
    static bool validDMSUnit(int u);
    static bool validDMSForm(int u, UINT f);
};
