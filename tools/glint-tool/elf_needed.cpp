#include "elf_needed.h"

#include <cstdint>

namespace glint::tool {

namespace {

constexpr uint32_t kProgramDynamic = 2;
constexpr uint32_t kProgramLoad = 1;
constexpr int64_t kTagEnd = 0, kTagNeeded = 1, kTagStringTable = 5, kTagStringTableSize = 10;
constexpr size_t kHeaderSize = 64, kProgramHeaderSize = 56, kDynamicEntrySize = 16;

// Bounds-checked little-endian reads; every offset comes from the file.
class Bytes {
public:
    explicit Bytes(std::string_view data) : data_(data) {}
    bool holds(uint64_t offset, uint64_t size) const {
        return offset <= data_.size() && size <= data_.size() - offset;
    }
    uint64_t number(uint64_t offset, int size) const {
        uint64_t value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = value << 8 | static_cast<unsigned char>(data_[offset + static_cast<uint64_t>(i)]);
        return value;
    }
    std::string_view from(uint64_t offset, uint64_t size) const { return data_.substr(offset, size); }

private:
    std::string_view data_;
};

struct Segment {
    uint64_t offset, address, size;
};

struct Layout {
    std::vector<Segment> loads;
    Segment dynamic{};
    bool hasDynamic = false;
};

bool readLayout(const Bytes& file, Layout& layout) {
    if (!file.holds(0, kHeaderSize) || file.from(0, 4) != "\x7f" "ELF" || file.number(4, 1) != 2 ||
        file.number(5, 1) != 1)
        return false;
    uint64_t table = file.number(0x20, 8), entrySize = file.number(0x36, 2), count = file.number(0x38, 2);
    if (entrySize < kProgramHeaderSize || !file.holds(table, entrySize * count))
        return false;
    for (uint64_t i = 0; i < count; ++i) {
        uint64_t at = table + i * entrySize;
        Segment segment{file.number(at + 0x08, 8), file.number(at + 0x10, 8), file.number(at + 0x20, 8)};
        uint32_t type = static_cast<uint32_t>(file.number(at, 4));
        if (type == kProgramLoad)
            layout.loads.push_back(segment);
        else if (type == kProgramDynamic) {
            layout.dynamic = segment;
            layout.hasDynamic = true;
        }
    }
    return layout.hasDynamic && file.holds(layout.dynamic.offset, layout.dynamic.size);
}

// The file offset of a loaded address, false when no segment holds it.
bool fileOffset(const Layout& layout, uint64_t address, uint64_t& offset) {
    for (const Segment& load : layout.loads) {
        if (address >= load.address && address - load.address < load.size) {
            offset = load.offset + (address - load.address);
            return true;
        }
    }
    return false;
}

} // namespace

bool readNeededLibraries(std::string_view data, std::vector<std::string>& names) {
    Bytes file(data);
    Layout layout;
    if (!readLayout(file, layout))
        return false;
    std::vector<uint64_t> needed;
    uint64_t tableAddress = 0, tableSize = 0;
    for (uint64_t at = layout.dynamic.offset; at + kDynamicEntrySize <= layout.dynamic.offset + layout.dynamic.size;
         at += kDynamicEntrySize) {
        int64_t tag = static_cast<int64_t>(file.number(at, 8));
        uint64_t value = file.number(at + 8, 8);
        if (tag == kTagEnd)
            break;
        if (tag == kTagNeeded)
            needed.push_back(value);
        else if (tag == kTagStringTable)
            tableAddress = value;
        else if (tag == kTagStringTableSize)
            tableSize = value;
    }
    uint64_t table = 0;
    if (!fileOffset(layout, tableAddress, table) || !file.holds(table, tableSize))
        return needed.empty();
    std::string_view strings = file.from(table, tableSize);
    for (uint64_t start : needed) {
        if (start >= strings.size())
            return false;
        size_t end = strings.find('\0', start);
        if (end == std::string_view::npos)
            return false;
        names.emplace_back(strings.substr(start, end - start));
    }
    return true;
}

} // namespace glint::tool
