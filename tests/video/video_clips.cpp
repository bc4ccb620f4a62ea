#include "video/video_clips.h"

#include "engine/render/gl.h"
#include "engine/render/texture.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <ogg/ogg.h>

#include <cstdio>
#include <cstring>
#include <sstream>

namespace glint::test {

void makeClip(const std::string& path, const std::string& graph, const std::string& extra) {
    CommandResult made = runCommand("ffmpeg -v error -y -filter_complex " + shellQuote(graph) + " " + extra +
                                    " -c:v libtheora -q:v 9 " + shellQuote(path));
    ASSERT_EQ(made.status, 0) << made.err;
}

std::string colourSeconds(const std::vector<std::string>& colours, int width, int height, int fps) {
    std::ostringstream graph;
    for (size_t i = 0; i < colours.size(); ++i)
        graph << "color=" << colours[i] << ":s=" << width << "x" << height << ":r=" << fps << ":d=1[c" << i << "];";
    for (size_t i = 0; i < colours.size(); ++i)
        graph << "[c" << i << "]";
    graph << "concat=n=" << colours.size()
          << ",format=yuv444p,geq=lum='if(lt(X,4)*lt(Y,4),mod(N*37,200)+20,lum(X,Y))':cb='cb(X,Y)':cr='cr(X,Y)'"
          << ",format=yuv420p";
    return graph.str();
}

std::string colourPerFrame(int frames, int width, int height, int fps) {
    std::ostringstream graph;
    graph << "color=black:s=" << width << "x" << height << ":r=" << fps << ":d=" << static_cast<double>(frames) / fps
          << ",format=yuv444p,geq=lum='40+N*7':cb='90+N*3':cr='200-N*4',format=yuv420p";
    return graph.str();
}

void setPictureSize(const std::string& path, uint32_t width, uint32_t height) {
    std::string file = readFile(path);
    // The first page holds the identification header alone: 27 header
    // bytes, one lacing value, then the packet.
    ASSERT_GT(file.size(), 28u + 42u);
    ASSERT_EQ(file.compare(0, 4, "OggS"), 0);
    auto* bytes = reinterpret_cast<unsigned char*>(file.data());
    unsigned char* packet = bytes + 28;
    ASSERT_EQ(std::memcmp(packet, "\x80theora", 7), 0);
    uint32_t frameHeight = (packet[12] << 8 | packet[13]) * 16u;
    auto put24 = [](unsigned char* at, uint32_t value) {
        at[0] = static_cast<unsigned char>(value >> 16);
        at[1] = static_cast<unsigned char>(value >> 8);
        at[2] = static_cast<unsigned char>(value);
    };
    put24(packet + 14, width);
    put24(packet + 17, height);
    packet[20] = 0;                                            // x from the left
    packet[21] = static_cast<unsigned char>(frameHeight - height); // y from the bottom
    ogg_page page{bytes, 28, packet, bytes[27]};
    ogg_page_checksum_set(&page);
    writeFile(path, file);
}

std::string editPages(const std::string& file, const std::function<bool(int index, ogg_page& page)>& edit) {
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    char* buffer = ogg_sync_buffer(&sync, static_cast<long>(file.size()));
    std::memcpy(buffer, file.data(), file.size());
    ogg_sync_wrote(&sync, static_cast<long>(file.size()));
    std::string out;
    ogg_page page;
    for (int index = 0; ogg_sync_pageout(&sync, &page) == 1; ++index) {
        if (!edit(index, page))
            break;
        ogg_page_checksum_set(&page);
        out.append(reinterpret_cast<char*>(page.header), static_cast<size_t>(page.header_len));
        out.append(reinterpret_cast<char*>(page.body), static_cast<size_t>(page.body_len));
    }
    ogg_sync_clear(&sync);
    return out;
}

std::string editPage(const std::string& file, int nth, const std::function<void(ogg_page&)>& edit) {
    return editPages(file, [&](int index, ogg_page& page) {
        if (index == nth)
            edit(page);
        return true;
    });
}

DecodedClip decodeWithFfmpeg(const std::string& path) {
    DecodedClip clip;
    CommandResult size = runCommand("ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 " +
                                    shellQuote(path));
    if (std::sscanf(size.out.c_str(), "%d,%d", &clip.width, &clip.height) != 2)
        return clip;
    CommandResult raw = runCommand("ffmpeg -v error -i " + shellQuote(path) + " -f rawvideo -pix_fmt bgra -");
    size_t frameBytes = static_cast<size_t>(clip.width) * clip.height * 4;
    for (size_t at = 0; frameBytes > 0 && at + frameBytes <= raw.out.size(); at += frameBytes) {
        std::vector<uint32_t> frame(frameBytes / 4);
        std::memcpy(frame.data(), raw.out.data() + at, frameBytes);
        clip.frames.push_back(std::move(frame));
    }
    return clip;
}

std::vector<uint32_t> texturePixels(const KTexture& texture) {
    std::vector<uint32_t> pixels(static_cast<size_t>(texture.textureWidth) * texture.textureHeight);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture.glName));
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    return pixels;
}

std::string hexColour(uint32_t pixel) {
    char text[16];
    std::snprintf(text, sizeof text, "#%06X", pixel & 0xFFFFFF);
    return text;
}

} // namespace glint::test
