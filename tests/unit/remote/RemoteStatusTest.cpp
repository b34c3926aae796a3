#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include "app/remote/RemoteStatus.h"

namespace {
QJsonObject Parsed(const std::string& Text) {
  QJsonParseError Error{};
  const QJsonDocument Document = QJsonDocument::fromJson(QByteArray::fromStdString(Text), &Error);
  EXPECT_EQ(Error.error, QJsonParseError::NoError) << Text;
  return Document.object();
}
}  // namespace

// The published status, on a clock the test drives: nothing before the first publication or once
// it is stale; the position runs on only while playing, up to the length; the name stays whole.
TEST(RemoteStatusTest, AnswersFromThePublicationWhileItIsFresh) {
  std::int64_t Now = 5000;
  TRemoteStatus Status([&Now] { return Now; });
  EXPECT_FALSE(Status.Answer());
  Now += 1500;
  TStatusFacts Facts{"playing", 2, QStringLiteral("dir/\"é\"\\n.avi"), 10.25, 11, 0.5, 1, 3, "crossfade:1.5"};
  const QJsonObject Published = Parsed(Status.Publish(Facts));
  EXPECT_EQ(Published, (QJsonObject{{"state", "playing"}, {"index", 2}, {"file", Facts.File}, {"position", 10.25},
                                    {"length", 11}, {"volume", 0.5}, {"transition", "crossfade:1.5"}, {"uptime", 1.5},
                                    {"failures", 1}, {"count", 3}}));
  Now += 400;
  EXPECT_EQ(Parsed(*Status.Answer()).value("position").toDouble(), 10.65);
  Now += 400;
  EXPECT_FALSE(Status.Answer());
  Facts.State = "paused";
  Status.Publish(Facts);
  Now += 500;
  const QJsonObject Paused = Parsed(*Status.Answer());
  EXPECT_EQ(Paused.value("position").toDouble(), 10.25);
  EXPECT_EQ(Paused.value("uptime").toDouble(), 2.8);
  Facts.State = "playing";
  Facts.Position = 10.75;
  Status.Publish(Facts);
  Now += 500;
  EXPECT_EQ(Parsed(*Status.Answer()).value("position").toDouble(), 11);
}
