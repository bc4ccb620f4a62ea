// glint-tool atlas pack OUT_BASE IMAGES...: packs images into numbered page
// images and the ".atlas" description that maps each image's path to its
// rectangle, so that the engine loads a scene's many small images as a few
// large textures while scenes keep naming the images themselves.
#include "atlas_pack.h"
#include "command.h"

#include "engine/images/image_buffer.h"
#include "engine/images/image_handler.h"
#include "resource/atlas.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace glint::tool {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "glint-tool atlas pack OUT_BASE IMAGES... [--max-size N] [--padding N] [--root DIR]";
constexpr int kLargestPage = 2048; // the engine decodes no larger image
constexpr int kSmallestPage = 16;
constexpr int kMaxPadding = 64;

struct PackOptions {
    std::string outBase;
    std::vector<std::string> images;
    std::string root; // image names are paths relative to it
    int maxSize = kLargestPage;
    int padding = 2; // transparent gap, so that linear filtering never reaches a neighbour
};

struct SourceImage {
    std::string path;
    std::string name; // as the description lists it
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0xAARRGGBB, rows top to bottom
};

int fail(int status, const std::string& message) {
    std::fprintf(stderr, "glint-tool atlas: %s\n", message.c_str());
    return status;
}

int usage() { return fail(2, std::string("usage: ") + kUsage); }

bool parseNumberArgument(const char* text, int low, int high, int* value) {
    errno = 0;
    char* end = nullptr;
    long number = std::strtol(text, &end, 10);
    if (errno || end == text || *end || number < low || number > high)
        return false;
    *value = static_cast<int>(number);
    return true;
}

bool isPowerOfTwo(int value) { return value > 0 && (value & (value - 1)) == 0; }

// 0 when the arguments are sound, else the exit status (message printed).
int parseOptions(int argc, char** argv, PackOptions* options) {
    if (argc < 2 || std::strcmp(argv[1], "pack") != 0)
        return usage();
    std::vector<std::string> positional;
    for (int i = 2; i < argc; ++i) {
        const char* argument = argv[i];
        bool isOption = argument[0] == '-' && argument[1] == '-';
        if (!isOption) {
            positional.push_back(argument);
            continue;
        }
        if (i + 1 >= argc)
            return fail(2, std::string(argument) + " needs a value");
        const char* value = argv[++i];
        if (!std::strcmp(argument, "--max-size")) {
            if (!parseNumberArgument(value, kSmallestPage, kLargestPage, &options->maxSize) ||
                !isPowerOfTwo(options->maxSize))
                return fail(2, "--max-size must be a power of two from " + std::to_string(kSmallestPage) +
                                   " to " + std::to_string(kLargestPage) + ", not '" + value + "'");
        } else if (!std::strcmp(argument, "--padding")) {
            if (!parseNumberArgument(value, 0, kMaxPadding, &options->padding))
                return fail(2, "--padding must be a whole number from 0 to " + std::to_string(kMaxPadding) +
                                   ", not '" + value + "'");
        } else if (!std::strcmp(argument, "--root")) {
            options->root = value;
        } else {
            return fail(2, std::string("unknown option '") + argument + "'\nusage: " + kUsage);
        }
    }
    if (positional.empty())
        return usage();
    options->outBase = positional[0];
    options->images.assign(positional.begin() + 1, positional.end());
    if (options->images.empty())
        return fail(2, "no images to pack");
    if (options->root.empty())
        options->root = fs::path(options->outBase).parent_path().string();
    return 0;
}

// The image's path relative to the root, as the engine will look it up
// inside the scene folder; empty (and the reason in error) when the
// description cannot name it.
std::string descriptionName(const std::string& image, const std::string& root, std::string* error) {
    std::error_code ec;
    fs::path base = fs::weakly_canonical(root.empty() ? fs::path(".") : fs::path(root), ec);
    fs::path full = fs::weakly_canonical(image, ec);
    std::string name = full.lexically_relative(base).generic_string();
    if (name.empty() || name == "." || name.rfind("..", 0) == 0) {
        *error = "'" + image + "' does not lie inside '" + (root.empty() ? "." : root) + "' (see --root)";
        return {};
    }
    // The description's tokens are blank-separated and may be quoted; a
    // leading "data/" would make the engine skip the scene folder.
    auto unfit = [](unsigned char c) { return c <= ' ' || c == '"' || c == '\'' || c == 0x7F; };
    if (std::any_of(name.begin(), name.end(), unfit) || name.rfind("data/", 0) == 0) {
        *error = "the engine cannot name '" + name + "' in an atlas (blanks, quotes or a leading data/)";
        return {};
    }
    return name;
}

