#include "engine/images/image_bmp.h"
#include "engine/images/image_dds.h"
#include "engine/images/image_ddz.h"
#include "engine/images/image_gif.h"
#include "engine/images/image_handler.h"
#include "engine/images/image_jpg.h"
#include "engine/images/image_png.h"
#include "engine/images/image_tga.h"

#include <cstring>

namespace glint {

namespace {

KImageHandlerBmp bmpHandler;
KImageHandlerJpg jpgHandler;
KImageHandlerTga tgaHandler;
KImageHandlerPng pngHandler;
KImageHandlerGif gifHandler;
KImageHandlerDDS ddsHandler;
KImageHandlerDDZ ddzHandler;

KImageHandler* const handlers[kImageFormatCount] = {
    &bmpHandler, &jpgHandler, &tgaHandler, &pngHandler, &gifHandler, &ddsHandler, &ddzHandler,
};

// Extensions in the order they are tried, with their format numbers.
struct Extension {
    const char* text;
    int format;
};
constexpr Extension extensions[] = {
    {".bmp", K_IMAGE_BMP}, {".tga", K_IMAGE_TGA}, {".png", K_IMAGE_PNG}, {".jpg", K_IMAGE_JPG},
    {".gif", K_IMAGE_GIF}, {".dds", K_IMAGE_DDS}, {".ddz", K_IMAGE_DDZ},
};

bool equalsIgnoringAsciiCase(const char* a, const char* b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (; *a && *b; ++a, ++b) {
        if (lower(*a) != lower(*b))
            return false;
    }
    return *a == *b;
}

} // namespace

int imageFormatForPath(const char* path) {
    const char* dot = path ? std::strrchr(path, '.') : nullptr;
    if (!dot)
        return -1;
    for (const Extension& extension : extensions) {
        if (equalsIgnoringAsciiCase(dot, extension.text))
            return extension.format;
    }
    return -1;
}

KImageHandler* imageHandlerForFormat(int format) {
    return format >= 0 && format < kImageFormatCount ? handlers[format] : nullptr;
}

} // namespace glint
