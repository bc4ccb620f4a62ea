#include "engine/video/video_frame.h"

#include <libyuv/convert_argb.h>

#include <algorithm>

namespace glint {

namespace {

// The blue of BT.601 as integer tables: a luma term offset by 1024, a
// chroma term, and a clamp back to 0-255 placed in the alpha byte.
struct AlphaTables {
    int luma[256];
    int chroma[256];
    uint32_t clamp[2048];

    AlphaTables() {
        for (int v = 0; v < 256; ++v) {
            luma[v] = 1024 + static_cast<int>(1.1643835 * (v - 16));
            chroma[v] = static_cast<int>(2.017232 * (v - 128));
        }
        for (int i = 0; i < 2048; ++i)
            clamp[i] = static_cast<uint32_t>(std::clamp(i - 1024, 0, 255)) << 24;
    }
};

const AlphaTables& alphaTables() {
    static const AlphaTables tables;
    return tables;
}

uint32_t powerOfTwoCovering(uint32_t size) {
    uint32_t power = 2;
    while (power < size)
        power *= 2;
    return power;
}

int chromaShiftX(const th_info& info) { return info.pixel_fmt == TH_PF_444 ? 0 : 1; }
int chromaShiftY(const th_info& info) { return info.pixel_fmt == TH_PF_420 ? 1 : 0; }

const unsigned char* row(const th_img_plane& plane, uint32_t y) {
    return plane.data + static_cast<std::ptrdiff_t>(y) * plane.stride;
}

void convertColour(const th_info& info, const th_ycbcr_buffer planes, uint32_t rows, const KVideoFrameLayout& layout,
                   uint32_t* pixels) {
    int sx = chromaShiftX(info), sy = chromaShiftY(info);
    const unsigned char* y = row(planes[0], info.pic_y) + info.pic_x;
    const unsigned char* cb = row(planes[1], info.pic_y >> sy) + (info.pic_x >> sx);
    const unsigned char* cr = row(planes[2], info.pic_y >> sy) + (info.pic_x >> sx);
    auto* out = reinterpret_cast<uint8_t*>(pixels);
    int width = static_cast<int>(layout.width), height = static_cast<int>(rows), stride = width * 4;
    switch (info.pixel_fmt) {
    case TH_PF_444:
        libyuv::I444ToARGB(y, planes[0].stride, cb, planes[1].stride, cr, planes[2].stride, out, stride, width, height);
        break;
    case TH_PF_422:
        libyuv::I422ToARGB(y, planes[0].stride, cb, planes[1].stride, cr, planes[2].stride, out, stride, width, height);
        break;
    default:
        libyuv::I420ToARGB(y, planes[0].stride, cb, planes[1].stride, cr, planes[2].stride, out, stride, width, height);
        break;
    }
}

// The lower half of the picture is a grey picture of the alpha: each
// output row takes the blue that its counterpart below would convert to.
void applyStackedAlpha(const th_info& info, const th_ycbcr_buffer planes, uint32_t rows,
                       const KVideoFrameLayout& layout, uint32_t* pixels) {
    const AlphaTables& t = alphaTables();
    int sx = chromaShiftX(info), sy = chromaShiftY(info);
    for (uint32_t i = 0; i < rows; ++i) {
        uint32_t source = std::min(info.pic_y + layout.height + i, info.frame_height - 1);
        const unsigned char* y = row(planes[0], source) + info.pic_x;
        const unsigned char* cb = row(planes[1], source >> sy);
        uint32_t* out = pixels + static_cast<size_t>(i) * layout.width;
        for (uint32_t x = 0; x < layout.width; ++x) {
            int index = t.luma[y[x]] + t.chroma[cb[(info.pic_x + x) >> sx]];
            out[x] = (out[x] & 0xFFFFFFu) | t.clamp[index];
        }
    }
}

void applyColorAlpha(uint32_t* pixels, size_t count) {
    for (size_t i = 0; i < count; ++i)
        pixels[i] = (pixels[i] & 0xFFFFFFu) * 0x01000001u;
}

} // namespace

KVideoFrameLayout videoFrameLayout(const th_info& info, bool stackedAlpha, bool colorAlpha) {
    KVideoFrameLayout layout;
    layout.stackedAlpha = stackedAlpha;
    layout.colorAlpha = colorAlpha;
    layout.width = info.pic_width & ~1u;
    uint32_t height = stackedAlpha ? info.pic_height / 2 : info.pic_height;
    layout.height = (height + 1) & ~1u;
    layout.textureSize = powerOfTwoCovering(std::max(layout.width, layout.height));
    return layout;
}

void convertVideoPicture(const th_info& info, const th_ycbcr_buffer planes, const KVideoFrameLayout& layout,
                         uint32_t* pixels) {
    // An odd picture height rounds up past the picture; the decoded frame
    // may end there.
    uint32_t available = info.frame_height > info.pic_y ? info.frame_height - info.pic_y : 0;
    uint32_t rows = std::min(layout.height, available);
    if (layout.width == 0 || rows == 0)
        return;
    convertColour(info, planes, rows, layout, pixels);
    if (layout.stackedAlpha)
        applyStackedAlpha(info, planes, rows, layout, pixels);
    if (layout.colorAlpha)
        applyColorAlpha(pixels, static_cast<size_t>(layout.width) * rows);
}

} // namespace glint
