// Where the mixing renderer places its streams.
#include <gtest/gtest.h>

#include "platform/gst/GstMixerLayout.h"

TEST(MixerLayout, LetterBoxFitsTheReferenceShapeCentredAndStretchCoversAll) {
  EXPECT_EQ((TMixerBox{100, 0, 200, 150}), PictureArea(400, 150, 160, 120, true));  // bars left and right
  EXPECT_EQ((TMixerBox{0, 45, 320, 150}), PictureArea(320, 240, 320, 150, true));   // bars above and below
  EXPECT_EQ((TMixerBox{0, 0, 400, 150}), PictureArea(400, 150, 160, 120, false));
  EXPECT_EQ((TMixerBox{0, 0, 400, 150}), PictureArea(400, 150, 0, 0, true));  // no reference yet
}

TEST(MixerLayout, StreamBoxesAreFractionsOfThePictureAreaAlsoBeyondIt) {
  const TMixerBox Area{100, 0, 200, 160};
  EXPECT_EQ((TMixerBox{100, 0, 200, 160}), StreamBox(Area, {0, 0, 1, 1}));
  EXPECT_EQ((TMixerBox{200, 80, 50, 40}), StreamBox(Area, {0.5f, 0.5f, 0.75f, 0.75f}));
  EXPECT_EQ((TMixerBox{0, -80, 100, 80}), StreamBox(Area, {-0.5f, -0.5f, 0, 0}));
  EXPECT_EQ(0, StreamBox(Area, {0.5f, 0, 0.5f, 1}).Width);
}

TEST(MixerLayout, LowerZIsInFrontAndEqualZPutsTheLaterStreamInFront) {
  EXPECT_GT(PaintOrder(0, 0), PaintOrder(1, 1));
  EXPECT_GT(PaintOrder(1, 0), PaintOrder(0, 0));
  EXPECT_GT(PaintOrder(15, 0), PaintOrder(0, 1));
  EXPECT_LT(PaintOrder(0, 0xFFFF), PaintOrder(15, 0xFFFFFFFFu));  // saturates, then ordered by stream
}

TEST(MixerLayout, AWallTileShowsItsPartOfTheWholeWallAreaBezelsCountedIn) {
  const TWallTile Wall{2, 2, 3, 10};  // the lower right of four 200x100 screens
  EXPECT_EQ((TMixerBox{-210, -110, 410, 210}), WallPictureArea(Wall, 200, 100, 0, 0, false));
  EXPECT_EQ((TMixerBox{0, 0, 410, 210}), WallPictureArea({2, 2, 0, 10}, 200, 100, 0, 0, false));
  EXPECT_EQ((TMixerBox{-200, 25, 400, 150}), WallPictureArea({2, 1, 1, 0}, 200, 200, 160, 60, true));  // letter-boxed
  EXPECT_EQ(PictureArea(400, 150, 160, 120, true), WallPictureArea({}, 400, 150, 160, 120, true));
}
