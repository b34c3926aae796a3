#pragma once
// What a picture file holds: a still picture (shown by holding its frame) or an animation.
#include <string>

enum class TPictureKind { None, Still, Animated };

// None for files that are not JPEG, PNG or GIF pictures; a GIF with more than one image is
// Animated.
TPictureKind PictureKindOf(const std::string& Path);
