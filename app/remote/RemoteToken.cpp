#include "app/remote/RemoteToken.h"

#include <fcntl.h>
#include <openssl/crypto.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <stdexcept>

std::string NewRemoteToken() {
  std::array<unsigned char, 16> Bits{};
  if (getrandom(Bits.data(), Bits.size(), 0) != static_cast<ssize_t>(Bits.size()))
    throw std::runtime_error(std::string("no random bits for the remote token: ") + std::strerror(errno));
  static const char Hex[] = "0123456789abcdef";
  std::string Token;
  for (const unsigned char B : Bits) Token += {Hex[B >> 4], Hex[B & 15]};
  return Token;
}

bool IsRemoteToken(const std::string& Text) {
  return Text.size() == 32 && std::all_of(Text.begin(), Text.end(), [](char C) { return std::isxdigit(static_cast<unsigned char>(C)); });
}

bool LoadRemoteTokenFile(const std::string& Path, std::string& Token, bool& Created, std::string& Why) {
  Created = false;
  int Handle = open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (Handle < 0 && errno == ENOENT) {
    Handle = open(Path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (Handle < 0) return Why = "cannot create the token file " + Path + ": " + std::strerror(errno), false;
    Token = NewRemoteToken();
    const std::string Line = Token + "\n";
    const bool Written = write(Handle, Line.data(), Line.size()) == static_cast<ssize_t>(Line.size()) && fsync(Handle) == 0;
    close(Handle);
    if (!Written) {
      unlink(Path.c_str());
      return Why = "cannot write the token file " + Path, false;
    }
    return Created = true;
  }
  if (Handle < 0) return Why = "cannot read the token file " + Path + ": " + std::strerror(errno), false;
  struct stat Info {};
  fstat(Handle, &Info);
  char Buffer[128];
  const ssize_t Got = S_ISREG(Info.st_mode) ? read(Handle, Buffer, sizeof Buffer) : -1;
  close(Handle);
  if (Info.st_mode & 077)
    return Why = "the token file " + Path + " may be read or written by others; make it private (chmod 600)", false;
  std::string Text(Buffer, Got > 0 ? static_cast<std::size_t>(Got) : 0);
  Text.erase(Text.find_last_not_of(" \r\n\t") + 1);
  if (!IsRemoteToken(Text)) return Why = "the token file " + Path + " does not hold a token of 32 hex digits", false;
  Token = Text;
  return true;
}

bool SameRemoteToken(const std::string& A, const std::string& B) {
  return A.size() == B.size() && CRYPTO_memcmp(A.data(), B.data(), A.size()) == 0;
}
