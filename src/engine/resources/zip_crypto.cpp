#include "engine/resources/zip_crypto.h"

#include <zlib.h>

namespace glint {

namespace {

uint32_t crcStep(uint32_t crc, unsigned char byte) {
    static const z_crc_t* table = get_crc_table();
    return static_cast<uint32_t>(table[(crc ^ byte) & 0xff]) ^ (crc >> 8);
}

} // namespace

ZipCrypto::ZipCrypto(const char* password) : keys_{0x12345678u, 0x23456789u, 0x34567890u} {
    for (const char* p = password; *p; ++p)
        update(static_cast<unsigned char>(*p));
}

void ZipCrypto::update(unsigned char plain) {
    keys_[0] = crcStep(keys_[0], plain);
    keys_[1] = (keys_[1] + (keys_[0] & 0xff)) * 134775813u + 1;
    keys_[2] = crcStep(keys_[2], static_cast<unsigned char>(keys_[1] >> 24));
}

unsigned char ZipCrypto::keyStreamByte() const {
    uint32_t temp = (keys_[2] | 2) & 0xffff;
    return static_cast<unsigned char>((temp * (temp ^ 1)) >> 8);
}

void ZipCrypto::decrypt(unsigned char* data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        data[i] ^= keyStreamByte();
        update(data[i]);
    }
}

void ZipCrypto::encrypt(unsigned char* data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        unsigned char plain = data[i];
        data[i] ^= keyStreamByte();
        update(plain);
    }
}

bool zipDecryptEntry(const char* password, unsigned char* data, size_t size, unsigned char checkByte) {
    if (size < kZipCryptoHeaderSize)
        return false;
    ZipCrypto(password).decrypt(data, size);
    return data[kZipCryptoHeaderSize - 1] == checkByte;
}

} // namespace glint
