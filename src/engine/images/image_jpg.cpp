#include "engine/images/image_jpg.h"

#include "engine/images/image_buffer.h"
#include "engine/images/image_bytes.h"
#include "engine/images/image_output.h"
#include "engine/images/jpeg_memory.h"
#include "engine/system/log.h"

#include <algorithm>
#include <memory>

namespace glint {

namespace {

// Only plain data lives between setjmp and a library error's longjmp; the
// decompressor's own pool holds the row buffer.
bool readImage(jpeg_decompress_struct& decompressor, KImageInfo* info) {
    jpeg_read_header(&decompressor, TRUE);
    if (!imageFitsPixelBuffer("Jpeg", decompressor.image_width, decompressor.image_height))
        return false;
    jpeg_start_decompress(&decompressor);
    int components = decompressor.output_components;
    if (components != 1 && components != 3) {
        logMessage("Jpeg: unsupported number of color components (%d)", components);
        return false;
    }
    uint32_t width = decompressor.output_width;
    JSAMPARRAY row = (*decompressor.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&decompressor), JPOOL_IMAGE,
                                                       width * static_cast<uint32_t>(components), 1);
    while (decompressor.output_scanline < decompressor.output_height) {
        uint32_t* out = imageDecodeTarget() + size_t{decompressor.output_scanline} * width;
        jpeg_read_scanlines(&decompressor, row, 1);
        const JSAMPLE* in = row[0];
        for (uint32_t x = 0; x < width; ++x, in += components)
            out[x] = components == 1 ? opaquePixel(in[0], in[0], in[0]) : opaquePixel(in[0], in[1], in[2]);
    }
    jpeg_finish_decompress(&decompressor);
    *info = KImageInfo{width, decompressor.output_height, 0, 1};
    return true;
}

bool writeImage(jpeg_compress_struct& compressor, const KImageInfo* info, int quality) {
    compressor.image_width = info->width;
    compressor.image_height = info->height;
    compressor.input_components = 3;
    compressor.in_color_space = JCS_RGB;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, quality, TRUE);
    jpeg_start_compress(&compressor, TRUE);
    JSAMPARRAY row = (*compressor.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&compressor), JPOOL_IMAGE,
                                                     info->width * 3, 1);
    while (compressor.next_scanline < compressor.image_height) {
        const uint32_t* in = imagePixelBuffer + size_t{compressor.next_scanline} * info->width;
        JSAMPLE* out = row[0];
        for (uint32_t x = 0; x < info->width; ++x, out += 3) {
            out[0] = static_cast<JSAMPLE>(in[x] >> 16);
            out[1] = static_cast<JSAMPLE>(in[x] >> 8);
            out[2] = static_cast<JSAMPLE>(in[x]);
        }
        jpeg_write_scanlines(&compressor, row, 1);
    }
    jpeg_finish_compress(&compressor);
    return true;
}

} // namespace

bool KImageHandlerJpg::decode(const void* data, size_t size, KImageInfo* info, bool) {
    jpeg_decompress_struct decompressor;
    JpegErrorManager errors;
    decompressor.err = jpegErrors(&errors);
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&decompressor);
        return false;
    }
    jpeg_create_decompress(&decompressor);
    jpegMemorySource(&decompressor, data, size);
    bool decoded = readImage(decompressor, info);
    jpeg_destroy_decompress(&decompressor);
    return decoded;
}

bool KImageHandlerJpg::encode(uint8_t** output, size_t* outputSize, const KImageInfo* info, int quality) {
    if (!imageCanEncode("Jpeg", info))
        return false;
    size_t capacity = size_t{info->width} * info->height * 6 + 4096;
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[capacity]);
    jpeg_compress_struct compressor;
    JpegErrorManager errors;
    compressor.err = jpegErrors(&errors);
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&compressor);
        return false;
    }
    jpeg_create_compress(&compressor);
    jpegMemoryDestination(&compressor, buffer.get(), capacity);
    writeImage(compressor, info, quality);
    size_t written = jpegMemoryDestinationSize(&compressor);
    jpeg_destroy_compress(&compressor);
    *output = new uint8_t[written];
    std::copy(buffer.get(), buffer.get() + written, *output);
    *outputSize = written;
    return true;
}

} // namespace glint
