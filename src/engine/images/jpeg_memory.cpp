#include "engine/images/jpeg_memory.h"

#include "engine/system/log.h"

#include <jerror.h>

namespace glint {

namespace {

[[noreturn]] void exitWithError(j_common_ptr common) {
    char message[JMSG_LENGTH_MAX];
    (*common->err->format_message)(common, message);
    logMessage("Jpeg: library error: %s", message);
    std::longjmp(reinterpret_cast<JpegErrorManager*>(common->err)->jump, 1);
}

void logWarning(j_common_ptr common) {
    char message[JMSG_LENGTH_MAX];
    (*common->err->format_message)(common, message);
    logMessage("Jpeg: library warning: %s", message);
}

const JOCTET fakeEndOfImage[2] = {0xFF, JPEG_EOI};

void initSource(j_decompress_ptr) {}

// The whole file is in the buffer from the start: running dry means the
// data is truncated, and an end marker lets libjpeg finish what it has.
boolean fillInputBuffer(j_decompress_ptr decompressor) {
    std::fputs("jmem_src: fill_input_buffer: should not be called.\n", stderr);
    WARNMS(decompressor, JWRN_JPEG_EOF);
    decompressor->src->next_input_byte = fakeEndOfImage;
    decompressor->src->bytes_in_buffer = sizeof fakeEndOfImage;
    return TRUE;
}

void skipInputData(j_decompress_ptr decompressor, long count) {
    if (count <= 0)
        return;
    jpeg_source_mgr* source = decompressor->src;
    // Nothing lies past the end, so a skip beyond it runs dry once. Walking
    // it two fake bytes at a time would let one marker length in a hostile
    // file cost 32767 refills, each with its line on standard error.
    if (static_cast<size_t>(count) > source->bytes_in_buffer) {
        fillInputBuffer(decompressor);
        return;
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<size_t>(count);
}

void termSource(j_decompress_ptr) {}

struct MemoryDestination {
    jpeg_destination_mgr manager;
    JOCTET* buffer;
    size_t capacity;
};

void initDestination(j_compress_ptr compressor) {
    auto* destination = reinterpret_cast<MemoryDestination*>(compressor->dest);
    destination->manager.next_output_byte = destination->buffer;
    destination->manager.free_in_buffer = destination->capacity;
}

boolean emptyOutputBuffer(j_compress_ptr compressor) {
    std::fputs("jmem_dest: empty_output_buffer: buffer should not ever be full\n", stderr);
    ERREXIT(compressor, JERR_FILE_WRITE);
    return FALSE;
}

void termDestination(j_compress_ptr) {}

} // namespace

jpeg_error_mgr* jpegErrors(JpegErrorManager* errors) {
    jpeg_error_mgr* manager = jpeg_std_error(&errors->manager);
    manager->error_exit = exitWithError;
    manager->output_message = logWarning;
    return manager;
}

void jpegMemorySource(j_decompress_ptr decompressor, const void* data, size_t size) {
    auto* source = static_cast<jpeg_source_mgr*>((*decompressor->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(decompressor), JPOOL_PERMANENT, sizeof(jpeg_source_mgr)));
    source->init_source = initSource;
    source->fill_input_buffer = fillInputBuffer;
    source->skip_input_data = skipInputData;
    source->resync_to_restart = jpeg_resync_to_restart;
    source->term_source = termSource;
    source->next_input_byte = static_cast<const JOCTET*>(data);
    source->bytes_in_buffer = data ? size : 0;
    decompressor->src = source;
}

void jpegMemoryDestination(j_compress_ptr compressor, unsigned char* buffer, size_t capacity) {
    auto* destination = static_cast<MemoryDestination*>((*compressor->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(compressor), JPOOL_PERMANENT, sizeof(MemoryDestination)));
    destination->manager.init_destination = initDestination;
    destination->manager.empty_output_buffer = emptyOutputBuffer;
    destination->manager.term_destination = termDestination;
    destination->buffer = buffer;
    destination->capacity = capacity;
    compressor->dest = &destination->manager;
}

size_t jpegMemoryDestinationSize(j_compress_ptr compressor) {
    auto* destination = reinterpret_cast<MemoryDestination*>(compressor->dest);
    return destination->capacity - destination->manager.free_in_buffer;
}

} // namespace glint
