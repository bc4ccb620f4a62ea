#include "engine/images/image_png.h"

#include "engine/images/image_buffer.h"
#include "engine/images/image_output.h"
#include "engine/images/png_cgbi.h"
#include "engine/system/log.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace glint {

namespace {

void reportError(png_structp png, png_const_charp message) {
    logMessage("PNG: library error: %s", message);
    png_longjmp(png, 1);
}

void reportWarning(png_structp, png_const_charp message) {
    logMessage("PNG: library warning: %s", message);
}

// One decode: the libpng structures and the rows, released whatever way
// the decode ends. run() holds only plain data, so a library error's
// longjmp back into it skips no destructor.
class PngReader {
public:
    PngReader(const uint8_t* data, size_t size, bool cgbi) : data_(data), size_(size), cgbi_(cgbi) {}
    ~PngReader() {
        if (png_)
            png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr);
    }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    bool run(KImageInfo* info);

private:
    static void read(png_structp png, png_bytep out, size_t count);
    bool create();
    bool readRows(KImageInfo* info);
    void setTransforms();
    void convertRows(uint32_t width, uint32_t height, int channels, KImageInfo* info);

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool cgbi_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    std::vector<png_byte> pixels_;
    std::vector<png_bytep> rows_;
};

void PngReader::read(png_structp png, png_bytep out, size_t count) {
    auto* reader = static_cast<PngReader*>(png_get_io_ptr(png));
    if (count > reader->size_ - reader->pos_)
        png_error(png, "read past the end of the data");
    std::memcpy(out, reader->data_ + reader->pos_, count);
    reader->pos_ += count;
}

bool PngReader::create() {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, reportError, reportWarning);
    if (!png_) {
        logMessage("PNG: k_png_create_read_struct failed to initialize for decoding");
        return false;
    }
    info_ = png_create_info_struct(png_);
    if (!info_) {
        logMessage("PNG: k_png_create_info_struct failed to initialize for decoding");
        return false;
    }
    png_set_read_fn(png_, this, read);
    return true;
}

void PngReader::setTransforms() {
    int colorType = png_get_color_type(png_, info_);
    png_set_strip_16(png_);
    png_set_packing(png_);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png_);
    if (colorType == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png_, info_) < 8)
        png_set_expand_gray_1_2_4_to_8(png_);
    // Textures take RGB or RGBA only: grey, with or without alpha, is
    // widened to three colour channels.
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png_);
    if (png_get_valid(png_, info_, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png_);
    png_set_interlace_handling(png_);
    png_read_update_info(png_, info_);
}

bool PngReader::run(KImageInfo* info) {
    if (!create())
        return false;
    if (setjmp(png_jmpbuf(png_)))
        return false;
    png_read_info(png_, info_);
    if (!imageFitsPixelBuffer("PNG", png_get_image_width(png_, info_), png_get_image_height(png_, info_)))
        return false;
    setTransforms();
    return readRows(info);
}

bool PngReader::readRows(KImageInfo* info) {
    int bitDepth = png_get_bit_depth(png_, info_);
    if (bitDepth != 8) {
        logMessage("PNG: unsupported bit depth (%d)", bitDepth);
        return false;
    }
    int channels = png_get_channels(png_, info_);
    if (channels != 3 && channels != 4) {
        logMessage("PNG: unsupported number of channels (%d)", channels);
        return false;
    }
    uint32_t width = png_get_image_width(png_, info_), height = png_get_image_height(png_, info_);
    size_t rowBytes = png_get_rowbytes(png_, info_);
    pixels_.resize(rowBytes * height);
    rows_.resize(height);
    for (uint32_t y = 0; y < height; ++y)
        rows_[y] = pixels_.data() + y * rowBytes;
    png_read_image(png_, rows_.data());
    convertRows(width, height, channels, info);
    return true;
}

void PngReader::convertRows(uint32_t width, uint32_t height, int channels, KImageInfo* info) {
    for (uint32_t y = 0; y < height; ++y) {
        const png_byte* in = rows_[y];
        uint32_t* out = imageDecodeTarget() + size_t{y} * width;
        if (cgbi_) {
            convertCgbiRow(in, width, channels, out);
            continue;
        }
        for (uint32_t x = 0; x < width; ++x, in += channels) {
            uint32_t alpha = channels == 4 ? in[3] : 0xFF;
            out[x] = alpha << 24 | static_cast<uint32_t>(in[0]) << 16 | static_cast<uint32_t>(in[1]) << 8 | in[2];
        }
    }
    *info = KImageInfo{width, height, channels == 4, 1};
}

// Collects the encoder's output; run() again holds only plain data.
class PngWriter {
public:
    ~PngWriter() {
        if (png_)
            png_destroy_write_struct(&png_, info_ ? &info_ : nullptr);
    }

    bool run(const KImageInfo* info);
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    static void write(png_structp png, png_bytep data, size_t count) {
        auto* writer = static_cast<PngWriter*>(png_get_io_ptr(png));
        writer->bytes_.insert(writer->bytes_.end(), data, data + count);
    }
    static void flush(png_structp) {}
    void writeRows(const KImageInfo* info);

    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    std::vector<uint8_t> bytes_;
    std::vector<png_byte> row_;
};

bool PngWriter::run(const KImageInfo* info) {
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, reportError, reportWarning);
    if (!png_) {
        logMessage("PNG: k_png_create_write_struct failed to initialize for encoding");
        return false;
    }
    info_ = png_create_info_struct(png_);
    if (!info_) {
        logMessage("PNG: k_png_create_info_struct failed to initialize for encoding");
        return false;
    }
    if (setjmp(png_jmpbuf(png_)))
        return false;
    png_set_write_fn(png_, this, write, flush);
    png_set_IHDR(png_, info_, info->width, info->height, 8, info->hasAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png_, info_);
    writeRows(info);
    png_write_end(png_, nullptr);
    return true;
}

void PngWriter::writeRows(const KImageInfo* info) {
    size_t channels = info->hasAlpha ? 4 : 3;
    row_.resize(info->width * channels);
    for (uint32_t y = 0; y < info->height; ++y) {
        const uint32_t* in = imagePixelBuffer + size_t{y} * info->width;
        png_byte* out = row_.data();
        for (uint32_t x = 0; x < info->width; ++x, out += channels) {
            out[0] = static_cast<png_byte>(in[x] >> 16);
            out[1] = static_cast<png_byte>(in[x] >> 8);
            out[2] = static_cast<png_byte>(in[x]);
            if (channels == 4)
                out[3] = static_cast<png_byte>(in[x] >> 24);
        }
        png_write_row(png_, row_.data());
    }
}

} // namespace

bool KImageHandlerPng::decode(const void* data, size_t size, KImageInfo* info, bool) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    std::vector<uint8_t> standard;
    CgbiStream stream = rewriteCgbiPng(bytes, size, standard);
    if (stream == CgbiStream::Damaged)
        return false;
    bool cgbi = stream == CgbiStream::Rewritten;
    PngReader reader(cgbi ? standard.data() : bytes, cgbi ? standard.size() : (data ? size : 0), cgbi);
    return reader.run(info);
}

bool KImageHandlerPng::encode(uint8_t** output, size_t* outputSize, const KImageInfo* info, int) {
    if (!imageCanEncode("PNG", info))
        return false;
    PngWriter writer;
    if (!writer.run(info))
        return false;
    imageHandOver(writer.bytes(), output, outputSize);
    return true;
}

} // namespace glint
