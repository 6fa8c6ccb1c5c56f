#include "scene/Background.h"
#include "scene/SaverShapes.h"

#include "core/MemoryProfileStore.h"
#include "core/StopRequest.h"
#include "gl/GLCensus.h"
#include "host/offscreen/OffscreenHost.h"
#include "images/TestImages.h"
#include "scene/GLContext.h"
#include "scene/SceneWnd.h"
#include "shapes/Primitives.h"
#include "shapes/Shape.h"
#include "support/TestApp.h"
#include "textures/TextureImage.h"

#include <png.h>

#include <gtest/gtest.h>

namespace {

std::vector<int> gExcluded;

std::unique_ptr<Shape> MakeCube(Random& rng, const MotionContext& motion,
                                const std::vector<int>* excluded) {
    gExcluded = excluded ? *excluded : std::vector<int>{};
    ShapeContext context;
    context.motion = motion;
    return Shape::CreateKind(0, rng, context);
}

testimages::Rgb Colourful(int x, int y) {
    return {static_cast<std::uint8_t>(x * 5), static_cast<std::uint8_t>(y * 7), 128};
}

// Pictures in a folder the settings name, ImageProb as given; the first paint lists them.
struct PhotoApp {
    PhotoApp(int imageProb, const std::vector<std::pair<std::string, testimages::Bytes>>& files)
        : app(Options(imageProb, dir, files)) {
        app.Wnd().OnPaint();
    }
    static TestApp::Options
    Options(int imageProb, const testimages::TempDir& dir,
            const std::vector<std::pair<std::string, testimages::Bytes>>& files) {
        for (const auto& [name, bytes] : files)
            dir.Put(name, bytes);
        TestApp::Options options;
        options.configure = [imageProb, folder = dir.Path().string()](MemoryProfileStore& store) {
            store.SetRaw("ImageProb", std::to_string(imageProb));
            store.WriteFolders(folder + "*");
        };
        return options;
    }
    testimages::TempDir dir;
    TestApp app;
};

TEST(PhotoSceneTest, PhotographWallsTakeThePictureAndReleaseIt) {
    PhotoApp photos(100, {{"a.jpg", testimages::Jpeg(64, 48, 3, Colourful)}});
    ASSERT_TRUE(photos.app.HasGL());
    photos.app.Wnd().FreeScene(); // the first paint's scene keeps its room's photograph
    for (int k = 0; k < 3; ++k) {
        SaverShapes scene(photos.app.Wnd().NextScene(), &MakeCube);
        EXPECT_EQ(scene.Kind(), SceneKind::Photo);
        EXPECT_EQ(gExcluded, std::vector<int>{12}) << "no photo cube in a photograph scene";
        EXPECT_EQ(TextureImage::LiveCopies(), 1);
        Background* room = scene.GetBackground();
        ASSERT_NE(room, nullptr);
        EXPECT_EQ(room->Kind(), SceneKind::Photo);
        ASSERT_NE(room->Photo(), nullptr) << "the room holds the photograph from the start";
        room->Draw(scene.RoomOf());
        // GL holds the picture now, in one texture object, and the decoded copy is gone.
        EXPECT_EQ(GLCensus::LiveTextureObjects(), 1);
        EXPECT_EQ(TextureImage::LiveCopies(), 0);
        EXPECT_FALSE(room->Lines());
        EXPECT_EQ(room->PolygonCount(), 64 * room->Cells());
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    EXPECT_EQ(TextureImage::LiveCount(), 0);
    EXPECT_EQ(GLCensus::LiveTextureObjects(), 0);
}

// After the first frame a frame selects the photograph's texture but never sends its picture
// again: a 1 x 1 image put in place of the bound texture's picture survives the next frame,
// which therefore costs the same whatever the photograph's size.
TEST(PhotoSceneTest, FramesDoNotSendThePhotographAgain) {
    PhotoApp photos(100, {{"a.jpg", testimages::Jpeg(64, 48, 3, Colourful)}});
    ASSERT_TRUE(photos.app.HasGL());
    photos.app.Wnd().FreeScene();
    SaverShapes scene(photos.app.Wnd().NextScene(), &MakeCube);
    ASSERT_EQ(scene.Kind(), SceneKind::Photo);
    const auto oneFrame = [&photos, &scene] {
        photos.app.Host().SetFrameLimit(photos.app.Host().FramesSwapped() + 1);
        scene.Frame();
    };
    oneFrame();
    ASSERT_EQ(scene.frameNumber(), 1);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    ASSERT_EQ(width, 64); // the room's photograph, 64 x 64 at level 0
    const std::uint8_t marker[3] = {1, 2, 3};
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, marker);
    oneFrame();
    ASSERT_EQ(scene.frameNumber(), 2);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A stop while the photograph room is built on the first frame: the frame is abandoned, the
// room keeps no list, the picture is let go, and the scene counts as done, so it is never
// drawn again.
TEST(PhotoSceneTest, StopWhileTheRoomIsBuiltAbandonsTheScene) {
    PhotoApp photos(100, {{"a.jpg", testimages::Jpeg(64, 48, 3, Colourful)}});
    ASSERT_TRUE(photos.app.HasGL());
    photos.app.Wnd().FreeScene();
    SaverShapes scene(photos.app.Wnd().NextScene(), &MakeCube);
    ASSERT_EQ(scene.Kind(), SceneKind::Photo);
    ASSERT_FALSE(scene.IsDone());
    const int swapped = photos.app.Host().FramesSwapped();
    photos.app.Host().SetFrameLimit(swapped + 2);
    StopRequest::Raise();
    scene.Frame();
    StopRequest::Clear();
    EXPECT_EQ(photos.app.Host().FramesSwapped(), swapped);
    EXPECT_EQ(scene.frameNumber(), 0);
    ASSERT_NE(scene.GetBackground(), nullptr);
    EXPECT_TRUE(scene.GetBackground()->IsAbandoned());
    EXPECT_FALSE(scene.GetBackground()->List().IsValid());
    EXPECT_TRUE(scene.IsDone());
}

TEST(PhotoSceneTest, PicturesThatCannotBeShownGivePlainScenes) {
    testimages::Bytes cut = testimages::Jpeg(16, 16, 3, Colourful);
    cut.resize(cut.size() / 2);
    PhotoApp photos(100, {{"cut.jpg", cut}, {"text.png", {'n', 'o', 't', ' ', 'P', 'N', 'G'}}});
    ASSERT_TRUE(photos.app.HasGL());
    const int bands = photos.app.Wnd().Colours().bandCount();
    for (int k = 0; k < 4; ++k) {
        SaverShapes scene(photos.app.Wnd().NextScene(), &MakeCube);
        EXPECT_EQ(scene.Kind(), SceneKind::Plain);
        // 25 frames per second: a plain scene always has a room, of colour only.
        ASSERT_NE(scene.GetBackground(), nullptr);
        EXPECT_EQ(scene.GetBackground()->Kind(), SceneKind::Plain);
        EXPECT_EQ(scene.GetBackground()->Photo(), nullptr);
        EXPECT_EQ(photos.app.Wnd().Colours().bandCount(), bands) << "no photograph, no recolouring";
        EXPECT_TRUE(gExcluded.empty()) << "the window has images: a photo cube may try";
    }
    EXPECT_EQ(TextureImage::LiveCount(), 0);
}

// Scenes of every kind come and go without leaving lists, textures or photographs behind
// (beyond the primitive solids' cache, which lives across scenes by design).
TEST(PhotoSceneTest, NothingLeaksAcrossScenes) {
    PhotoApp photos(60, {{"a.jpg", testimages::Jpeg(40, 30, 3, Colourful)},
                         {"b.png", testimages::Png(8, 8, PNG_COLOR_TYPE_RGB, 8, false,
                                                   [](int x, int y) {
                                                       return testimages::Pixel16{
                                                           static_cast<std::uint16_t>(x * 30),
                                                           static_cast<std::uint16_t>(y * 30), 9,
                                                           255};
                                                   })},
                         {"grey.jpg", testimages::Jpeg(8, 8, 1, Colourful)}});
    TestApp& app = photos.app;
    ASSERT_TRUE(app.HasGL());
    app.Wnd().FreeScene();
    const int baseLists = GLCensus::LiveLists() - app.Wnd().GL()->Solids().CachedListCount();
    std::set<SceneKind> kinds;
    for (int k = 0; k < 12; ++k) {
        app.Host().SetFrameLimit(app.Host().FramesSwapped() + 2);
        app.Wnd().OnPaint();
        ASSERT_NE(app.Wnd().Scene(), nullptr);
        kinds.insert(app.Wnd().Scene()->Kind());
        app.Wnd().FreeScene();
        EXPECT_EQ(Texture::LiveCount(), 0) << k;
        EXPECT_EQ(TextureImage::LiveCount(), 0) << k;
        EXPECT_EQ(GLCensus::LiveLists() - app.Wnd().GL()->Solids().CachedListCount(), baseLists)
            << k;
        EXPECT_EQ(GLCensus::LiveTextureObjects(), 0);
    }
    EXPECT_EQ(kinds, (std::set<SceneKind>{SceneKind::Plain, SceneKind::Photo, SceneKind::Pattern}));
}

} // namespace
