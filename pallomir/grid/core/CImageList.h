#pragma once

#include "pallomir/grid/core/GridDefs.h"

#include <cstdint>
#include <vector>

// An image of 32-bit ARGB pixels, row by row.
struct CBitmapData {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

struct IMAGEINFO {
    // Where the image lies in the list's strip of images.
    CRect rcImage;
};

// A list of images of one size, drawn into cells by their index.
class CImageList {
  public:
    // Images of cx x cy pixels; the flags, initial count and growth are accepted for the
    // callers' sake.
    bool Create(int cx, int cy, UINT flags = 0, int initial = 0, int grow = 1);
    // Adds an image (cut or padded to the list's size); pixels of the mask colour become
    // transparent. Answers its index, -1 before Create.
    int Add(const CBitmapData &bitmap, COLORREF mask);
    int GetImageCount() const { return static_cast<int>(m_images.size()); }
    bool GetImageInfo(int index, IMAGEINFO *info) const;
    CSize GetImageSize() const { return CSize(m_cx, m_cy); }
    // Null for an index out of range.
    const CBitmapData *GetImage(int index) const;

  private:
    int m_cx = 0;
    int m_cy = 0;
    bool m_created = false;
    std::vector<CBitmapData> m_images;
};
