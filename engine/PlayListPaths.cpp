#include "engine/PlayListPaths.h"

#include <filesystem>

std::string ResolvePlayListReference(const std::string& BaseFolder, std::string_view Reference) {
  const std::filesystem::path Ref(Reference);
  const std::filesystem::path Joined = Ref.is_absolute() || BaseFolder.empty() ? Ref : BaseFolder / Ref;
  return Joined.lexically_normal().string();
}
