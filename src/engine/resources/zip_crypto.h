// Traditional PKWARE zip encryption. The system's minizip is built without
// it, so entries are read raw and deciphered here; the authoring tool uses
// the same cipher to write them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace glint {

// Every encrypted entry starts with this many enciphered header bytes.
constexpr size_t kZipCryptoHeaderSize = 12;

class ZipCrypto {
public:
    explicit ZipCrypto(const char* password);
    void decrypt(unsigned char* data, size_t size);
    void encrypt(unsigned char* data, size_t size);

private:
    void update(unsigned char plain);
    unsigned char keyStreamByte() const;

    uint32_t keys_[3];
};

// Deciphers a raw entry (header included) in place and returns false when
// its check byte shows the wrong password. checkByte is the high byte of the
// entry's crc, or of its DOS time when the sizes follow the data.
bool zipDecryptEntry(const char* password, unsigned char* data, size_t size, unsigned char checkByte);

} // namespace glint
