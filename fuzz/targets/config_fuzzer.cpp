// The key=value reader over arbitrary text: the input up to its first zero
// byte is a main file, the rest an override file applied on top, and every
// key is then looked up in each of its forms.
#include "resource/configuration.h"
#include "resource/text_file.h"

#include <cstdint>
#include <cstring>
#include <vector>

using namespace glint;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    const void* zero = std::memchr(data, 0, size);
    size_t mainSize = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - data) : size;
    MConfiguration config("fuzz.cfg");
    MTextFile main;
    main.assignText(text, static_cast<int32_t>(mainSize), "fuzz.cfg");
    config.addMainText(std::move(main));
    if (zero) {
        MTextFile override;
        override.assignText(text + mainSize + 1, static_cast<int32_t>(size - mainSize - 1), "override.cfg");
        config.addOverrideText(std::move(override));
    }
    // Copied first: a replacement may not change the list being walked.
    std::vector<MConfigEntry*> entries = config.entriesInFileOrder();
    for (const MConfigEntry* entry : entries) {
        config.getInt(entry->key, 0);
        config.getFloat(entry->key, 0);
        config.getString(entry->key, nullptr);
        config.getFirstItem(entry->key, nullptr);
        config.replace(entry->key, Value::fromNumber(1));
    }
    return 0;
}
