#include "pallomir/grid/core/CImageList.h"

bool CImageList::Create(int cx, int cy, UINT, int, int) {
    if (cx <= 0 || cy <= 0)
        return false;
    m_cx = cx;
    m_cy = cy;
    m_created = true;
    m_images.clear();
    return true;
}

int CImageList::Add(const CBitmapData &bitmap, COLORREF mask) {
    if (!m_created || bitmap.width < 0 || bitmap.height < 0 ||
        bitmap.pixels.size() <
            static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height))
        return -1;
    CBitmapData image;
    image.width = m_cx;
    image.height = m_cy;
    image.pixels.assign(static_cast<std::size_t>(m_cx) * static_cast<std::size_t>(m_cy), 0);
    const std::uint32_t maskArgb = 0xFF000000u |
                                   (static_cast<std::uint32_t>(GetRValue(mask)) << 16) |
                                   (static_cast<std::uint32_t>(GetGValue(mask)) << 8) |
                                   static_cast<std::uint32_t>(GetBValue(mask));
    for (int y = 0; y < std::min(m_cy, bitmap.height); ++y) {
        for (int x = 0; x < std::min(m_cx, bitmap.width); ++x) {
            const std::uint32_t pixel =
                bitmap.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(bitmap.width) +
                              static_cast<std::size_t>(x)];
            image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_cx) +
                         static_cast<std::size_t>(x)] = pixel == maskArgb ? 0u : pixel;
        }
    }
    m_images.push_back(std::move(image));
    return GetImageCount() - 1;
}

bool CImageList::GetImageInfo(int index, IMAGEINFO *info) const {
    if (info == nullptr || index < 0 || index >= GetImageCount())
        return false;
    info->rcImage = CRect(index * m_cx, 0, (index + 1) * m_cx, m_cy);
    return true;
}

const CBitmapData *CImageList::GetImage(int index) const {
    if (index < 0 || index >= GetImageCount())
        return nullptr;
    return &m_images[static_cast<std::size_t>(index)];
}
