#pragma once

#include "pallomir/grid/CQtDC.h"

#include <QImage>
#include <QPainter>

#include <memory>

// The off-screen image behind a CMemDC; made before the device context that paints into it.
class CMemDCBuffer {
  protected:
    CMemDCBuffer(QPainter *target, const QRect &rect);

    QImage m_image;
    std::unique_ptr<QPainter> m_imagePainter;
    // The image's painter, or the target itself when it prints.
    QPainter *m_pDrawPainter;
};

// Paints off screen and copies the picture to the target when it goes, so that the grid
// never shows half a picture. A target that prints is painted directly.
class CMemDC : private CMemDCBuffer, public CQtDC {
  public:
    // rect: the part of the target to paint, which starts filled with the background.
    CMemDC(QPainter *target, const QRect &rect, COLORREF background, bool printing = false);
    ~CMemDC() override;
    CMemDC(const CMemDC &) = delete;
    CMemDC &operator=(const CMemDC &) = delete;

  private:
    QPainter *m_target;
    QRect m_rect;
    bool m_bMemDC;
};
