#include "engine/images/gif_lzw.h"

#include "engine/system/log.h"

namespace glint {

namespace {

// Reads codes least significant bit first across the data sub-blocks; the
// zero-length sub-block that ends them ends the data.
class CodeReader {
public:
    CodeReader(const ImageBytes& bytes, size_t pos) : bytes_(bytes), pos_(pos) {}

    // -1 at the end of the data.
    int read(int width) {
        while (bitCount_ < width) {
            if (!nextByte())
                return -1;
        }
        int code = static_cast<int>(bits_ & ((1u << width) - 1));
        bits_ >>= width;
        bitCount_ -= width;
        return code;
    }

private:
    bool nextByte() {
        if (ended_)
            return false;
        if (blockLeft_ == 0) {
            blockLeft_ = bytes_.u8(pos_);
            if (!bytes_.has(pos_++, 1) || blockLeft_ == 0) {
                ended_ = true;
                return false;
            }
        }
        if (!bytes_.has(pos_, 1)) {
            ended_ = true;
            return false;
        }
        bits_ |= static_cast<uint32_t>(bytes_.u8(pos_++)) << bitCount_;
        bitCount_ += 8;
        --blockLeft_;
        return true;
    }

    const ImageBytes& bytes_;
    size_t pos_;
    size_t blockLeft_ = 0;
    uint32_t bits_ = 0;
    int bitCount_ = 0;
    bool ended_ = false;
};

} // namespace

void GifLzwDecoder::decode(const ImageBytes& bytes, size_t pos, GifRaster& raster) {
    int minimumSize = bytes.u8(pos);
    if (!bytes.has(pos, 1) || minimumSize < 1 || minimumSize > 11) {
        logMessage("GIF: invalid LZW minimum code size %d, ERROR", minimumSize);
        return;
    }
    const int clearCode = 1 << minimumSize;
    const int endCode = clearCode + 1;
    for (int i = 0; i < clearCode; ++i) {
        prefix_[i] = -1;
        suffix_[i] = static_cast<uint8_t>(i);
    }
    CodeReader reader(bytes, pos + 1);
    int width = minimumSize + 1;
    int nextCode = clearCode + 2;
    int previous = -1;
    uint8_t previousFirst = 0;
    while (!raster.full()) {
        int code = reader.read(width);
        if (code < 0 || code == endCode)
            return;
        if (code == clearCode) {
            width = minimumSize + 1;
            nextCode = clearCode + 2;
            previous = -1;
            continue;
        }
        if (code > nextCode || (previous < 0 && code >= clearCode)) {
            logMessage("GIF: invalid LZW code");
            return;
        }
        int top = 0;
        int walk = code;
        if (code == nextCode) {
            stack_[top++] = previousFirst;
            walk = previous;
        }
        while (walk >= clearCode) {
            if (top >= kTableSize) {
                logMessage("GIF: stack overflow");
                return;
            }
            stack_[top++] = suffix_[walk];
            walk = prefix_[walk];
        }
        if (top >= kTableSize) {
            logMessage("GIF: stack overflow");
            return;
        }
        stack_[top++] = suffix_[walk];
        uint8_t first = suffix_[walk];
        while (top > 0 && raster.put(stack_[--top])) {
        }
        if (previous >= 0 && nextCode < kTableSize) {
            prefix_[nextCode] = previous;
            suffix_[nextCode] = first;
            if (++nextCode == 1 << width && width < 12)
                ++width;
        }
        previous = code;
        previousFirst = first;
    }
}

} // namespace glint
