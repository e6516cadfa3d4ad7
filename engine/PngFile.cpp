#include "engine/PngFile.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

namespace Orvel {

namespace {

void SetError(std::string* error, const std::string& text)
{
    if (error != nullptr)
        *error = text;
}

} // namespace

std::vector<uint8_t> EncodePng(int width, int height, const uint32_t* pixels, bool alpha, std::string* error)
{
    if (width <= 0 || height <= 0 || pixels == nullptr) {
        SetError(error, "no picture to encode (" + std::to_string(width) + " x " + std::to_string(height) + ")");
        return {};
    }
    try {
        // Bytes in the file's order: R, G, B (and A).
        const size_t channels = alpha ? 4 : 3;
        const size_t count = size_t(width) * size_t(height);
        std::vector<uint8_t> samples(count * channels);
        uint8_t* to = samples.data();
        for (size_t i = 0; i < count; ++i) {
            const uint32_t c = pixels[i];
            *to++ = uint8_t(c >> 16);
            *to++ = uint8_t(c >> 8);
            *to++ = uint8_t(c);
            if (alpha)
                *to++ = uint8_t(c >> 24);
        }
        png_image image;
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
        image.width = png_uint_32(width);
        image.height = png_uint_32(height);
        image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
        std::vector<uint8_t> file(PNG_IMAGE_PNG_SIZE_MAX(image));
        png_alloc_size_t size = file.size();
        if (!png_image_write_to_memory(&image, file.data(), &size, 0, samples.data(), 0, nullptr)) {
            SetError(error, std::string("the PNG encoder failed: ") + image.message);
            png_image_free(&image);
            return {};
        }
        file.resize(size);
        return file;
    } catch (const std::bad_alloc&) {
        SetError(error, "out of memory for the PNG picture");
        return {};
    }
}

bool WritePngFile(const std::string& path, int width, int height, const uint32_t* pixels, bool alpha,
                  std::string* error)
{
    std::string reason;
    const std::vector<uint8_t> bytes = EncodePng(width, height, pixels, alpha, &reason);
    if (bytes.empty()) {
        SetError(error, path + ": " + reason);
        return false;
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        SetError(error, path + ": " + std::strerror(errno));
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeErrno = errno;
    if (std::fclose(file) != 0 || !written) {
        SetError(error, path + ": " + std::strerror(written ? errno : writeErrno));
        return false;
    }
    return true;
}

bool DecodePng(const uint8_t* bytes, size_t size, int& width, int& height, std::vector<uint32_t>& pixels,
               std::string* error)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes, size)) {
        SetError(error, std::string("not a PNG picture: ") + image.message);
        return false;
    }
    // Larger than any picture of the game: refused before memory is asked for.
    constexpr png_uint_32 kMaxSide = 16384;
    if (image.width > kMaxSide || image.height > kMaxSide) {
        png_image_free(&image);
        SetError(error, "a PNG picture of " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                            " pixels is too large");
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    try {
        std::vector<uint8_t> samples(PNG_IMAGE_SIZE(image));
        if (!png_image_finish_read(&image, nullptr, samples.data(), 0, nullptr)) {
            SetError(error, std::string("a damaged PNG picture: ") + image.message);
            return false;
        }
        width = int(image.width);
        height = int(image.height);
        pixels.resize(size_t(image.width) * image.height);
        const uint8_t* from = samples.data();
        for (uint32_t& p : pixels) {
            p = uint32_t(from[3]) << 24 | uint32_t(from[0]) << 16 | uint32_t(from[1]) << 8 | from[2];
            from += 4;
        }
        return true;
    } catch (const std::bad_alloc&) {
        png_image_free(&image);
        SetError(error, "out of memory for the PNG picture");
        return false;
    }
}

bool ReadPngFile(const std::string& path, int& width, int& height, std::vector<uint32_t>& pixels, std::string* error)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        SetError(error, path + ": " + std::strerror(errno));
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.insert(bytes.end(), buffer, buffer + got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        SetError(error, path + ": cannot be read");
        return false;
    }
    std::string reason;
    if (!DecodePng(bytes.data(), bytes.size(), width, height, pixels, &reason)) {
        SetError(error, path + ": " + reason);
        return false;
    }
    return true;
}

} // namespace Orvel