bool readImage(SourceImage* image, std::string* error) {
    int format = imageFormatForPath(image->path.c_str());
    if (format < 0) {
        *error = "'" + image->path + "' has no image extension the engine reads";
        return false;
    }
    std::error_code ec;
    if (!fs::is_regular_file(image->path, ec)) {
        *error = "cannot read '" + image->path + "': no such file";
        return false;
    }
    std::ifstream in(image->path, std::ios::binary);
    if (!in) {
        *error = "cannot read '" + image->path + "': " + std::strerror(errno);
        return false;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    KImageInfo info;
    if (bytes.empty() || !imageHandlerForFormat(format)->decode(bytes.data(), bytes.size(), &info, true) ||
        !info.isUncompressed) {
        *error = "cannot decode '" + image->path + "'";
        return false;
    }
    image->width = static_cast<int>(info.width);
    image->height = static_cast<int>(info.height);
    image->pixels.assign(imagePixelBuffer, imagePixelBuffer + size_t{info.width} * info.height);
    if (!info.hasAlpha) // the fourth bytes mean nothing then
        for (uint32_t& pixel : image->pixels) pixel |= 0xFF000000u;
    return true;
}

bool loadImages(const PackOptions& options, std::vector<SourceImage>* images, std::string* error) {
    for (const std::string& path : options.images) {
        SourceImage image;
        image.path = path;
        if (!readImage(&image, error))
            return false;
        image.name = descriptionName(path, options.root, error);
        if (image.name.empty())
            return false;
        for (const SourceImage& earlier : *images) {
            if (earlier.name == image.name) {
                *error = "'" + image.name + "' is given twice";
                return false;
            }
        }
        if (image.width > options.maxSize || image.height > options.maxSize) {
            *error = "'" + path + "' is " + std::to_string(image.width) + "x" + std::to_string(image.height) +
                     ", larger than a page of " + std::to_string(options.maxSize) + "x" +
                     std::to_string(options.maxSize);
            return false;
        }
        images->push_back(std::move(image));
    }
    return true;
}

std::vector<PackPlace> place(const std::vector<SourceImage>& images, const PackOptions& options,
                             std::vector<PackSize>* pages) {
    std::vector<PackSize> sizes;
    for (const SourceImage& image : images) sizes.push_back({image.width, image.height});
    return packRectangles(sizes, options.maxSize, options.padding, pages);
}

bool writeBytes(const std::string& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out.flush());
}

bool writePage(const std::string& path, const PackSize& page, int number, const std::vector<SourceImage>& images,
               const std::vector<PackPlace>& places, std::string* error) {
    std::fill_n(imagePixelBuffer, static_cast<size_t>(page.width) * page.height, 0u);
    for (size_t i = 0; i < images.size(); ++i) {
        if (places[i].page != number)
            continue;
        const SourceImage& image = images[i];
        for (int y = 0; y < image.height; ++y)
            std::copy_n(&image.pixels[static_cast<size_t>(y) * image.width], image.width,
                        &imagePixelBuffer[static_cast<size_t>(places[i].y + y) * page.width + places[i].x]);
    }
    KImageInfo info{static_cast<uint32_t>(page.width), static_cast<uint32_t>(page.height), 1, 1};
    uint8_t* png = nullptr;
    size_t size = 0;
    if (!imageHandlerForFormat(K_IMAGE_PNG)->encode(&png, &size, &info, 0)) {
        *error = "cannot encode page " + std::to_string(number) + " as PNG";
        return false;
    }
    std::unique_ptr<uint8_t[]> owned(png);
    if (!writeBytes(path, png, size)) {
        *error = "cannot write '" + path + "'";
        return false;
    }
    return true;
}

// One line per image, "page name x y width height", page by page.
std::string describe(const std::vector<SourceImage>& images, const std::vector<PackPlace>& places) {
    std::vector<size_t> order(images.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return places[a].page < places[b].page; });
    std::string text;
    char numbers[96];
    for (size_t i : order) {
        std::snprintf(numbers, sizeof numbers, " %d %d %d %d\n", places[i].x, places[i].y, images[i].width,
                      images[i].height);
        text += std::to_string(places[i].page) + " " + images[i].name + numbers;
    }
    return text;
}

void printSummary(const std::string& description, const std::vector<SourceImage>& images,
                  const std::vector<PackSize>& pages) {
    double used = 0, total = 0;
    for (const SourceImage& image : images) used += double(image.width) * image.height;
    std::string sizes;
    for (const PackSize& page : pages) {
        total += double(page.width) * page.height;
        sizes += (sizes.empty() ? "" : ", ") + std::to_string(page.width) + "x" + std::to_string(page.height);
    }
    std::printf("atlas: wrote '%s': %zu image%s on %zu page%s (%s), %.0f%% filled\n", description.c_str(),
                images.size(), images.size() == 1 ? "" : "s", pages.size(), pages.size() == 1 ? "" : "s",
                sizes.c_str(), 100.0 * used / total);
}

int pack(const PackOptions& options) {
    std::string error;
    std::vector<SourceImage> images;
    if (!loadImages(options, &images, &error))
        return fail(1, error);
    std::vector<PackSize> pages;
    std::vector<PackPlace> places = place(images, options, &pages);
    const std::string description = options.outBase + ".atlas";
    for (size_t number = 0; number < pages.size(); ++number) {
        std::string path = atlasPagePath(description.c_str(), static_cast<int>(number), "png");
        if (!writePage(path, pages[number], static_cast<int>(number), images, places, &error))
            return fail(1, error);
    }
    std::string text = describe(images, places);
    if (!writeBytes(description, text.data(), text.size()))
        return fail(1, "cannot write '" + description + "'");
    printSummary(description, images, pages);
    return 0;
}

int runAtlas(int argc, char** argv) {
    PackOptions options;
    if (int status = parseOptions(argc, argv, &options))
        return status;
    return pack(options);
}

} // namespace

GLINT_TOOL_COMMAND("atlas", kUsage, runAtlas);

} // namespace glint::tool
