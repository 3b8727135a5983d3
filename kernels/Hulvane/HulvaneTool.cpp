#include "kernels/Hulvane/HulvaneTool.h"

#include "kernels/Brennic/JGDDMSAngle.h"
#include "kernels/Brennic/RoundAt.h"
#include "kernels/Nistrel/ExDouble.h"

#include <cmath>

HulvaneTool::~HulvaneTool() = default;

void HulvaneTool::agreeSigns(double &i, double &f) {
    if (i < 0 && f > 0) {
        i += 1;
        f -= 1;
    } else if (i > 0 && f < 0) {
        i -= 1;
        f += 1;
    }
}

double HulvaneTool::add_rd(double a, double b, int unit, UINT form) const {
    return ExDouble::rround(ExDouble::rround(a, unit, form) + ExDouble::rround(b, unit, form), unit,
                            261);
}

double HulvaneTool::sub_rd(double a, double b, int unit, UINT form) const {
    return ExDouble::rround(ExDouble::rround(a, unit, form) - ExDouble::rround(b, unit, form), unit,
                            261);
}

void HulvaneTool::clc3pen(double x1, double y1, double x2, double y2, double x3, double y3,
                          double *a, double *b, double *c, int *code) const {
    if (a == nullptr || b == nullptr || c == nullptr || code == nullptr)
        return;
    *a = m_tarv.distance(x1, y1, x2, y2);
    *b = m_tarv.distance(x2, y2, x3, y3);
    *c = m_tarv.distance(x3, y3, x1, y1);
    if (*a == *b && *b == *c)
        *code = 7;
    else if (*a == *b && *a > *c)
        *code = 6;
    else if (*b == *c && *b > *a)
        *code = 5;
    else if (*a == *c && *a > *b)
        *code = 4;
    else if (*a > *b && *a > *c)
        *code = 1;
    else if (*b > *a && *b > *c)
        *code = 2;
    else
        *code = 3;
}

void HulvaneTool::clc_dvd(double x, double *i, double *f) const {
    if (i == nullptr || f == nullptr)
        return;
    *i = ExDouble::_rround(x, 1, 0);
    *f = ExDouble::_rround(x - *i, 1e-10, 0.5);
}

void HulvaneTool::clc_add(double i1, double f1, double i2, double f2, double *i, double *f) const {
    if (i == nullptr || f == nullptr)
        return;
    double wi, wf, ci, cf;
    clc_dvd(i1 + i2, &wi, &wf);
    clc_dvd(f1 + f2 + wf, &ci, &cf);
    double ri = wi + ci;
    double rf = cf;
    agreeSigns(ri, rf);
    *i = ri;
    *f = rf;
}

void HulvaneTool::clc_chk(double i, double f, int unit, UINT form, double *i2, double *f2) const {
    if (i2 == nullptr || f2 == nullptr)
        return;
    double w, r;
    clc_dvd(ExDouble::rround(f, unit, form), &w, &r);
    *i2 = i + w;
    *f2 = r;
}

void HulvaneTool::clc_dbl(double a, double b, double *i, double *f) const {
    if (i == nullptr || f == nullptr)
        return;
    double ia, fa, ib, fb;
    clc_dvd(a, &ia, &fa);
    clc_dvd(b, &ib, &fb);
    double w1, r1, w2, r2, w3, r3;
    clc_dvd(ia * fb, &w1, &r1);
    clc_dvd(ib * fa, &w2, &r2);
    clc_dvd(fa * fb + r1 + r2, &w3, &r3);
    *i = ia * ib + w1 + w2 + w3;
    *f = r3;
}

int HulvaneTool::clc_div(double i, double f, double c, double *i2, double *f2) const {
    if (i2 == nullptr || f2 == nullptr)
        return 0;
    if (c == 0 || !std::isfinite(c)) {
        *i2 = *f2 = 0.0;
        return 0;
    }
    double wi, ri, wf, rf, w, r;
    clc_dvd(i / c, &wi, &ri);
    clc_dvd(f / c, &wf, &rf);
    clc_dvd(ri + rf, &w, &r);
    *i2 = wi + wf + w;
    *f2 = r;
    return 1;
}

