#include "pallomir/grid/CMemDC.h"

CMemDCBuffer::CMemDCBuffer(QPainter *target, const QRect &rect) : m_pDrawPainter(target) {
    if (target != nullptr && target->device() != nullptr &&
        target->device()->devType() != QInternal::Printer && !rect.isEmpty()) {
        m_image = QImage(rect.size(), QImage::Format_ARGB32_Premultiplied);
        m_imagePainter = std::make_unique<QPainter>(&m_image);
        m_imagePainter->translate(-rect.topLeft());
        m_pDrawPainter = m_imagePainter.get();
    }
}

CMemDC::CMemDC(QPainter *target, const QRect &rect, COLORREF background, bool printing)
    : CMemDCBuffer(target, printing ? QRect() : rect), CQtDC(m_pDrawPainter, printing),
      m_target(target), m_rect(rect), m_bMemDC(m_imagePainter != nullptr) {
    SetClipBox(ToCRect(rect));
    if (m_bMemDC)
        m_imagePainter->fillRect(rect, ToQColor(background));
}

CMemDC::~CMemDC() {
    if (!m_bMemDC)
        return;
    m_imagePainter->end();
    m_target->drawImage(m_rect.topLeft(), m_image);
}
