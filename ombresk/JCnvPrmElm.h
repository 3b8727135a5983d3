#pragma once

#include "ombresk/JMeshCode.h"

// Shifts of one grid node (the south-west corner of a third-level square):
// dB and dL in arc seconds. Compared by the node's key.
class JCnvPrmElm {
  public:
    JCnvPrmElm() = default;
    JCnvPrmElm(const JMeshCodeElm &code, float dB, float dL) : m_code(code), m_dB(dB), m_dL(dL) {}
    JCnvPrmElm(const JCnvPrmElm &) = default;
    JCnvPrmElm &operator=(const JCnvPrmElm &) = default;
    virtual ~JCnvPrmElm();

    const JMeshCodeElm &GetMeshCodeElm() const { return m_code; }
    WORD GetKey() const { return m_code.GetKey(); }
    float GetdB() const { return m_dB; }
    float GetdL() const { return m_dL; }

    void SetMeshCodeElm(const JMeshCodeElm &code) { m_code = code; }
    void SetdB(float dB) { m_dB = dB; }
    void SetdL(float dL) { m_dL = dL; }

    bool operator<(const JCnvPrmElm &other) const { return m_code < other.m_code; }
    bool operator>(const JCnvPrmElm &other) const { return m_code > other.m_code; }
    bool operator==(const JCnvPrmElm &other) const { return m_code == other.m_code; }

  protected:
    JMeshCodeElm m_code;
    float m_dB = 0.0f;
    float m_dL = 0.0f;
};

// A semi-dynamic node: adds the height shift dH in metres.
class JSemiDynPrmElm : public JCnvPrmElm {
  public:
    JSemiDynPrmElm() = default;
    JSemiDynPrmElm(const JMeshCodeElm &code, float dB, float dL, float dH)
        : JCnvPrmElm(code, dB, dL), m_dH(dH) {}
    ~JSemiDynPrmElm() override;

    float GetdH() const { return m_dH; }
    void SetdH(float dH) { m_dH = dH; }

  protected:
    float m_dH = 0.0f;
};
