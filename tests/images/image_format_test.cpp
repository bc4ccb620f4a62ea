#include "engine/images/image_bmp.h"
#include "engine/images/image_dds.h"
#include "engine/images/image_ddz.h"
#include "engine/images/image_gif.h"
#include "engine/images/image_handler.h"
#include "engine/images/image_jpg.h"
#include "engine/images/image_png.h"
#include "engine/images/image_tga.h"
#include "image_test_support.h"

#include <gtest/gtest.h>

#include <map>

using namespace glint;
using namespace glint::test;

TEST(ImageFormat, PathExtensionPicksTheFormat) {
    const std::map<std::string, int> cases = {
        {"a.bmp", K_IMAGE_BMP},
        {"data/scenes/room.JPG", K_IMAGE_JPG},
        {"x.JpG", K_IMAGE_JPG},
        {"x.tga", K_IMAGE_TGA},
        {"x.Png", K_IMAGE_PNG},
        {"x.gif", K_IMAGE_GIF},
        {"x.DDS", K_IMAGE_DDS},
        {"x.ddz", K_IMAGE_DDZ},
        {"archive.png.jpg", K_IMAGE_JPG}, // the last dot counts
        {"x.jpeg", -1},
        {"x.jpg.bak", -1},
        {"noextension", -1},
        {"dir.png/file", -1},
        {".png", K_IMAGE_PNG},
        {"x.", -1},
        {"", -1},
    };
    for (const auto& [path, format] : cases)
        EXPECT_EQ(imageFormatForPath(path.c_str()), format) << path;
    EXPECT_EQ(imageFormatForPath(nullptr), -1);
}

TEST(ImageFormat, TableHoldsOneHandlerOfEachKind) {
    EXPECT_NE(dynamic_cast<KImageHandlerBmp*>(imageHandlerForFormat(K_IMAGE_BMP)), nullptr);
    EXPECT_NE(dynamic_cast<KImageHandlerJpg*>(imageHandlerForFormat(K_IMAGE_JPG)), nullptr);
    EXPECT_NE(dynamic_cast<KImageHandlerTga*>(imageHandlerForFormat(K_IMAGE_TGA)), nullptr);
    EXPECT_NE(dynamic_cast<KImageHandlerPng*>(imageHandlerForFormat(K_IMAGE_PNG)), nullptr);
    EXPECT_NE(dynamic_cast<KImageHandlerGif*>(imageHandlerForFormat(K_IMAGE_GIF)), nullptr);
    EXPECT_NE(dynamic_cast<KImageHandlerDDS*>(imageHandlerForFormat(K_IMAGE_DDS)), nullptr);
    EXPECT_NE(dynamic_cast<KImageHandlerDDZ*>(imageHandlerForFormat(K_IMAGE_DDZ)), nullptr);
    EXPECT_EQ(imageHandlerForFormat(-1), nullptr);
    EXPECT_EQ(imageHandlerForFormat(kImageFormatCount), nullptr);
    EXPECT_EQ(imageHandlerForFormat(K_IMAGE_PNG), imageHandlerForFormat(imageFormatForPath("b.png")));
}

TEST(ImageFormat, DdzNeverDecodesAndLogsNothing) {
    Fixtures fixtures;
    std::string dds = fixtures.make("a.dds", std::string(Fixtures::kAlpha) + " -define dds:compression=dxt5");
    for (const std::string& bytes : {std::string(), std::string("DDZ data"), dds}) {
        EXPECT_FALSE(decodeAs(K_IMAGE_DDZ, bytes).ok);
        EXPECT_EQ(memoryLog(), "");
    }
}
