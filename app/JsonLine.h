#pragma once
// The program's one JSON writer: every JSON line it prints, logs or keeps (the --events and
// --list lines, the proof-of-play log, the show a resume belongs to) is written here, by Qt's.
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <string>

// The object or array as one line of compact JSON, without a line end.
std::string JsonLine(const QJsonObject& Object);
std::string JsonLine(const QJsonArray& Array);
// An 8-bit string as a JSON value: UTF-8 as it is, and any byte that is not part of valid
// UTF-8 as the character of that code (Latin-1), so no byte is lost and the line stays valid.
QJsonValue JsonText(const std::string& Text);
// A 32-bit float as the shortest decimal that reads back to the same float (0.1, not 0.100000001).
QJsonValue JsonFloat(float Value);
