// libjpeg plumbing shared by the JPEG decoder and encoder: an error manager
// whose fatal exit jumps back to the caller, and the memory source and
// destination managers.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

namespace glint {

struct JpegErrorManager {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

// Installs the standard error manager with a fatal exit that logs
// "Jpeg: library error: %s" and jumps to errors->jump, and warnings that go
// to the log instead of standard error.
jpeg_error_mgr* jpegErrors(JpegErrorManager* errors);

// Reads from size bytes at data; a request for more data than there is
// feeds an end-of-image marker.
void jpegMemorySource(j_decompress_ptr decompressor, const void* data, size_t size);

// Writes into capacity bytes at buffer; filling it is a fatal error.
// jpegMemoryDestinationSize gives the bytes written once compression ends.
void jpegMemoryDestination(j_compress_ptr compressor, unsigned char* buffer, size_t capacity);
size_t jpegMemoryDestinationSize(j_compress_ptr compressor);

} // namespace glint