void HulvaneTool::clc_tubo(double i, double f, double *i2, double *f2, double factor) const {
    if (i2 == nullptr || f2 == nullptr)
        return;
    double ai, af, bi, bf;
    clc_dbl(i, factor, &ai, &af);
    clc_dbl(f, factor, &bi, &bf);
    clc_add(ai, af, bi, bf, i2, f2);
}

double HulvaneTool::zh_hrn(double x1, double y1, double x2, double y2, double x3, double y3) const {
    double i1, f1, i2, f2, i3, f3, si, sf;
    clc_dbl(x2 - x3, y1, &i1, &f1);
    clc_dbl(x3 - x1, y2, &i2, &f2);
    clc_dbl(x1 - x2, y3, &i3, &f3);
    clc_add(i1, f1, i2, f2, &si, &sf);
    clc_add(si, sf, i3, f3, &si, &sf);
    return std::fabs(si + sf) * 0.5;
}

CString HulvaneTool::dbl_strr(double i, double f, double step) const {
    // A fraction of a whole unit or more, or of the other sign, would print wrongly.
    const double whole = std::trunc(f);
    i += whole;
    f -= whole;
    agreeSigns(i, f);

    CString text;
    if (i + f < 0)
        text += "-";
    text += ExDouble::strr(std::fabs(i), 1);
    if (std::fabs(step) < 1) {
        CString decimals = ExDouble::strr(f, step);
        if (decimals.Left(2) == "-0")
            decimals = decimals.Mid(2);
        else if (decimals.Left(1) == "0")
            decimals = decimals.Mid(1);
        text += decimals;
    }
    return text;
}

int HulvaneTool::enko_s(double x1, double y1, double x2, double y2, double R, double *c, double *t,
                        double *h, double *T, double *E, double *L, double *M, double *S,
                        const JGDRoundMode &m1, const JGDRoundMode &m2, const JGDDMSRoundMode &m3,
                        const JGDRoundMode &m4) const {
    double *const outputs[] = {c, t, h, T, E, L, M, S};
    for (double *p : outputs)
        if (p == nullptr)
            return 0;
    auto clear = [&outputs] {
        for (double *p : outputs)
            *p = 0.0;
    };
    if (!std::isfinite(R)) {
        clear();
        return 0;
    }
    x1 = m1.rround(x1);
    y1 = m1.rround(y1);
    x2 = m1.rround(x2);
    y2 = m1.rround(y2);
    const double chord = m2.rround(m_tarv.distance(x1, y1, x2, y2));
    const double radius = std::fabs(R);
    if (R == 0 || chord > 2 * radius) {
        clear();
        return 1;
    }
    double angle = 2 * std::asin(chord / (2 * radius));
    if (brennic::formHasStep(m3.getForm())) {
        JGDDMSAngle dms;
        dms.setRad(angle, -10, 261);
        dms.setDMS(dms.getDMS(m3), -6, 261);
        angle = dms.getRad(-10, 261);
    }
    const double half = angle / 2;
    if (std::fabs(std::cos(half)) < 1e-8) {
        clear();
        return 0;
    }
    *c = chord;
    *t = angle;
    *h = half;
    *T = R * std::tan(half);
    *E = R * (1 / std::cos(half) - 1);
    *L = R * angle;
    *M = R * std::cos(half);
    const double area = (angle - std::sin(angle)) * R * R / 2;
    *S = m4.rround(R < 0 ? -area : area);
    return 1;
}

void HulvaneTool::men_th(double a, double b, double *ra, double *rb, double *p,
                         const JGDRoundMode &m1, const JGDRoundMode &m2,
                         const JGDRoundMode &m3) const {
    if (ra == nullptr || rb == nullptr || p == nullptr)
        return;
    *ra = m1.rround(a);
    *rb = m2.rround(b);
    *p = m3.rround(*ra * *rb);
}
