// The media detector on real GStreamer: the length of real files, and the reason for those it
// cannot read, a pipe among them, which must not hold it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QString>
#include <filesystem>

#include "media/TestMedia.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/ComPtr.h"
#include "platform/dshow/ErrorText.h"
#include "platform/dshow/MediaDet.h"
#include "support/GstTestSupport.h"

namespace {
// The file's length in seconds, or -1; Result gets put_Filename's answer.
double LengthOf(const std::string& Path, HRESULT& Result) {
  ComPtr<IMediaDet> Det;
  Result = CoCreateInstance(CLSID_MediaDet, nullptr, CLSCTX_INPROC_SERVER, IMediaDet::IID, Det.ReleaseAndGetVoidAddress());
  if (FAILED(Result)) return -1;
  Result = Det->put_Filename(QString::fromStdString(Path).toStdU16String().c_str());
  double Seconds = -1;
  if (SUCCEEDED(Result)) Det->get_StreamLength(&Seconds);
  return Seconds;
}
}  // namespace

TEST(MediaDet, TellsAFilesLengthOrWhyItCannot) {
  HRESULT Result = E_FAIL;
  EXPECT_NEAR(LengthOf(TestMediaPath(TTestMedia::RedClip), Result), 4.0, 0.1);
  EXPECT_EQ(Result, S_OK);
  EXPECT_NEAR(LengthOf(TestMediaPath(TTestMedia::Vob), Result), 2.0, 0.2);

  char Dir[] = "/tmp/vizmora-det-XXXXXX";
  ASSERT_TRUE(::mkdtemp(Dir));
  const std::string Pipe = std::string(Dir) + "/pipe.avi";
  ASSERT_EQ(0, ::mkfifo(Pipe.c_str(), 0600));
  const std::pair<std::string, HRESULT> Cases[] = {
      {MissingMediaPath(), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
      {Pipe, HRESULT_FROM_WIN32(ERROR_BAD_FILE_TYPE)},
      {TestMediaPath(TTestMedia::UnknownType), VFW_E_UNKNOWN_FILE_TYPE},
  };
  for (const auto& [Path, Code] : Cases) {
    LengthOf(Path, Result);
    EXPECT_EQ(Result, Code) << Path;
  }
  LengthOf(TestMediaPath(TTestMedia::Truncated), Result);
  EXPECT_TRUE(FAILED(Result)) << std::hex << Result;
  std::filesystem::remove_all(Dir);
}
