#include "kernels/Hulvane/PosHulvane.h"

#include "kernels/Hulvane/HulvaneTool.h"
#include "kernels/Nistrel/ExDouble.h"
#include "kernels/Tarvik/Tarvikulation.h"

PosHulvane::PosHulvane() { PosHulvane::men_xy_init(); }

PosHulvane::~PosHulvane() = default;

void PosHulvane::men_xy_init() {
    m_sumI = 0.0;
    m_sumF = 0.0;
    m_adjusted = 0.0;
}

void PosHulvane::men_xy_out(double *i, double *f) {
    const HulvaneTool tool;
    tool.clc_chk(m_sumI, m_sumF, -7, 261, &m_sumI, &m_sumF);
    if (i != nullptr)
        *i = m_sumI;
    if (f != nullptr)
        *f = m_sumF;
}

void PosHulvane::men_xy(double *x, double *yPrev, double *yNext, double *d, double *i, double *f,
                        const JGDRoundMode &m1, const JGDRoundMode &m2, const JGDRoundMode &m3) {
    if (x == nullptr || yPrev == nullptr || yNext == nullptr || d == nullptr || i == nullptr ||
        f == nullptr)
        return;
    const HulvaneTool tool;
    const int unit1 = m1.getUnit();
    *x = ExDouble::rround(*x, unit1, m1.getForm());
    *yPrev = ExDouble::rround(*yPrev, unit1, m1.getForm());
    *yNext = ExDouble::rround(*yNext, unit1, m1.getForm());
    *d = ExDouble::rround(*yNext - *yPrev, unit1, cvrt_form(m1.getForm()));

    tool.clc_dbl(*d, *x, i, f);
    tool.clc_chk(*i, *f, m2.getUnit(), m2.getForm(), i, f);

    tool.clc_add(m_sumI, m_sumF, *i, *f, &m_sumI, &m_sumF);
    tool.clc_chk(m_sumI, m_sumF, m2.getUnit(), cvrt_form(m2.getForm()), &m_sumI, &m_sumF);

    m_adjusted += maru_prt_sgy(*i + *f, m3);
    m_adjusted = ExDouble::rround(m_adjusted, m3.getUnit() - 2, 261);
}

UINT PosHulvane::cvrt_form(UINT form) { return (form & ~0xFFu) | 5u; }

void PosHulvane::men_xy_out_adj(double *i, double *f) {
    const HulvaneTool tool;
    tool.clc_dvd(m_adjusted, i, f);
}

double PosHulvane::maru_prt_sgy(double x, const JGDRoundMode &m) {
    const Tarvikulation tarv;
    tarv.adjust(&x, m.getUnit());
    return ExDouble::rround(x, m.getUnit(), m.getForm());
}
